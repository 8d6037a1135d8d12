#pragma once

#include "ryqt_export.h"

#include <QThread>

/// Base class for one-shot background tasks that clean up after themselves.
///
/// Derive from it, put the work in run() and the completion step in postExec(), create the
/// object with new and call start(). When run() returns, postExec() runs on the thread that
/// created the object, then the object deletes itself on that thread's next event-loop turn.
/// Never delete a Thread yourself and never use the pointer after it has finished; without a
/// running event loop on the creating thread neither postExec() nor the deletion happens: a
/// Thread still running when the application's event loop ends is not waited for, and its
/// postExec() never runs. Hosts that must finish such work wait for it on
/// QCoreApplication::aboutToQuit() and then call QCoreApplication::sendPostedEvents().
///
/// \code
/// class Import : public Thread {
///     void run() override { m_count = importFiles(); }                // worker thread
///     void postExec() override { showCount(m_count); }                 // creating thread
///     int m_count = 0;
/// };
/// (new Import)->start();
/// \endcode
class RYQT_EXPORT Thread : public QThread
{
    Q_OBJECT

public:
    /// Creates the thread without a parent (it owns itself) and wires its completion steps.
    Thread();
    /// Destroying a thread that is still running is a programming error, as with QThread.
    ~Thread() override;

public Q_SLOTS:
    /// Runs the completion hook; invoked on the creating thread when the work has finished.
    void onPostExecute();

protected:
    /// Completion hook, run on the creating thread after run() returned; may read what run()
    /// stored without locking. Does nothing by default.
    virtual void postExec();
};
