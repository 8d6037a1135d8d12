#include <QtTest>

// The ways a host gets the library, done as the host does it: installed into a fresh prefix and
// found by CMake and pkg-config (the README's own line), both Qt variants in one prefix, and
// ryQt as a static subproject. The Debian packages are installed for real by scripts/test.sh --debs.
struct Result
{
    int exitCode = -1;
    QString output;
    bool says(const QString& text) const { return exitCode == 0 && output.contains(text); }
};

static const bool kSanitized = !QByteArray(RYQT_CONSUMER_FLAGS).isEmpty();
static const QString kName = RYQT_NAME, kCompanion = RYQT_COMPANION_DIR, kOk = "ryQt consumer ok";
static QString qtOf(const QString& name) { return name.endsWith('6') ? "6" : "5"; }

// Runs a program to its end as from a host's shell: no run-time library path, a pkg-config path
// only when given. The output starts with the command line.
static Result run(const QString& program, const QStringList& args, const QString& workDir = {}, const QString& pkgConfigPath = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LD_LIBRARY_PATH");
    env.remove("PKG_CONFIG_PATH");
    if (!pkgConfigPath.isEmpty())
        env.insert("PKG_CONFIG_PATH", pkgConfigPath);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    const bool done = p.waitForFinished(1500000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, program + ' ' + args.join(' ') + '\n' + QString::fromLocal8Bit(p.readAll())};
}

static QSet<QString> installManifest(const QString& buildDir)
{
    QFile f(buildDir + "/install_manifest.txt");
    const QStringList lines = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
    return QSet<QString>(lines.begin(), lines.end());
}

// Configures, builds and runs tests/install/consumer in `build` (which also compiles every public
// header strictly); the first step that fails gives the result.
static Result cmakeConsumer(const QString& build, const QStringList& cacheArgs)
{
    QFile::remove(build + "/CMakeCache.txt");
    Result r = run(RYQT_CMAKE_COMMAND, QStringList{"-S", RYQT_CONSUMER_DIR, "-B", build, "-DCMAKE_CXX_FLAGS=" RYQT_CONSUMER_FLAGS,
                                                   "-DCMAKE_CXX_COMPILER_LAUNCHER=" RYQT_CXX_LAUNCHER} + cacheArgs);
    if (r.exitCode == 0)
        r = run(RYQT_CMAKE_COMMAND, {"--build", build, "--parallel", "2"});
    if (r.exitCode != 0)
        return r;
    // The headers it was compiled with are those of the variant asked for, only.
    QFile deps(build + "/CMakeFiles/consumer.dir/main.cpp.o.d");
    QSet<QString> variants;
    for (auto it = QRegularExpression("/include/(ryQt6?)/").globalMatch(deps.open(QIODevice::ReadOnly) ? deps.readAll() : ""); it.hasNext();)
        variants << it.next().captured(1);
    return variants.size() > 1 ? Result{-1, "headers of both variants"} : run(build + "/consumer", {});
}

// The README's pkg-config line for a variant, its /opt/ryqt replaced by `prefix` (no blanks: the
// shell splits there), run in a directory holding the consumer's main.cpp; then its program.
static Result readmeBuild(const QString& name, const QString& prefix)
{
    QFile readme(RYQT_SOURCE_DIR "/README.md");
    const QRegularExpression line(QString("^c\\+\\+ .*\\$\\(PKG_CONFIG_PATH=/opt/ryqt/.*pkg-config .* %1\\)$").arg(name), QRegularExpression::MultilineOption);
    QString command = line.match(readme.open(QIODevice::ReadOnly) ? QString::fromUtf8(readme.readAll()) : QString()).captured(0);
    if (command.isEmpty())
        return {-1, "README.md has no pkg-config line for " + name + " under /opt/ryqt"};
    QTemporaryDir work;
    QFile::copy(RYQT_CONSUMER_DIR "/main.cpp", work.filePath("main.cpp"));
    const Result r = run("/bin/sh", {"-c", command.replace("/opt/ryqt", prefix)}, work.path());
    return r.exitCode == 0 ? run(work.filePath("a.out"), {}, work.path()) : r;
}

// Imports `module` (ryqt or ryqt6) from `prefix` as a Python host does, with PYTHONPATH only,
// and has it make a toaster; it prints where the module and the C++ library it loaded live.
static Result pythonImport(const QString& module, const QString& prefix)
{
    const QString pyqt = module.endsWith('6') ? "PyQt6" : "PyQt5";
    const QString code = QString("import os, %1\n"
                                 "from %2.QtWidgets import QApplication\n"
                                 "app = QApplication([])\n"
                                 "%1.QToaster(None, %1.QToastGravity.TopLeft)\n"
                                 "libs = [l.split(None, 5)[-1].strip() for l in open('/proc/self/maps') if 'libryQt' in l]\n"
                                 "print('module', os.path.realpath(%1.__file__))\n"
                                 "print('library', os.path.realpath(libs[0]))\n").arg(module, pyqt);
    return run("/usr/bin/env", {"PYTHONPATH=" + prefix + "/lib/python3/dist-packages", "QT_QPA_PLATFORM=offscreen",
                                RYQT_PYTHON, "-c", code});
}

