#include "TaskCompletedListener.h"
#include "Thread.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

namespace {

// Records what a completion hook saw; outlives the thread object that fills it.
struct Report
{
    int postExecCalls = 0;
    int valueSeen = 0;
    QThread* runThread = nullptr;
    QThread* hookThread = nullptr;
    QThread* hookRunThreadSeen = nullptr;
};

class Worker : public Thread
{
public:
    Worker(std::shared_ptr<Report> report, int value) : m_report(std::move(report)), m_value(value) {}

protected:
    void run() override
    {
        m_runThread = QThread::currentThread();
        m_stored = m_value;
    }
    void postExec() override
    {
        ++m_report->postExecCalls;
        m_report->valueSeen = m_stored;
        m_report->hookThread = QThread::currentThread();
        m_report->hookRunThreadSeen = m_runThread;
    }

private:
    std::shared_ptr<Report> m_report;
    int m_value;
    int m_stored = 0;
    QThread* m_runThread = nullptr;
};

// Does work but keeps the default, empty completion hook.
class HooklessWorker : public Thread
{
public:
    explicit HooklessWorker(bool* ran) : m_ran(ran) {}

protected:
    void run() override { *m_ran = true; }

private:
    bool* m_ran;
};

} // namespace

class tst_Thread : public QObject
{
    Q_OBJECT

private slots:
    void hookRunsOnceOnCreatingThreadThenObjectIsGone();
    void hookRunsOnNonGuiCreatingThread();
    void defaultHookDeletesSilently();
    void listenerCopiesFireIndependently();
    void emptyListenerThrows();
};

void tst_Thread::hookRunsOnceOnCreatingThreadThenObjectIsGone()
{
    auto report = std::make_shared<Report>();
    auto* worker = new Worker(report, 42);
    QPointer<Worker> alive(worker);
    QSignalSpy destroyed(worker, &QObject::destroyed);
    QCOMPARE(worker->parent(), nullptr);
    worker->start();

    QTRY_VERIFY(alive.isNull());
    QCOMPARE(destroyed.count(), 1);
    QCOMPARE(report->postExecCalls, 1);
    QCOMPARE(report->valueSeen, 42);
    QCOMPARE(report->hookThread, QThread::currentThread());
    QVERIFY(report->hookRunThreadSeen != nullptr);
    QVERIFY(report->hookRunThreadSeen != QThread::currentThread());
}

void tst_Thread::hookRunsOnNonGuiCreatingThread()
{
    // The hook follows the thread that created the object, not the GUI thread.
    QThread host;
    host.start();
    QObject context;
    context.moveToThread(&host);

    auto report = std::make_shared<Report>();
    // Set on the host thread after the hook, so reading the report afterwards is race-free.
    std::atomic<bool> deleted{false};
    QMetaObject::invokeMethod(&context, [&] {
        auto* worker = new Worker(report, 7);
        connect(worker, &QObject::destroyed, [&deleted] { deleted = true; });
        worker->start();
    }, Qt::BlockingQueuedConnection);

    QTRY_VERIFY(deleted.load());
    QCOMPARE(report->postExecCalls, 1);
    QCOMPARE(report->valueSeen, 7);
    QCOMPARE(report->hookThread, &host);

    context.moveToThread(QThread::currentThread());
    host.quit();
    QVERIFY(host.wait(10000));
}

void tst_Thread::defaultHookDeletesSilently()
{
    bool ran = false;
    auto* worker = new HooklessWorker(&ran);
    QPointer<HooklessWorker> alive(worker);
    QSignalSpy finished(worker, &QThread::finished);
    worker->start();
    QTRY_VERIFY(alive.isNull());
    QVERIFY(ran);
    QCOMPARE(finished.count(), 1);
}

void tst_Thread::listenerCopiesFireIndependently()
{
    int calls = 0;
    auto original = std::make_unique<TaskCompletedListener>([&calls] { ++calls; });
    TaskCompletedListener copy(*original);
    TaskCompletedListener assigned([] {});
    assigned = *original;
    original.reset(); // copies keep their own callable

    copy.fire();
    assigned.fire();
    QCOMPARE(calls, 2);

    TaskCompletedListener& alias = copy;
    copy = alias; // self-assignment keeps the callable
    copy.fire();
    QCOMPARE(calls, 3);
}

void tst_Thread::emptyListenerThrows()
{
    const TaskCompletedListener empty{std::function<void()>()};
    QVERIFY_EXCEPTION_THROWN(empty.fire(), std::bad_function_call);
    const TaskCompletedListener copy(empty);
    QVERIFY_EXCEPTION_THROWN(copy.fire(), std::bad_function_call);
    TaskCompletedListener replaced([] {});
    replaced = empty;
    QVERIFY_EXCEPTION_THROWN(replaced.fire(), std::bad_function_call);
}

QTEST_GUILESS_MAIN(tst_Thread)
#include "tst_thread.moc"
