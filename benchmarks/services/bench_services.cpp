// Services against the plain Qt calls they wrap: a directory listing, a run-guard claim cycle,
// and a batch of self-deleting worker threads.
#include "ryqtbench.h"

#include "QFileUtility.h"
#include "QRunGuard.h"
#include "Thread.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSharedMemory>
#include <QSystemSemaphore>
#include <QTemporaryDir>
#include <QUuid>

namespace {

class CountingThread : public Thread
{
public:
    explicit CountingThread(int* done) : m_done(done) {}

protected:
    void run() override { m_sum = 0; for (int i = 0; i < 1000; ++i) m_sum += i; }
    void postExec() override { *m_done += m_sum > 0; }

private:
    int* m_done;
    long m_sum = 0;
};

QString hashed(const QString& key, const char* suffix)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8() + suffix, QCryptographicHash::Sha1).toHex());
}

} // namespace

int main(int argc, char** argv)
{
    ryqtbench::Runner runner(argc, argv);

    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("files"));
    QDir().mkpath(dir);
    for (int i = 0; i < 2000; ++i) {
        QFile file(QStringLiteral("%1/file_%2.part.%3").arg(dir).arg(i).arg(i % 2 ? "txt" : "log"));
        file.open(QIODevice::WriteOnly);
    }

    runner.add(QStringLiteral("fileutility_names_2000"),
               [&] {
                   return ryqtbench::timeMs([&] {
                       QFileUtility::getFileNames(dir, {QStringLiteral("*.txt")});
                   });
               },
               [&] {
                   return ryqtbench::timeMs([&] {
                       QStringList names;
                       const QStringList files = QDir(dir).entryList({QStringLiteral("*.txt")},
                                                                     QDir::Files);
                       for (const QString& f : files)
                           names << f.section(QLatin1Char('.'), 0, 0);
                   });
               },
               21);

    runner.add(QStringLiteral("fileutility_fullpaths_2000"),
               [&] {
                   return ryqtbench::timeMs([&] { QFileUtility::getFullPaths(dir, {}); });
               },
               [&] {
                   return ryqtbench::timeMs([&] {
                       QStringList paths;
                       const QDir d(dir);
                       for (const QString& f : d.entryList(QDir::Files))
                           paths << d.absoluteFilePath(f);
                   });
               },
               21);

    // One claim cycle: construct, claim, release. The baseline does the same system calls
    // without the orphan clean-up and the "another running" probe.
    const QString key = QStringLiteral("ryqt-bench-") + QUuid::createUuid().toString();
    runner.add(QStringLiteral("runguard_claim_release_200"),
               [&] {
                   return ryqtbench::timeMs([&] {
                       for (int i = 0; i < 200; ++i) {
                           QRunGuard guard(key);
                           guard.tryToRun();
                       }
                   });
               },
               [&] {
                   return ryqtbench::timeMs([&] {
                       for (int i = 0; i < 200; ++i) {
                           QSystemSemaphore lock(hashed(key, "_memLockKey"), 1, QSystemSemaphore::Open);
                           QSharedMemory memory(hashed(key, "_sharedmemKey"));
                           lock.acquire();
                           memory.create(8);
                           lock.release();
                           lock.acquire();
                           memory.detach();
                           lock.release();
                       }
                   });
               },
               7);

    runner.add(QStringLiteral("thread_selfdelete_64"),
               [&] {
                   return ryqtbench::timeMs([&] {
                       int done = 0;
                       for (int i = 0; i < 64; ++i)
                           (new CountingThread(&done))->start();
                       while (done < 64)
                           QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                       QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                   });
               },
               [&] {
                   return ryqtbench::timeMs([&] {
                       int done = 0;
                       for (int i = 0; i < 64; ++i) {
                           QThread* t = QThread::create([] {
                               volatile long sum = 0;
                               for (int j = 0; j < 1000; ++j)
                                   sum = sum + j;
                           });
                           QObject::connect(t, &QThread::finished, [&done] { ++done; });
                           QObject::connect(t, &QThread::finished, t, &QObject::deleteLater);
                           t->start();
                       }
                       while (done < 64)
                           QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                       QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                   });
               },
               7);

    return runner.exec();
}
