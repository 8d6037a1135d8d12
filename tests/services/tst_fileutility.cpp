#include "QFileUtility.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool writeFile(const QString& path, const QByteArray& content = QByteArray("x"))
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_FileUtility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listing_data();
    void listing();
    void listingCreatesMissingDirectory_data();
    void listingCreatesMissingDirectory();
    void createDirectory_data();
    void createDirectory();
    void relativePathsFollowCurrentDirectory();
    void unreachablePaths_data();
    void unreachablePaths();
    void existence_data();
    void existence();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
};

void tst_FileUtility::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
}

void tst_FileUtility::listing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("fullPathFiles");

    const QStringList mixed{"b.txt", "A.log", "a.tar.gz", ".hidden", "c/inner.txt"};
    QTest::newRow("ordered ignoring case, cut at first dot")
        << mixed << QStringList() << QStringList{"A", "a", "b"}
        << QStringList{"A.log", "a.tar.gz", "b.txt"};
    QTest::newRow("one filter") << mixed << QStringList{"*.txt"} << QStringList{"b"}
                                << QStringList{"b.txt"};
    QTest::newRow("several filters") << mixed << QStringList{"*.gz", "*.log"}
                                     << QStringList{"A", "a"}
                                     << QStringList{"A.log", "a.tar.gz"};
    QTest::newRow("no match") << mixed << QStringList{"*.png"} << QStringList() << QStringList();
    QTest::newRow("names not made unique") << QStringList{"x.2", "x.1", "README"}
                                           << QStringList() << QStringList{"README", "x", "x"}
                                           << QStringList{"README", "x.1", "x.2"};
    QTest::newRow("spaces and non-ascii")
        << QStringList{"my notes.v2.txt", "Ärger.txt", "日本語.md", "zeta.txt"} << QStringList()
        << QStringList{"my notes", "zeta", "Ärger", "日本語"}
        << QStringList{"my notes.v2.txt", "zeta.txt", "Ärger.txt", "日本語.md"};
    QTest::newRow("empty directory") << QStringList() << QStringList() << QStringList()
                                     << QStringList();
}

void tst_FileUtility::listing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, filters);
    QFETCH(QStringList, names);
    QFETCH(QStringList, fullPathFiles);

    // A directory name with a space and non-ASCII letters, to cover the path as well.
    const QString dir = m_tmp->filePath(QStringLiteral("list dir ü"));
    QVERIFY(QDir().mkpath(dir));
    for (const QString& file : files) {
        const QString path = dir + QLatin1Char('/') + file;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(writeFile(path));
    }

    QCOMPARE(QFileUtility::getFileNames(dir, filters), names);
    QStringList expectedPaths;
    for (const QString& file : fullPathFiles)
        expectedPaths << QDir(dir).absoluteFilePath(file);
    QCOMPARE(QFileUtility::getFullPaths(dir, filters), expectedPaths);
    for (const QString& path : expectedPaths)
        QVERIFY(QFileInfo(path).isAbsolute() && QFileInfo(path).isFile());
}

void tst_FileUtility::listingCreatesMissingDirectory_data()
{
    QTest::addColumn<bool>("fullPaths");
    QTest::newRow("getFileNames") << false;
    QTest::newRow("getFullPaths") << true;
}

void tst_FileUtility::listingCreatesMissingDirectory()
{
    QFETCH(bool, fullPaths);
    const QString dir = m_tmp->filePath(QStringLiteral("new parent/ünï 子/leaf"));
    QVERIFY(!QFileInfo::exists(m_tmp->filePath(QStringLiteral("new parent"))));

    const QStringList result = fullPaths ? QFileUtility::getFullPaths(dir, {"*.txt"})
                                         : QFileUtility::getFileNames(dir, {"*.txt"});
    QVERIFY(result.isEmpty());
    QVERIFY(QFileInfo(dir).isDir());
}

void tst_FileUtility::createDirectory_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("one level") << "one";
    QTest::newRow("with parents") << "a/b/c/d";
    QTest::newRow("spaces and non-ascii") << "with space/Ünïcødé 目录/ok";
    QTest::newRow("trailing slash") << "x/z/";
}

