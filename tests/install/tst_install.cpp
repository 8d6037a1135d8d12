#include <QtTest>

// Every way a host gets the library, done as the host does it: install into a fresh prefix and
// build against it (CMake and pkg-config, the README's own line), both Qt variants in one prefix,
// ryQt as a subproject (shared and static), and the Debian packages.
struct Result
{
    int exitCode = -1;
    QString output;
    bool ok() const { return exitCode == 0; }
    bool says(const QString& text) const { return ok() && output.contains(text); }
    QString value() const { return output.section('\n', 1).trimmed(); } // what the program printed
};

static const bool kSanitized = !QByteArray(RYQT_CONSUMER_FLAGS).isEmpty();
static const QString kName = RYQT_NAME, kCompanion = RYQT_COMPANION_DIR, kOk = "ryQt consumer ok";
static QString qtOf(const QString& name) { return name.endsWith('6') ? "6" : "5"; }

// What a host's shell has: no run-time library path; a pkg-config path only when given.
static QProcessEnvironment environment(const QString& pkgConfigPath = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LD_LIBRARY_PATH");
    env.remove("PKG_CONFIG_PATH");
    if (!pkgConfigPath.isEmpty())
        env.insert("PKG_CONFIG_PATH", pkgConfigPath);
    return env;
}

// Runs a program to its end; the output starts with the command line.
static Result run(const QString& program, const QStringList& args, const QString& workDir = {}, const QProcessEnvironment& env = environment())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForFinished(1500000))
        return {-1, program + ": " + p.errorString()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, program + ' ' + args.join(' ') + '\n' + QString::fromLocal8Bit(p.readAll())};
}

// pkg-config's output split into words; it escapes blanks in paths with a backslash.
static QStringList pkgConfig(const QStringList& args, const QString& path)
{
    QStringList words = run(RYQT_PKG_CONFIG, args, {}, environment(path)).value().split(QRegularExpression("(?<!\\\\)\\s+"), Qt::SkipEmptyParts);
    for (QString& word : words)
        word.replace("\\ ", " ");
    return words;
}

static QSet<QString> installManifest(const QString& buildDir)
{
    QFile f(buildDir + "/install_manifest.txt");
    const QStringList lines = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
    return QSet<QString>(lines.begin(), lines.end());
}

// Configures, builds and runs tests/install/consumer in `build`; the first step that fails gives
// the result. A fresh cache each time, but objects of an earlier run are reused.
static Result cmakeConsumer(const QString& build, const QStringList& cacheArgs)
{
    QFile::remove(build + "/CMakeCache.txt");
    Result r = run(RYQT_CMAKE_COMMAND, QStringList{"-S", RYQT_CONSUMER_DIR, "-B", build, "-DCMAKE_CXX_FLAGS=" RYQT_CONSUMER_FLAGS,
                                                   "-DCMAKE_CXX_COMPILER_LAUNCHER=" RYQT_CXX_LAUNCHER} + cacheArgs);
    if (r.ok())
        r = run(RYQT_CMAKE_COMMAND, {"--build", build, "--parallel", QString::number(qMax(2, QThread::idealThreadCount()))});
    return r.ok() ? run(build + "/consumer", {}) : r;
}

// The variants whose headers a CMake consumer's main.cpp was compiled with.
static QSet<QString> headerVariants(const QString& build)
{
    QFile deps(build + "/CMakeFiles/consumer.dir/main.cpp.o.d");
    if (!deps.open(QIODevice::ReadOnly))
        return {"no dependency file"};
    QSet<QString> variants;
    for (auto it = QRegularExpression("/include/(ryQt6?)/").globalMatch(QString::fromUtf8(deps.readAll())); it.hasNext();)
        variants << it.next().captured(1);
    return variants;
}

