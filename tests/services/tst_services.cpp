#include "QFileUtility.h"
#include "TaskCompletedListener.h"
#include "Thread.h"

#include <QtTest>

using F = QFileUtility;

// What the Worker's completion hook saw; outlives the worker, which deletes itself.
static struct { int sum = 0; QThread* thread = nullptr; } seen;

struct Worker : Thread
{
    int stored = 0;
    void run() override { stored = 42; }
    void postExec() override { seen.sum += stored, seen.thread = QThread::currentThread(); }
};

class tst_Services : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_tmp.path())); } // relative paths start here

    // postExec() runs once, on the creating thread, seeing what run() stored; then the thread
    // deletes itself. A listener's copy calls its own copy of the callable.
    void threadAndListener()
    {
        QPointer<Worker> worker = new Worker;
        worker->start();
        QTRY_VERIFY(worker.isNull());
        QVERIFY(seen.sum == 42 && seen.thread == QThread::currentThread());
        int calls = 0;
        const TaskCompletedListener original([&calls] { ++calls; });
        TaskCompletedListener(original).fire();
        original.fire();
        QCOMPARE(calls, 2);
    }

    // Hidden files and sub-directories are left out, names cut at the first dot, ordered
    // ignoring case; a missing directory is created with its parents.
    void listing()
    {
        const QString dir = QStringLiteral("dir ü 目录/"), absolute = m_tmp.filePath(dir);
        QVERIFY(QDir().mkpath(dir + "sub"));
        for (const char* f : {"b.txt", "Ärger.md", "A.log", "a.tar.gz", ".hidden", "My notes.1"})
            QVERIFY(QFile(dir + QString::fromUtf8(f)).open(QIODevice::WriteOnly));
        QCOMPARE(F::getFileNames(dir, {}), (QStringList{"A", "a", "b", "My notes", "Ärger"}));
        const QStringList filters{"*.txt", "*.gz", "*.1", "*.png"};
        QCOMPARE(F::getFileNames(dir, filters), (QStringList{"a", "b", "My notes"}));
        QCOMPARE(F::getFullPaths(dir, filters), (QStringList{absolute + "a.tar.gz", absolute + "b.txt", absolute + "My notes.1"}));
        const QString fresh = QStringLiteral("new parent/ünï 子/");
        QVERIFY((F::getFileNames(fresh + "a", {}) + F::getFullPaths(fresh + "b", {})).isEmpty());
        QVERIFY(QFileInfo(fresh + "a").isDir() && QFileInfo(fresh + "b").isDir());
    }

    // A file is not a directory, and nothing can be made in its place or below it. An empty
    // path is the current directory, except for doesFileExist.
    void directoriesAndFiles()
    {
        const QString sub = QStringLiteral("with space/Ünïcødé 目录/"), file = QStringLiteral("Größe 表.txt");
        QVERIFY(F::createDirectory(sub) && F::createDirectory(sub) && F::doesDirectoryExist(sub));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        QVERIFY(F::doesFileExist(file) && !F::doesDirectoryExist(file) && F::doesFileExist(sub));
        for (const QString& p : {file, file + "/sub", file + "/a/b"})
            QVERIFY(!F::createDirectory(p) && F::getFileNames(p, {}).isEmpty());
        QVERIFY(QFileInfo(file).isFile() && !F::doesFileExist(file + "/sub"));
        QVERIFY(F::doesDirectoryExist(QString()) && !F::doesFileExist(QString()));
    }
};

QTEST_GUILESS_MAIN(tst_Services)
#include "tst_services.moc"
