#pragma once

#include "ryqt_export.h"

#include <QSharedMemory>
#include <QString>
#include <QSystemSemaphore>

/// Lets only one process per key run at a time on one machine.
///
/// The claim is an 8-byte named shared-memory segment; every look at it is serialised across
/// processes by a named system semaphore. Both names are SHA-1 digests of the key, so any
/// string (empty, non-ASCII, very long) is a valid key, and keys differing only in case are
/// different claims. A guard is not copyable and is used from one thread at a time.
class RYQT_EXPORT QRunGuard
{
public:
    /// Prepares a guard for \a key without claiming it. Also clears a segment left behind by a
    /// holder that died without detaching, so a crashed instance never blocks the key forever.
    explicit QRunGuard(const QString& key);
    /// Drops the claim if this guard holds it.
    ~QRunGuard();

    /// True when another guard with the same key (in any process) holds the claim;
    /// false for the holding guard itself.
    bool isAnotherRunning();
    /// Claims the key: true when this guard holds it now (also when it already did),
    /// false when another guard holds it or the segment cannot be created.
    bool tryToRun();
    /// Gives up this guard's claim; a no-op when it holds none.
    void release();

private:
    Q_DISABLE_COPY(QRunGuard)

    const QString m_key;
    const QString m_memLockKey;
    const QString m_sharedMemKey;
    QSharedMemory m_sharedMem;
    QSystemSemaphore m_memLock;
};
