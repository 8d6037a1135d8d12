#include "QRunGuard.h"

#include <QCryptographicHash>

namespace {

// System object names never carry the raw key: a digest is valid on every platform whatever
// the key's length or characters.
QString generateKeyHash(const QString& key, const QString& salt)
{
    QByteArray data = key.toUtf8();
    data.append(salt.toUtf8());
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

constexpr int SegmentSize = 8;

} // namespace

QRunGuard::QRunGuard(const QString& key)
    : m_key(key),
      m_memLockKey(generateKeyHash(key, QStringLiteral("_memLockKey"))),
      m_sharedMemKey(generateKeyHash(key, QStringLiteral("_sharedmemKey"))),
      m_sharedMem(m_sharedMemKey),
      m_memLock(m_memLockKey, 1, QSystemSemaphore::Open)
{
    // On Unix a holder killed before it detached leaves its System V segment behind with no
    // process attached. Attaching and detaching once removes such an orphan, because the last
    // detach of a segment nobody else uses destroys it; a live holder's segment survives.
    m_memLock.acquire();
    {
        QSharedMemory fix(m_sharedMemKey);
        fix.attach(QSharedMemory::ReadWrite);
    }
    m_memLock.release();
}

QRunGuard::~QRunGuard()
{
    release();
}

bool QRunGuard::isAnotherRunning()
{
    if (m_sharedMem.isAttached())
        return false;

    m_memLock.acquire();
    const bool isRunning = m_sharedMem.attach(QSharedMemory::ReadWrite);
    if (isRunning)
        m_sharedMem.detach();
    m_memLock.release();

    return isRunning;
}

bool QRunGuard::tryToRun()
{
    if (m_sharedMem.isAttached())
        return true;
    if (isAnotherRunning())
        return false;

    m_memLock.acquire();
    const bool created = m_sharedMem.create(SegmentSize, QSharedMemory::ReadWrite);
    m_memLock.release();

    if (!created) {
        release();
        return false;
    }
    return true;
}

void QRunGuard::release()
{
    m_memLock.acquire();
    if (m_sharedMem.isAttached())
        m_sharedMem.detach();
    m_memLock.release();
}
