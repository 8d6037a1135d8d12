#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

// Every way a host gets the library, done as the host does it: install into a fresh prefix and
// build against it (CMake and pkg-config, the README's own line), both Qt variants in one prefix,
// ryQt as a subproject (shared and static), and the Debian packages.
class TestInstall : public QObject
{
    Q_OBJECT

private:
    struct Result {
        int exitCode = -1;
        QString output;
        bool ok() const { return exitCode == 0; }
    };

    static const bool kSanitized;

    // Runs a program to its end; a program that cannot start reports why in the output.
    static Result run(const QString& program, const QStringList& args, const QString& workDir = {},
                      const QProcessEnvironment& env = cleanEnvironment())
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workDir);
        p.start(program, args);
        if (!p.waitForFinished(1500000))
            return {-1, program + QStringLiteral(": ") + p.errorString()};
        const QString out = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QLatin1Char('\n')
                + QString::fromLocal8Bit(p.readAll());
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, out};
    }

    // What a host's shell has: no run-time library path, no pkg-config path.
    static QProcessEnvironment cleanEnvironment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        env.remove(QStringLiteral("PKG_CONFIG_PATH"));
        return env;
    }

    // pkg-config escapes blanks in paths with a backslash: split on unescaped blanks only.
    static QStringList shellWords(const QString& line)
    {
        QStringList words = line.split(QRegularExpression(QStringLiteral("(?<!\\\\)\\s+")), Qt::SkipEmptyParts);
        for (QString& word : words)
            word.replace(QStringLiteral("\\ "), QStringLiteral(" "));
        return words;
    }

    static QString otherName() { return QStringLiteral(RYQT_NAME) == QLatin1String("ryQt") ? QStringLiteral("ryQt6") : QStringLiteral("ryQt"); }
    static QString qtOf(const QString& name) { return name.endsWith(QLatin1Char('6')) ? QStringLiteral("6") : QStringLiteral("5"); }

    QString prefix() const { return m_dir.filePath(QStringLiteral("prefix with space")); }
    QString libDir() const { return prefix() + QStringLiteral("/" RYQT_INSTALL_LIBDIR); }

    static QSet<QString> installManifest(const QString& buildDir)
    {
        QFile f(buildDir + QStringLiteral("/install_manifest.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return QSet<QString>(lines.begin(), lines.end());
    }

    // Configures, builds and runs tests/install/consumer in `build`; the first step that fails
    // gives the result. A fresh cache each time, but objects of an earlier run are reused.
    static Result cmakeConsumer(const QString& build, const QStringList& cacheArgs)
    {
        QFile::remove(build + QStringLiteral("/CMakeCache.txt"));
        const QString cmake = QStringLiteral(RYQT_CMAKE_COMMAND);
        QStringList configure{QStringLiteral("-S"), QStringLiteral(RYQT_CONSUMER_DIR), QStringLiteral("-B"), build,
                              QStringLiteral("-DCMAKE_CXX_FLAGS=" RYQT_CONSUMER_FLAGS),
                              QStringLiteral("-DCMAKE_CXX_COMPILER_LAUNCHER=" RYQT_CXX_LAUNCHER)};
        Result r = run(cmake, configure + cacheArgs);
        if (!r.ok())
            return r;
        r = run(cmake, {QStringLiteral("--build"), build, QStringLiteral("--parallel"),
                        QString::number(qMax(2, QThread::idealThreadCount()))});
        if (!r.ok())
            return r;
        return run(build + QStringLiteral("/consumer"), {});
    }

    // The headers a CMake consumer's main.cpp was compiled with come from one variant only.
    static QSet<QString> headerVariants(const QString& build)
    {
        QFile deps(build + QStringLiteral("/CMakeFiles/consumer.dir/main.cpp.o.d"));
        if (!deps.open(QIODevice::ReadOnly))
            return {QStringLiteral("no dependency file")};
        QSet<QString> variants;
        const QRegularExpression dir(QStringLiteral("/include/(ryQt6?)/"));
        for (auto it = dir.globalMatch(QString::fromUtf8(deps.readAll())); it.hasNext();)
            variants << it.next().captured(1);
        return variants;
    }

    // The README's pkg-config line for one variant, with the README's prefix replaced by `prefix`.
    static QString readmeLine(const QString& name, const QString& prefix)
    {
        QFile readme(QStringLiteral(RYQT_SOURCE_DIR "/README.md"));
        if (!readme.open(QIODevice::ReadOnly))
            return {};
        const QRegularExpression line(QStringLiteral("^c\\+\\+ .*\\$\\(.*pkg-config .* %1\\)$").arg(name),
                                      QRegularExpression::MultilineOption);
        QStringList found;
        for (auto it = line.globalMatch(QString::fromUtf8(readme.readAll())); it.hasNext();)
            found << it.next().captured(0);
        if (found.size() != 1 || !found[0].contains(QLatin1String("/opt/ryqt")))
            return {};
        return found[0].replace(QLatin1String("/opt/ryqt"), prefix);
    }

    // Runs the README's line in an empty directory holding the consumer's main.cpp, then its
    // program, both as from a fresh shell. `prefix` must have no blanks: the shell splits there.
    static Result readmeBuild(const QString& name, const QString& prefix)
    {
        const QString line = readmeLine(name, prefix);
        if (line.isEmpty())
            return {-1, QStringLiteral("README.md has no single pkg-config line for %1 under /opt/ryqt").arg(name)};
        QTemporaryDir work;
        QFile::copy(QStringLiteral(RYQT_CONSUMER_DIR "/main.cpp"), work.filePath(QStringLiteral("main.cpp")));
        Result r = run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line}, work.path());
        if (!r.ok())
            return r;
        return run(work.filePath(QStringLiteral("a.out")), {}, work.path());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const Result r = run(QStringLiteral(RYQT_CMAKE_COMMAND),
                             {QStringLiteral("--install"), QStringLiteral(RYQT_BUILD_DIR), QStringLiteral("--prefix"), prefix()});
        QVERIFY2(r.ok(), qPrintable(r.output));
        m_manifest = installManifest(QStringLiteral(RYQT_BUILD_DIR));
        QVERIFY(!m_manifest.isEmpty());
    }

    void installedFiles()
    {
        const QString lib = libDir(), name = QStringLiteral(RYQT_NAME);
        QVERIFY(QFileInfo(lib + QStringLiteral("/lib%1.so.1.0.0").arg(name)).isFile());
        QCOMPARE(QFileInfo(lib + QStringLiteral("/lib%1.so.1").arg(name)).symLinkTarget(),
                 lib + QStringLiteral("/lib%1.so.1.0.0").arg(name));
        for (const char* f : {"Config.cmake", "ConfigVersion.cmake", "Targets.cmake"})
            QVERIFY2(QFileInfo(QStringLiteral("%1/cmake/%2/%2%3").arg(lib, name, QLatin1String(f))).isFile(), f);
        QVERIFY(QFileInfo(QStringLiteral("%1/pkgconfig/%2.pc").arg(lib, name)).isFile());

        const QDir include(prefix() + QStringLiteral("/include/") + name);
        QVERIFY(include.exists(QStringLiteral("ryqt_export.h")));
        // Every header the umbrella names is installed beside it.
        QFile umbrella(include.filePath(QStringLiteral("ryQt.h")));
        QVERIFY(umbrella.open(QIODevice::ReadOnly));
        const QRegularExpression includeLine(QStringLiteral("^#include \"([^\"]+)\""), QRegularExpression::MultilineOption);
        int count = 0;
        for (auto it = includeLine.globalMatch(QString::fromUtf8(umbrella.readAll())); it.hasNext(); ++count) {
            const QString header = it.next().captured(1);
            QVERIFY2(include.exists(header), qPrintable(header));
        }
        QVERIFY(count > 0);
    }

    // Built by CMake against the prefix, with a strict translation unit of every public header
    // beside it (QT_NO_KEYWORDS, -Wpedantic -Wshadow -Werror).
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
        const Result r = cmakeConsumer(build.path(), {QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix(),
                                                      QStringLiteral("-DRYQT_PACKAGE=" RYQT_NAME),
                                                      QStringLiteral("-DRYQT_WANT_VERSION=") + version,
                                                      QStringLiteral("-DRYQT_EXPECT_QT=") + qtOf(QStringLiteral(RYQT_NAME))});
        QVERIFY2(r.ok() == accepted, qPrintable(r.output));
        if (accepted) {
            QVERIFY2(r.output.contains(QStringLiteral("ryQt consumer ok (Qt ") + qtOf(QStringLiteral(RYQT_NAME))), qPrintable(r.output));
            QCOMPARE(headerVariants(build.path()), QSet<QString>{QStringLiteral(RYQT_NAME)});
        }
    }

    // Through pkg-config, from a prefix with blanks in its path; the program runs without
    // LD_LIBRARY_PATH because the .pc file gives a run path outside the system's directories.
    void pkgConfigConsumer()
    {
        QProcessEnvironment env = cleanEnvironment();
        env.insert(QStringLiteral("PKG_CONFIG_PATH"), libDir() + QStringLiteral("/pkgconfig"));
        const Result flags = run(QStringLiteral(RYQT_PKG_CONFIG), {QStringLiteral("--cflags"), QStringLiteral("--libs"),
                                                                   QStringLiteral(RYQT_NAME)}, {}, env);
        QVERIFY2(flags.ok(), qPrintable(flags.output));
        const QStringList words = shellWords(flags.output.section(QLatin1Char('\n'), 1));
        QVERIFY2(words.contains(QStringLiteral("-l" RYQT_NAME)), qPrintable(flags.output));
        const Result version = run(QStringLiteral(RYQT_PKG_CONFIG), {QStringLiteral("--modversion"), QStringLiteral(RYQT_NAME)}, {}, env);
        QCOMPARE(version.output.section(QLatin1Char('\n'), 1).trimmed(), QStringLiteral("1.0.0"));

        QTemporaryDir build;
        const QString exe = build.filePath(QStringLiteral("consumer"));
        QStringList args{QStringLiteral("-std=c++17"), QStringLiteral(RYQT_CONSUMER_DIR "/main.cpp"), QStringLiteral("-o"), exe};
        args << words << QStringLiteral(RYQT_CONSUMER_FLAGS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Result r = run(QStringLiteral(RYQT_CXX_COMPILER), args);
        QVERIFY2(r.ok(), qPrintable(r.output));
        r = run(exe, {});
        QVERIFY2(r.ok() && r.output.contains(QStringLiteral("ryQt consumer ok")), qPrintable(r.output));
    }

    // The README's pkg-config line, exactly as a user types it, then its program.
    void readmePkgConfigLine()
    {
        if (kSanitized)
            QSKIP("a program built by the README's plain line cannot load a sanitizer-built library");
        const QString plain = m_dir.filePath(QStringLiteral("opt-ryqt")); // the shell splits at blanks
        QVERIFY(QFile::link(prefix(), plain));
        const Result r = readmeBuild(QStringLiteral(RYQT_NAME), plain);
        QVERIFY2(r.ok() && r.output.contains(QStringLiteral("ryQt consumer ok")), qPrintable(r.output));
    }

    // The other Qt's build installed into the same prefix: no file of one overwrites one of the
    // other, and each variant's consumers (CMake and the README's pkg-config line) build, run
    // with their own Qt and see only their own headers.
    void bothVariantsInOnePrefix()
    {
        const QString companion = QStringLiteral(RYQT_COMPANION_DIR);
        if (companion.isEmpty())
            QSKIP("no build of the other Qt (RYQT_COMPANION_BUILD_DIR); scripts/test.sh sets it for the second build");
        const Result install = run(QStringLiteral(RYQT_CMAKE_COMMAND),
                                   {QStringLiteral("--install"), companion, QStringLiteral("--prefix"), prefix()});
        QVERIFY2(install.ok(), qPrintable(install.output));
        const QSet<QString> theirs = installManifest(companion);
        QVERIFY(!theirs.isEmpty());
        QVERIFY2(!theirs.intersects(m_manifest), qPrintable(QStringList((theirs & m_manifest).values()).join(QLatin1Char(' '))));
        int files = 0;
        for (QDirIterator it(prefix(), QDir::Files | QDir::System, QDirIterator::Subdirectories); it.hasNext(); ++files)
            QVERIFY2(m_manifest.contains(it.next()) || theirs.contains(it.filePath()), qPrintable(it.filePath()));
        QCOMPARE(files, m_manifest.size() + theirs.size());

        const QString plain = m_dir.filePath(QStringLiteral("opt-both"));
        QVERIFY(QFile::link(prefix(), plain));
        for (const QString& name : {QStringLiteral(RYQT_NAME), otherName()}) {
            QTemporaryDir build;
            Result r = cmakeConsumer(build.path(), {QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix(),
                                                    QStringLiteral("-DRYQT_PACKAGE=") + name,
                                                    QStringLiteral("-DRYQT_EXPECT_QT=") + qtOf(name)});
            QVERIFY2(r.ok() && r.output.contains(QStringLiteral("(Qt ") + qtOf(name)), qPrintable(r.output));
            QCOMPARE(headerVariants(build.path()), QSet<QString>{name});

            QProcessEnvironment env = cleanEnvironment();
            env.insert(QStringLiteral("PKG_CONFIG_PATH"), libDir() + QStringLiteral("/pkgconfig"));
            r = run(QStringLiteral(RYQT_PKG_CONFIG), {QStringLiteral("--cflags-only-I"), name}, {}, env);
            QStringList ryqtDirs = shellWords(r.output.section(QLatin1Char('\n'), 1)).filter(QStringLiteral("/include/ryQt"));
            QCOMPARE(ryqtDirs.size(), 1);
            QVERIFY2(ryqtDirs[0].endsWith(QStringLiteral("/include/") + name), qPrintable(ryqtDirs[0]));
            if (!kSanitized) {
                r = readmeBuild(name, plain);
                QVERIFY2(r.ok() && r.output.contains(QStringLiteral("(Qt ") + qtOf(name)), qPrintable(r.output));
            }
        }
    }

    // ryQt inside a host's tree builds only the library, with the Qt the host found, shared by
    // add_subdirectory and static by FetchContent from a local path; the export macros work in both.
    void subproject_data()
    {
        QTest::addColumn<QStringList>("how");
        QTest::newRow("add_subdirectory, shared") << QStringList{QStringLiteral("-DRYQT_FROM=subdirectory")};
        QTest::newRow("FetchContent, static") << QStringList{QStringLiteral("-DRYQT_FROM=fetchcontent"), QStringLiteral("-DBUILD_SHARED_LIBS=OFF")};
    }
    void subproject()
    {
        QFETCH(QStringList, how);
        if (kSanitized)
            QSKIP("builds the library twice more; the plain build covers it");
        const QString build = QStringLiteral(RYQT_WORK_DIR "/subproject-") + QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(','), 0, 0);
        const Result r = cmakeConsumer(build, how << QStringLiteral("-DRYQT_SOURCE_DIR=" RYQT_SOURCE_DIR)
                                                  << QStringLiteral("-DRYQT_EXPECT_QT=") + qtOf(QStringLiteral(RYQT_NAME)));
        QVERIFY2(r.ok() && r.output.contains(QStringLiteral("ryQt consumer ok")), qPrintable(r.output));
        const bool shared = !how.contains(QStringLiteral("-DBUILD_SHARED_LIBS=OFF"));
        QDirIterator libs(build, {QStringLiteral("lib" RYQT_NAME ".so*"), QStringLiteral("lib" RYQT_NAME ".a")}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(libs.hasNext());
        QCOMPARE(libs.next().endsWith(QLatin1String(".a")), !shared);
    }

    // cpack -G DEB gives a runtime and a development package with the dependencies apt needs;
    // apt accepts them (simulated: nothing is installed), and unpacked into a scratch root they
    // are consumed by find_package and pkg-config as from /usr.
    void debianPackages()
    {
        if (kSanitized)
            QSKIP("packages are made from the plain build");
        const QString name = QStringLiteral(RYQT_NAME), qt = qtOf(name);
        const QString runtime = qt == QLatin1String("5") ? QStringLiteral("libryqt1") : QStringLiteral("libryqt6-1");
        const QString dev = qt == QLatin1String("5") ? QStringLiteral("libryqt-dev") : QStringLiteral("libryqt6-dev");
        const QString qtDev = qt == QLatin1String("5") ? QStringLiteral("qtbase5-dev") : QStringLiteral("qt6-base-dev");
        const QString suffix = qt == QLatin1String("5") ? QStringLiteral("5") : QStringLiteral("6");
        QTemporaryDir out;
        Result r = run(QStringLiteral(RYQT_CPACK_COMMAND), {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path(),
                                                            QStringLiteral("--config"), QStringLiteral(RYQT_BUILD_DIR "/CPackConfig.cmake")});
        QVERIFY2(r.ok(), qPrintable(r.output));
        const auto deb = [&out](const QString& package) {
            const QStringList found = QDir(out.path()).entryList({package + QStringLiteral("_1.0.0_*.deb")});
            return found.size() == 1 ? out.filePath(found[0]) : QString();
        };
        const QString runtimeDeb = deb(runtime), devDeb = deb(dev);
        const auto field = [](const QString& deb, const char* f) {
            return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QLatin1String(f)}).output.section(QLatin1Char('\n'), 1).trimmed();
        };
        QCOMPARE(field(runtimeDeb, "Package"), runtime);
        QCOMPARE(field(devDeb, "Package"), dev);
        const QString depends = field(runtimeDeb, "Depends");
        for (const QString& lib : {QStringLiteral("libqt%1core"), QStringLiteral("libqt%1gui"), QStringLiteral("libqt%1widgets")})
            QVERIFY2(depends.contains(lib.arg(suffix)), qPrintable(depends));
        QVERIFY2(field(devDeb, "Depends").contains(runtime + QStringLiteral(" (= 1.0.0)")), qPrintable(field(devDeb, "Depends")));
        QVERIFY2(field(devDeb, "Depends").contains(qtDev), qPrintable(field(devDeb, "Depends")));

        const auto files = [](const QString& deb) {
            QStringList list = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}).output.split(QLatin1Char('\n')).mid(1);
            QStringList paths;
            for (const QString& line : list)
                if (!line.isEmpty() && !line.endsWith(QLatin1Char('/')))
                    paths << line.section(QLatin1String(" ./"), 1).section(QLatin1String(" -> "), 0, 0);
            paths.sort();
            return paths;
        };
        const QStringList runtimeFiles = files(runtimeDeb); // the library and its translations
        QCOMPARE(runtimeFiles.filter(QRegularExpression(QStringLiteral("^usr/lib/lib%1\\.so\\.1").arg(name))),
                 (QStringList{QStringLiteral("usr/lib/lib%1.so.1").arg(name), QStringLiteral("usr/lib/lib%1.so.1.0.0").arg(name)}));
        QCOMPARE(runtimeFiles.filter(QStringLiteral("usr/share/%1/translations/").arg(name)).size(), runtimeFiles.size() - 2);
        const QStringList devFiles = files(devDeb);
        for (const QString& f : {QStringLiteral("usr/lib/lib%1.so"), QStringLiteral("usr/include/%1/ryQt.h"),
                                 QStringLiteral("usr/lib/cmake/%1/%1Config.cmake"), QStringLiteral("usr/lib/pkgconfig/%1.pc")})
            QVERIFY2(devFiles.contains(f.arg(name)), qPrintable(f.arg(name) + QLatin1Char(' ') + devFiles.join(QLatin1Char(' '))));

        // With the other Qt's packages too when its build is known: all four go in together.
        QStringList debs{runtimeDeb, devDeb};
        const QString companion = QStringLiteral(RYQT_COMPANION_DIR);
        if (!companion.isEmpty()) {
            r = run(QStringLiteral(RYQT_CPACK_COMMAND), {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.filePath(QStringLiteral("other")),
                                                         QStringLiteral("--config"), companion + QStringLiteral("/CPackConfig.cmake")});
            QVERIFY2(r.ok(), qPrintable(r.output));
            const QStringList theirs = QDir(out.filePath(QStringLiteral("other"))).entryList({QStringLiteral("*.deb")});
            QCOMPARE(theirs.size(), 2);
            for (const QString& deb : theirs) {
                debs << out.filePath(QStringLiteral("other/") + deb);
                for (const QString& f : files(debs.last()))
                    QVERIFY2(!devFiles.contains(f) && !files(runtimeDeb).contains(f), qPrintable(f));
            }
        }
        r = run(QStringLiteral("apt-get"), QStringList{QStringLiteral("-s"), QStringLiteral("install")} + debs);
        QVERIFY2(r.ok(), qPrintable(r.output));
        for (const QString& deb : debs) {
            const QString package = QFileInfo(deb).fileName().section(QLatin1Char('_'), 0, 0);
            QVERIFY2(r.output.contains(QStringLiteral("Inst ") + package + QLatin1Char(' ')), qPrintable(package + QLatin1Char('\n') + r.output));
        }

        const QString root = out.filePath(QStringLiteral("root"));
        for (const QString& deb : {runtimeDeb, devDeb})
            QVERIFY(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root}).ok());
        QProcessEnvironment env = cleanEnvironment();
        env.insert(QStringLiteral("PKG_CONFIG_PATH"), root + QStringLiteral("/usr/lib/pkgconfig"));
        r = run(QStringLiteral(RYQT_PKG_CONFIG), {QStringLiteral("--cflags"), QStringLiteral("--libs"), name}, {}, env);
        QVERIFY2(r.ok() && r.output.contains(root + QStringLiteral("/usr/lib/pkgconfig/../../include/") + name), qPrintable(r.output));
        QVERIFY2(!r.output.contains(QStringLiteral("rpath")), qPrintable(r.output)); // /usr/lib needs none
        const QString build = out.filePath(QStringLiteral("consumer"));
        r = cmakeConsumer(build, {QStringLiteral("-DCMAKE_PREFIX_PATH=") + root + QStringLiteral("/usr"), QStringLiteral("-DRYQT_PACKAGE=") + name});
        QVERIFY2(r.ok() && r.output.contains(QStringLiteral("ryQt consumer ok")), qPrintable(r.output));
        QFile cache(build + QStringLiteral("/CMakeCache.txt")); // found there, not elsewhere
        QVERIFY(cache.open(QIODevice::ReadOnly));
        QVERIFY(cache.readAll().contains(QStringLiteral("%1_DIR:PATH=%2/usr/lib/cmake/%1").arg(name, root).toUtf8()));
    }

private:
    QTemporaryDir m_dir;
    QSet<QString> m_manifest;
};

const bool TestInstall::kSanitized = !QByteArray(RYQT_CONSUMER_FLAGS).isEmpty();

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