void tst_FileUtility::createDirectory()
{
    QFETCH(QString, relative);
    const QString path = m_tmp->filePath(relative);
    QVERIFY(QFileUtility::createDirectory(path));
    QVERIFY(QFileUtility::doesDirectoryExist(path));
    QVERIFY(QFileInfo(QDir::cleanPath(path)).isDir());

    // Again on the existing directory: true, and its contents stay.
    const QString inside = QDir(path).filePath(QStringLiteral("keep.txt"));
    QVERIFY(writeFile(inside, "content"));
    QVERIFY(QFileUtility::createDirectory(path));
    QCOMPARE(readFile(inside), QByteArray("content"));
}

void tst_FileUtility::relativePathsFollowCurrentDirectory()
{
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_tmp->path()));
    const bool created = QFileUtility::createDirectory(QStringLiteral("rel/sub"));
    const bool exists = QFileUtility::doesDirectoryExist(QStringLiteral("rel/sub"));
    const QStringList listed = QFileUtility::getFullPaths(QStringLiteral("rel"), {});
    const bool emptyIsCurrent = QFileUtility::doesDirectoryExist(QString());
    QDir::setCurrent(previous);

    QVERIFY(created);
    QVERIFY(exists);
    QVERIFY(listed.isEmpty()); // sub-directories are not listed
    QVERIFY(emptyIsCurrent);
    QVERIFY(QFileInfo(m_tmp->filePath(QStringLiteral("rel/sub"))).isDir());
}

void tst_FileUtility::unreachablePaths_data()
{
    // Tests run as root, whom permission bits do not stop, so the failures come from a regular
    // file standing where a directory is needed and from /proc, where nobody can make directories.
    QTest::addColumn<QString>("path");
    QTest::newRow("file in the way") << "FILE/sub";
    QTest::newRow("file in the way, deeper") << "FILE/a/b/c";
    QTest::newRow("the file itself") << "FILE";
    QTest::newRow("under /proc") << "/proc/ryqt-no-such-dir/sub";
}

void tst_FileUtility::unreachablePaths()
{
    QFETCH(QString, path);
    const QString file = m_tmp->filePath(QStringLiteral("blocker.txt"));
    QVERIFY(writeFile(file, "keep me"));
    path.replace(QLatin1String("FILE"), file);

    QVERIFY(!QFileUtility::createDirectory(path));
    QVERIFY(!QFileUtility::doesDirectoryExist(path));
    QVERIFY(QFileUtility::getFileNames(path, {}).isEmpty());
    QVERIFY(QFileUtility::getFullPaths(path, {"*"}).isEmpty());
    QVERIFY(QFileInfo(file).isFile());
    QCOMPARE(readFile(file), QByteArray("keep me"));
}

void tst_FileUtility::existence_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("directoryExists");
    QTest::newRow("file") << "f.txt" << true << false;
    QTest::newRow("non-ascii file with space") << "Größe 表.txt" << true << false;
    QTest::newRow("directory") << "d" << true << true;
    QTest::newRow("missing") << "nothing" << false << false;
    QTest::newRow("missing under file") << "f.txt/x" << false << false;
}

void tst_FileUtility::existence()
{
    QFETCH(QString, relative);
    QFETCH(bool, fileExists);
    QFETCH(bool, directoryExists);
    QVERIFY(writeFile(m_tmp->filePath(QStringLiteral("f.txt"))));
    QVERIFY(writeFile(m_tmp->filePath(QStringLiteral("Größe 表.txt"))));
    QVERIFY(QDir(m_tmp->path()).mkdir(QStringLiteral("d")));

    const QString path = m_tmp->filePath(relative);
    QCOMPARE(QFileUtility::doesFileExist(path), fileExists);
    QCOMPARE(QFileUtility::doesDirectoryExist(path), directoryExists);
    QVERIFY(!QFileUtility::doesFileExist(QString()));
}

QTEST_GUILESS_MAIN(tst_FileUtility)
#include "tst_fileutility.moc"
