#include "QFileUtility.h"

#include <QtTest>

using F = QFileUtility;

class tst_FileUtility : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_tmp.path())); } // relative paths start here

    void listing()
    {
        // Hidden files and sub-directories are left out; names are cut at the first dot.
        const QString dir = QStringLiteral("dir ü 目录/"), absolute = m_tmp.filePath(dir);
        QVERIFY(QDir().mkpath(dir + "sub"));
        for (const char* f : {"b.txt", "Ärger.md", "A.log", "a.tar.gz", ".hidden", "My notes.1"})
            QVERIFY(QFile(dir + QString::fromUtf8(f)).open(QIODevice::WriteOnly));
        // Ordered ignoring case.
        QCOMPARE(F::getFileNames(dir, {}), (QStringList{"A", "a", "b", "My notes", "Ärger"}));
        const QStringList filters{"*.txt", "*.gz", "*.1", "*.png"};
        QCOMPARE(F::getFileNames(dir, filters), (QStringList{"a", "b", "My notes"}));
        QCOMPARE(F::getFullPaths(dir, filters),
                 (QStringList{absolute + "a.tar.gz", absolute + "b.txt", absolute + "My notes.1"}));
    }

    void directoriesAndExistence()
    {
        // Listing a missing directory creates it with its parents, whichever list is asked for.
        const QString dir = QStringLiteral("new parent/ünï 子/");
        QVERIFY((F::getFileNames(dir + "a", {}) + F::getFullPaths(dir + "b", {})).isEmpty());
        QVERIFY(QFileInfo(dir + "a").isDir() && QFileInfo(dir + "b").isDir());
        const QString sub = QStringLiteral("with space/Ünïcødé 目录/");
        // With its parents; asked again, still true.
        QVERIFY(F::createDirectory(sub) && F::createDirectory(sub) && F::doesDirectoryExist(sub));

        // A file is not a directory, and nothing can be made in its place or below it.
        const QString file = QStringLiteral("Größe 表.txt");
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        QVERIFY(F::doesFileExist(file) && !F::doesDirectoryExist(file) && F::doesFileExist(sub));
        for (const QString& p : {file, file + "/sub", file + "/a/b"})
            QVERIFY(!F::createDirectory(p) && F::getFileNames(p, {}).isEmpty());
        QVERIFY(QFileInfo(file).isFile() && !F::doesFileExist(file + "/sub"));
        // An empty path is the current directory, except for doesFileExist.
        QVERIFY(F::doesDirectoryExist(QString()) && !F::doesFileExist(QString()));
    }
};

QTEST_GUILESS_MAIN(tst_FileUtility)
#include "tst_fileutility.moc"
