#include "Thread.h"

Thread::Thread()
    : QThread(nullptr)
{
    // Both connections are queued to the creating thread and delivered in this order, so the
    // hook always runs before the object is scheduled for deletion.
    connect(this, SIGNAL(finished()), this, SLOT(onPostExecute()));
    connect(this, SIGNAL(finished()), this, SLOT(deleteLater()));
}

Thread::~Thread() = default;

void Thread::onPostExecute()
{
    postExec();
}

void Thread::postExec()
{
}
