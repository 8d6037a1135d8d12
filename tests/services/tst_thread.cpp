#include "TaskCompletedListener.h"
#include "Thread.h"

#include <QtTest>

// What the Worker's completion hook saw; outlives the worker, which deletes itself.
static struct { int sum = 0; QThread* thread = nullptr; } seen;

struct Worker : Thread
{
    int stored = 0;
    void run() override { stored = 42; }
    void postExec() override { seen.sum += stored; seen.thread = QThread::currentThread(); }
};

class tst_Thread : public QObject
{
    Q_OBJECT

private slots:
    void hookRunsOnceOnCreatingThreadThenObjectIsGone()
    {
        QPointer<Worker> worker = new Worker;
        worker->start();
        QTRY_VERIFY(worker.isNull()); // deleted on a later event-loop turn
        QCOMPARE(seen.sum, 42); // ran once and saw what run() stored
        QCOMPARE(seen.thread, QThread::currentThread());
    }

    void listenerCopiesFireIndependently()
    {
        int calls = 0;
        const TaskCompletedListener original([&calls] { ++calls; });
        TaskCompletedListener(original).fire(); // the copy calls its own copy of the callable
        original.fire();
        QCOMPARE(calls, 2);
        bool thrown = false;
        try {
            TaskCompletedListener({}).fire();
        } catch (const std::bad_function_call&) {
            thrown = true;
        }
        QVERIFY(thrown);
    }
};

QTEST_GUILESS_MAIN(tst_Thread)
#include "tst_thread.moc"
