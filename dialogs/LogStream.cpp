#include "LogStream.h"

#include "LogTextWidth.h"

#include <QMutexLocker>

#include <algorithm>
#include <utility>

namespace ryqt {

namespace {

// Characters the builder may lag behind the loader before the loader waits: enough to keep both
// threads busy, small beside the text itself.
constexpr qint64 kMaxQueued = 8 << 20;

// The first U+009C ends the first "length variant" of a string; the width is that of the text
// before it, as in the whole text's measure.
constexpr ushort kLengthVariantSeparator = 0x9c;

} // namespace

bool LogStream::isOpen() const
{
    QMutexLocker lock(&m_mutex);
    return !m_cancelled && !m_finished;
}

bool LogStream::push(const QString& piece)
{
    if (!isOpen())
        return false;
    // Pieces end just after a newline, so no line is split between two measures.
    int width = 0;
    if (!m_measured) {
        const int separator = piece.indexOf(QChar(kLengthVariantSeparator));
        m_measured = separator >= 0;
        width = logTextWidth(m_font, m_measured ? piece.left(separator) : piece, m_limit);
    }
    QMutexLocker lock(&m_mutex);
    m_width = std::max(m_width, width);
    while (!m_cancelled && !m_pieces.empty() && m_queued >= kMaxQueued)
        m_changed.wait(&m_mutex);
    if (m_cancelled)
        return false;
    m_pieces.push_back(piece);
    m_queued += piece.size();
    m_changed.wakeAll();
    return true;
}

void LogStream::finish(bool complete)
{
    QMutexLocker lock(&m_mutex);
    if (m_finished)
        return;
    m_finished = true;
    m_complete = complete;
    m_changed.wakeAll();
}

bool LogStream::pop(QString* piece)
{
    QMutexLocker lock(&m_mutex);
    while (!m_cancelled && !m_finished && m_pieces.empty())
        m_changed.wait(&m_mutex);
    if (m_cancelled || m_pieces.empty())
        return false;
    *piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    m_queued -= piece->size();
    m_changed.wakeAll();
    return true;
}

bool LogStream::willDeliver() const
{
    QMutexLocker lock(&m_mutex);
    return !m_cancelled && (!m_finished || m_complete);
}

bool LogStream::isComplete() const
{
    QMutexLocker lock(&m_mutex);
    return m_complete && !m_cancelled;
}

int LogStream::width() const
{
    QMutexLocker lock(&m_mutex);
    return m_width;
}

void LogStream::cancel()
{
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
    m_pieces.clear();
    m_queued = 0;
    m_changed.wakeAll();
}

} // namespace ryqt