// The module and the library it loaded both come from `prefix`.
static bool importedFrom(const Result& r, const QString& prefix)
{
    const QString root = QFileInfo(prefix).canonicalFilePath() + '/';
    return r.says("module " + root + "lib/python3/dist-packages/") && r.says("library " + root);
}

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QSet<QString> m_manifest;
    QString prefix() const { return m_dir.filePath("prefix with space"); }
    QString pcPath() const { return prefix() + "/" RYQT_INSTALL_LIBDIR "/pkgconfig"; }
    QString plainPrefix() const { return QFile::link(prefix(), m_dir.filePath("plain")) || QFile::exists(m_dir.filePath("plain")) ? m_dir.filePath("plain") : QString(); }

private Q_SLOTS:
    void initTestCase()
    {
        const Result r = run(RYQT_CMAKE_COMMAND, {"--install", RYQT_BUILD_DIR, "--prefix", prefix()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        m_manifest = installManifest(RYQT_BUILD_DIR);
        QVERIFY(!m_manifest.isEmpty());
    }

    // find_package(<name> <version> CONFIG) takes major version 1 only.
    void findPackage()
    {
        for (const QString version : {"1", "2"}) {
            QTemporaryDir build;
            const Result r = cmakeConsumer(build.path(), {"-DCMAKE_PREFIX_PATH=" + prefix(), "-DRYQT_PACKAGE=" + kName,
                                                          "-DRYQT_WANT_VERSION=" + version, "-DRYQT_EXPECT_QT=" + qtOf(kName)});
            QVERIFY2(r.says(kOk + " (Qt " + qtOf(kName)) == (version == "1"), qPrintable(r.output));
        }
    }

    // From a prefix with blanks in its path; the program runs without LD_LIBRARY_PATH as the .pc
    // file gives a run path. Then the README's line, exactly as a user types it.
    void pkgConfig()
    {
        QStringList words = run(RYQT_PKG_CONFIG, {"--cflags", "--libs", kName}, {}, pcPath()).output.section('\n', 1).split(QRegularExpression("(?<!\\\\)\\s+"), Qt::SkipEmptyParts);
        words.replaceInStrings("\\ ", " ");
        QTemporaryDir build;
        const Result r = run(RYQT_CXX_COMPILER, QStringList{"-std=c++17", RYQT_CONSUMER_DIR "/main.cpp", "-o", build.filePath("c")} + words
                                                    + QString(RYQT_CONSUMER_FLAGS).split(' ', Qt::SkipEmptyParts));
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        QVERIFY(run(build.filePath("c"), {}).says(kOk));
        if (kSanitized)
            QSKIP("a program built by the README's plain line cannot load a sanitizer-built library");
        const Result readme = readmeBuild(kName, plainPrefix());
        QVERIFY2(readme.says(kOk), qPrintable(readme.output));
    }

    // `import ryqt` (or ryqt6) from the prefix alone: no LD_LIBRARY_PATH, the module's run path
    // finds the library installed beside it rather than any other copy.
    void pythonModule()
    {
        if (QString(RYQT_PY_MODULE).isEmpty())
            QSKIP("built without RYQT_BUILD_PYTHON");
        const Result r = pythonImport(RYQT_PY_MODULE, prefix());
        QVERIFY2(importedFrom(r, prefix()), qPrintable(r.output));
    }

    // The other Qt's build installed into the same prefix: no file of one overwrites one of the
    // other, and each variant's consumers build and run with their own Qt and headers.
    void bothVariantsInOnePrefix()
    {
        if (kCompanion.isEmpty())
            QSKIP("no build of the other Qt (RYQT_COMPANION_BUILD_DIR); scripts/test.sh sets it for the second build");
        const Result install = run(RYQT_CMAKE_COMMAND, {"--install", kCompanion, "--prefix", prefix()});
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
        const QSet<QString> theirs = installManifest(kCompanion);
        QVERIFY2(!theirs.isEmpty() && !theirs.intersects(m_manifest), qPrintable(QStringList((theirs & m_manifest).values()).join(' ')));
        for (const QString name : {"ryQt", "ryQt6"}) {
            QTemporaryDir build;
            Result r = cmakeConsumer(build.path(), {"-DCMAKE_PREFIX_PATH=" + prefix(), "-DRYQT_PACKAGE=" + name, "-DRYQT_EXPECT_QT=" + qtOf(name)});
            QVERIFY2(r.says("(Qt " + qtOf(name)), qPrintable(r.output));
            if (!kSanitized)
                r = readmeBuild(name, plainPrefix());
            QVERIFY2(r.says("(Qt " + qtOf(name)), qPrintable(r.output));
        }
        // Both Python modules, ryqt and ryqt6, import from the shared prefix too.
        if (QString(RYQT_PY_MODULE).isEmpty() || !QFileInfo::exists(kCompanion + "/python/package"))
            return;
        for (const QString module : {"ryqt", "ryqt6"}) {
            const Result r = pythonImport(module, prefix());
            QVERIFY2(importedFrom(r, prefix()), qPrintable(r.output));
        }
    }

    // Inside a host's tree by FetchContent, static: only the library is built, with the host's Qt.
    void staticSubproject()
    {
        if (kSanitized)
            QSKIP("builds the library once more; the plain build covers it");
        const QString build = RYQT_WORK_DIR "/subproject";
        const Result r = cmakeConsumer(build, {"-DRYQT_FROM=fetchcontent", "-DBUILD_SHARED_LIBS=OFF", "-DRYQT_SOURCE_DIR=" RYQT_SOURCE_DIR,
                                               "-DRYQT_EXPECT_QT=" + qtOf(kName)});
        QVERIFY2(r.says(kOk), qPrintable(r.output));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