// Runs the README's one pkg-config line for a variant, its /opt/ryqt replaced by `prefix` (which
// must have no blanks: the shell splits there), in an empty directory holding the consumer's
// main.cpp, then its program, both as from a fresh shell.
static Result readmeBuild(const QString& name, const QString& prefix)
{
    QFile readme(RYQT_SOURCE_DIR "/README.md");
    QStringList found;
    const QRegularExpression line(QString("^c\\+\\+ .*\\$\\(.*pkg-config .* %1\\)$").arg(name), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(readme.open(QIODevice::ReadOnly) ? QString::fromUtf8(readme.readAll()) : QString()); it.hasNext();)
        found << it.next().captured(0);
    if (found.size() != 1 || !found[0].contains("/opt/ryqt"))
        return {-1, "README.md has no single pkg-config line for " + name + " under /opt/ryqt"};
    QTemporaryDir work;
    QFile::copy(RYQT_CONSUMER_DIR "/main.cpp", work.filePath("main.cpp"));
    const Result r = run("/bin/sh", {"-c", found[0].replace("/opt/ryqt", prefix)}, work.path());
    return r.ok() ? run(work.filePath("a.out"), {}, work.path()) : r;
}

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QSet<QString> m_manifest;
    QString prefix() const { return m_dir.filePath("prefix with space"); }
    QString libDir() const { return prefix() + "/" RYQT_INSTALL_LIBDIR; }
    QString plainPrefix(const QString& name) const // a link without blanks, for the shell
    {
        const QString plain = m_dir.filePath(name);
        return QFile::link(prefix(), plain) ? plain : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const Result r = run(RYQT_CMAKE_COMMAND, {"--install", RYQT_BUILD_DIR, "--prefix", prefix()});
        QVERIFY2(r.ok(), qPrintable(r.output));
        m_manifest = installManifest(RYQT_BUILD_DIR);
        QVERIFY(!m_manifest.isEmpty());
    }

    void installedFiles()
    {
        const QString lib = libDir() + "/lib" + kName;
        QVERIFY(QFileInfo(lib + ".so.1.0.0").isFile());
        QCOMPARE(QFileInfo(lib + ".so.1").symLinkTarget(), lib + ".so.1.0.0");
        for (const char* f : {"Config.cmake", "ConfigVersion.cmake", "Targets.cmake"})
            QVERIFY2(QFileInfo(QString("%1/cmake/%2/%2%3").arg(libDir(), kName, f)).isFile(), f);
        QVERIFY(QFileInfo(QString("%1/pkgconfig/%2.pc").arg(libDir(), kName)).isFile());
        // ryqt_export.h and every header the umbrella names are installed beside it.
        const QDir include(prefix() + "/include/" + kName);
        QFile umbrella(include.filePath("ryQt.h"));
        QVERIFY(include.exists("ryqt_export.h") && umbrella.open(QIODevice::ReadOnly));
        int count = 0;
        const QRegularExpression line("^#include \"([^\"]+)\"", QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(QString::fromUtf8(umbrella.readAll())); it.hasNext(); ++count) {
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
        const Result r = cmakeConsumer(build.path(), {"-DCMAKE_PREFIX_PATH=" + prefix(), "-DRYQT_PACKAGE=" + kName,
                                                      "-DRYQT_WANT_VERSION=" + version, "-DRYQT_EXPECT_QT=" + qtOf(kName)});
        QVERIFY2(r.ok() == accepted, qPrintable(r.output));
        if (accepted) {
            QVERIFY2(r.says(kOk + " (Qt " + qtOf(kName)), qPrintable(r.output));
            QCOMPARE(headerVariants(build.path()), QSet<QString>{kName});
        }
    }

    // Through pkg-config, from a prefix with blanks in its path; the program runs without
    // LD_LIBRARY_PATH because the .pc file gives a run path outside the system's directories.
    // Then the README's pkg-config line, exactly as a user types it.
    void pkgConfigConsumer()
    {
        const QString pcPath = libDir() + "/pkgconfig";
        const QStringList words = pkgConfig({"--cflags", "--libs", kName}, pcPath);
        QVERIFY2(words.contains("-l" + kName), qPrintable(words.join(' ')));
        QCOMPARE(pkgConfig({"--modversion", kName}, pcPath), QStringList{"1.0.0"});
        QTemporaryDir build;
        const QString exe = build.filePath("consumer");
        Result r = run(RYQT_CXX_COMPILER, QStringList{"-std=c++17", RYQT_CONSUMER_DIR "/main.cpp", "-o", exe} + words
                                              + QString(RYQT_CONSUMER_FLAGS).split(' ', Qt::SkipEmptyParts));
        QVERIFY2(r.ok(), qPrintable(r.output));
        r = run(exe, {});
        QVERIFY2(r.says(kOk), qPrintable(r.output));
        if (kSanitized)
            QSKIP("a program built by the README's plain line cannot load a sanitizer-built library");
        r = readmeBuild(kName, plainPrefix("opt-ryqt"));
        QVERIFY2(r.says(kOk), qPrintable(r.output));
    }

    // The other Qt's build installed into the same prefix: no file of one overwrites one of the
    // other, and each variant's consumers (CMake and the README's pkg-config line) build, run
    // with their own Qt and see only their own headers.
    void bothVariantsInOnePrefix()
    {
        if (kCompanion.isEmpty())
            QSKIP("no build of the other Qt (RYQT_COMPANION_BUILD_DIR); scripts/test.sh sets it for the second build");
        const Result install = run(RYQT_CMAKE_COMMAND, {"--install", kCompanion, "--prefix", prefix()});
        QVERIFY2(install.ok(), qPrintable(install.output));
        const QSet<QString> theirs = installManifest(kCompanion);
        QVERIFY(!theirs.isEmpty());
        QVERIFY2(!theirs.intersects(m_manifest), qPrintable(QStringList((theirs & m_manifest).values()).join(' ')));
        int files = 0;
        for (QDirIterator it(prefix(), QDir::Files | QDir::System, QDirIterator::Subdirectories); it.hasNext(); ++files)
            QVERIFY2(m_manifest.contains(it.next()) || theirs.contains(it.filePath()), qPrintable(it.filePath()));
        QCOMPARE(files, m_manifest.size() + theirs.size());

        const QString plain = plainPrefix("opt-both");
        for (const QString& name : {kName, QString(kName == "ryQt" ? "ryQt6" : "ryQt")}) {
            QTemporaryDir build;
            Result r = cmakeConsumer(build.path(), {"-DCMAKE_PREFIX_PATH=" + prefix(), "-DRYQT_PACKAGE=" + name, "-DRYQT_EXPECT_QT=" + qtOf(name)});
            QVERIFY2(r.says("(Qt " + qtOf(name)), qPrintable(r.output));
            QCOMPARE(headerVariants(build.path()), QSet<QString>{name});
            const QStringList dirs = pkgConfig({"--cflags-only-I", name}, libDir() + "/pkgconfig").filter("/include/ryQt");
            QVERIFY2(dirs.size() == 1 && dirs[0].endsWith("/include/" + name), qPrintable(dirs.join(' ')));
            if (!kSanitized) {
                r = readmeBuild(name, plain);
                QVERIFY2(r.says("(Qt " + qtOf(name)), qPrintable(r.output));
            }
        }
    }

    // ryQt inside a host's tree builds only the library, with the Qt the host found, shared by
    // add_subdirectory and static by FetchContent from a local path; the export macros work in both.
    void subproject_data()
    {
        QTest::addColumn<QStringList>("how");
        QTest::newRow("add_subdirectory, shared") << QStringList{"-DRYQT_FROM=subdirectory"};
        QTest::newRow("FetchContent, static") << QStringList{"-DRYQT_FROM=fetchcontent", "-DBUILD_SHARED_LIBS=OFF"};
    }
    void subproject()
    {
        QFETCH(QStringList, how);
        if (kSanitized)
            QSKIP("builds the library twice more; the plain build covers it");
        const QString build = RYQT_WORK_DIR "/subproject-" + QString(QTest::currentDataTag()).section(',', 0, 0);
        const Result r = cmakeConsumer(build, how << "-DRYQT_SOURCE_DIR=" RYQT_SOURCE_DIR << "-DRYQT_EXPECT_QT=" + qtOf(kName));
        QVERIFY2(r.says(kOk), qPrintable(r.output));
        QDirIterator libs(build, {"lib" + kName + ".so*", "lib" + kName + ".a"}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(libs.hasNext());
        QCOMPARE(libs.next().endsWith(".a"), how.contains("-DBUILD_SHARED_LIBS=OFF"));
    }

    // cpack -G DEB gives a runtime and a development package with the dependencies apt needs;
    // apt accepts them (simulated: nothing is installed), and unpacked into a scratch root they
    // are consumed by find_package and pkg-config as from /usr.
    void debianPackages()
    {
        if (kSanitized)
            QSKIP("packages are made from the plain build");
        const bool five = qtOf(kName) == "5";
        const QString runtime = five ? "libryqt1" : "libryqt6-1", dev = five ? "libryqt-dev" : "libryqt6-dev";
        QTemporaryDir out;
        const auto cpack = [&out](const QString& dir, const QString& config) {
            const Result r = run(RYQT_CPACK_COMMAND, {"-G", "DEB", "-B", out.filePath(dir), "--config", config + "/CPackConfig.cmake"});
            QStringList debs;
            for (const QString& deb : QDir(out.filePath(dir)).entryList({"*.deb"}))
                debs << out.filePath(dir + '/' + deb);
            return r.ok() ? debs : QStringList{r.output};
        };
        const auto field = [](const QString& deb, const char* f) { return run("dpkg-deb", {"-f", deb, f}).value(); };
        const auto files = [](const QString& deb) { // paths of the files in a package, sorted
            QStringList paths;
            for (const QString& line : run("dpkg-deb", {"-c", deb}).output.split('\n').mid(1))
                if (!line.isEmpty() && !line.endsWith('/'))
                    paths << line.section(" ./", 1).section(" -> ", 0, 0);
            paths.sort();
            return paths;
        };
        const QStringList ours = cpack("ours", RYQT_BUILD_DIR);
        QVERIFY2(ours.size() == 2, qPrintable(ours.join('\n')));
        const QString runtimeDeb = ours.filter("/" + runtime + "_1.0.0_").value(0), devDeb = ours.filter("/" + dev + "_1.0.0_").value(0);
        QCOMPARE(field(runtimeDeb, "Package"), runtime);
        QCOMPARE(field(devDeb, "Package"), dev);
        for (const char* lib : {"libqt%1core", "libqt%1gui", "libqt%1widgets"})
            QVERIFY2(field(runtimeDeb, "Depends").contains(QString(lib).arg(qtOf(kName))), qPrintable(field(runtimeDeb, "Depends")));
        const QString devDepends = field(devDeb, "Depends");
        QVERIFY2(devDepends.contains(runtime + " (= 1.0.0)") && devDepends.contains(five ? "qtbase5-dev" : "qt6-base-dev"), qPrintable(devDepends));
        const QStringList runtimeFiles = files(runtimeDeb), devFiles = files(devDeb); // the library and its translations
        QCOMPARE(runtimeFiles.filter(QRegularExpression("^usr/lib/lib" + kName + "\\.so\\.1")),
                 (QStringList{"usr/lib/lib" + kName + ".so.1", "usr/lib/lib" + kName + ".so.1.0.0"}));
        QCOMPARE(runtimeFiles.filter("usr/share/" + kName + "/translations/").size(), runtimeFiles.size() - 2);
        for (const QString f : {"usr/lib/lib%1.so", "usr/include/%1/ryQt.h", "usr/lib/cmake/%1/%1Config.cmake", "usr/lib/pkgconfig/%1.pc"})
            QVERIFY2(devFiles.contains(f.arg(kName)), qPrintable(f.arg(kName) + ' ' + devFiles.join(' ')));

        // With the other Qt's packages too when its build is known: all four go in together.
        QStringList debs = ours;
        if (!kCompanion.isEmpty()) {
            const QStringList theirs = cpack("other", kCompanion);
            QVERIFY2(theirs.size() == 2, qPrintable(theirs.join('\n')));
            for (const QString& deb : theirs)
                for (const QString& f : files(deb))
                    QVERIFY2(!devFiles.contains(f) && !runtimeFiles.contains(f), qPrintable(f));
            debs += theirs;
        }
        Result r = run("apt-get", QStringList{"-s", "install"} + debs);
        for (const QString& deb : debs)
            QVERIFY2(r.says("Inst " + QFileInfo(deb).fileName().section('_', 0, 0) + ' '), qPrintable(deb + '\n' + r.output));

        const QString root = out.filePath("root");
        for (const QString& deb : ours)
            QVERIFY(run("dpkg-deb", {"-x", deb, root}).ok());
        const QStringList flags = pkgConfig({"--cflags", "--libs", kName}, root + "/usr/lib/pkgconfig");
        QVERIFY2(!flags.filter(root + "/usr/lib/pkgconfig/../../include/" + kName).isEmpty(), qPrintable(flags.join(' ')));
        QVERIFY2(flags.filter("rpath").isEmpty(), qPrintable(flags.join(' '))); // /usr/lib needs none
        const QString build = out.filePath("consumer");
        r = cmakeConsumer(build, {"-DCMAKE_PREFIX_PATH=" + root + "/usr", "-DRYQT_PACKAGE=" + kName});
        QVERIFY2(r.says(kOk), qPrintable(r.output));
        QFile cache(build + "/CMakeCache.txt"); // found there, not elsewhere
        QVERIFY(cache.open(QIODevice::ReadOnly) && cache.readAll().contains(QString("%1_DIR:PATH=%2/usr/lib/cmake/%1").arg(kName, root).toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
