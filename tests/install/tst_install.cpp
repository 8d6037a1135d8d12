#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Installs the library from this build tree into a fresh prefix, then builds and runs two
// consumers against that prefix only, as a host project would.
class TestInstall : public QObject
{
    Q_OBJECT

private:
    struct Result {
        int exitCode = -1;
        QString output;
    };

    // Runs a program to its end; a program that cannot start reports why in the output.
    static Result run(const QString& program, const QStringList& args,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(400000))
            return {-1, program + QStringLiteral(": ") + p.errorString()};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
    }

    // pkg-config escapes blanks in paths with a backslash: split on unescaped blanks only.
    static QStringList shellWords(const QString& line)
    {
        QStringList words = line.split(QRegularExpression(QStringLiteral("(?<!\\\\)\\s+")), Qt::SkipEmptyParts);
        for (QString& word : words)
            word.replace(QStringLiteral("\\ "), QStringLiteral(" "));
        return words;
    }

    QString prefix() const { return m_dir.filePath(QStringLiteral("prefix with space")); }

    QString libDir() const { return prefix() + QStringLiteral("/" RYQT_INSTALL_LIBDIR); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const Result r = run(QStringLiteral(RYQT_CMAKE_COMMAND),
                             {QStringLiteral("--install"), QStringLiteral(RYQT_BUILD_DIR),
                              QStringLiteral("--prefix"), prefix()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }

    void installedFiles()
    {
        const QString lib = libDir();
        QVERIFY(QFileInfo(lib + QStringLiteral("/libryQt.so.1.0.0")).isFile());
        QCOMPARE(QFileInfo(lib + QStringLiteral("/libryQt.so.1")).symLinkTarget(),
                 lib + QStringLiteral("/libryQt.so.1.0.0"));
        for (const char* f : {"ryQtConfig.cmake", "ryQtConfigVersion.cmake", "ryQtTargets.cmake"})
            QVERIFY2(QFileInfo(lib + QStringLiteral("/cmake/ryQt/") + QLatin1String(f)).isFile(), f);
        QVERIFY(QFileInfo(lib + QStringLiteral("/pkgconfig/ryQt.pc")).isFile());

        const QDir include(prefix() + QStringLiteral("/include/ryQt"));
        QVERIFY(include.exists(QStringLiteral("ryQt.h")));
        QVERIFY(include.exists(QStringLiteral("ryqt_export.h")));
        // Every header the umbrella names is installed beside it.
        QFile umbrella(include.filePath(QStringLiteral("ryQt.h")));
        QVERIFY(umbrella.open(QIODevice::ReadOnly));
        const QRegularExpression includeLine(QStringLiteral("^#include \"([^\"]+)\""),
                                             QRegularExpression::MultilineOption);
        auto it = includeLine.globalMatch(QString::fromUtf8(umbrella.readAll()));
        int count = 0;
        while (it.hasNext()) {
            const QString header = it.next().captured(1);
            QVERIFY2(include.exists(header), qPrintable(header));
            ++count;
        }
        QVERIFY(count > 0);
    }

    void findPackageConsumer_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("major 1") << "1" << true;
        QTest::newRow("exact 1.0.0") << "1.0.0" << true;
        QTest::newRow("major 2 refused") << "2" << false;
    }
    void findPackageConsumer()
    {
        QFETCH(QString, version);
        QFETCH(bool, accepted);
        QTemporaryDir build;
        QVERIFY(build.isValid());
        const QString cmake = QStringLiteral(RYQT_CMAKE_COMMAND);
        Result r = run(cmake, {QStringLiteral("-S"), QStringLiteral(RYQT_CONSUMER_DIR),
                               QStringLiteral("-B"), build.path(),
                               QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix(),
                               QStringLiteral("-DRYQT_WANT_VERSION=") + version,
                               QStringLiteral("-DCMAKE_CXX_FLAGS=") + QStringLiteral(RYQT_CONSUMER_FLAGS)});
        if (!accepted) {
            QVERIFY2(r.exitCode != 0, qPrintable(r.output));
            return;
        }
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        r = run(cmake, {QStringLiteral("--build"), build.path()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        r = run(build.filePath(QStringLiteral("consumer")), {});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        QVERIFY(r.output.contains(QStringLiteral("ryQt consumer ok")));
    }

    void pkgConfigConsumer()
    {
        if (QStringLiteral(RYQT_PKG_CONFIG).isEmpty())
            QSKIP("pkg-config is not installed");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PKG_CONFIG_PATH"), libDir() + QStringLiteral("/pkgconfig"));
        Result flags = run(QStringLiteral(RYQT_PKG_CONFIG),
                           {QStringLiteral("--cflags"), QStringLiteral("--libs"), QStringLiteral("ryQt")}, env);
        QVERIFY2(flags.exitCode == 0, qPrintable(flags.output));
        QVERIFY2(shellWords(flags.output).contains(QStringLiteral("-lryQt")), qPrintable(flags.output));
        const Result version = run(QStringLiteral(RYQT_PKG_CONFIG),
                                   {QStringLiteral("--modversion"), QStringLiteral("ryQt")}, env);
        QCOMPARE(version.output.trimmed(), QStringLiteral("1.0.0"));

        QTemporaryDir build;
        QVERIFY(build.isValid());
        const QString exe = build.filePath(QStringLiteral("consumer"));
        QStringList args{QStringLiteral("-std=c++17"),
                         QStringLiteral(RYQT_CONSUMER_DIR) + QStringLiteral("/main.cpp"),
                         QStringLiteral("-o"), exe, QStringLiteral("-Wl,-rpath,") + libDir()};
        args << shellWords(flags.output);
        for (const QString& f : QStringLiteral(RYQT_CONSUMER_FLAGS).split(' ', Qt::SkipEmptyParts))
            args << f;
        Result r = run(QStringLiteral(RYQT_CXX_COMPILER), args);
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        r = run(exe, {});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        QVERIFY(r.output.contains(QStringLiteral("ryQt consumer ok")));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
