#pragma once

#include <QFont>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <deque>

namespace ryqt {

/// Decoded pieces of one log on their way from a QLogLoader's thread to the thread that builds
/// the editor's document, so that building starts while the file is still being read. Each
/// piece holds whole lines (it ends just after a newline, or at the text's end), which lets the
/// loader measure the widest line piece by piece too.
///
/// Bounded: push() waits while the builder is a few megabytes behind, so the pieces in flight
/// never add much to the text the loader collects anyway. Every wait ends when the other side
/// consumes, finishes or cancels; cancel() is safe from any thread at any time.
class LogStream
{
public:
    /// font and limit: what the loader measures the pieces with (see logTextWidth()).
    LogStream(const QFont& font, int limit) : m_font(font), m_limit(limit) {}

    // Loader side.

    /// Whether pieces are wanted at all; false once cancelled or finished.
    bool isOpen() const;
    /// Measures piece and queues it, waiting while the queue is full. False once cancelled: the
    /// loader then stops measuring and pushing.
    bool push(const QString& piece);
    /// Ends the stream. complete: the pieces pushed are the whole text the loader reports;
    /// otherwise the builder drops what it made.
    void finish(bool complete);

    // Builder side.

    /// Whether the pieces will make up the text the loader reports: the loader has not declined
    /// to stream (a small file) and nobody cancelled.
    bool willDeliver() const;
    /// Takes the next piece, waiting for one; false at the end of the stream or once cancelled.
    bool pop(QString* piece);
    /// After pop() returned false: whether every piece of a text the loader reported arrived.
    bool isComplete() const;
    /// The widest line of all pieces, in pixels, clamped to the limit.
    int width() const;

    /// Either side gives up: waits end, and no more pieces are measured or queued.
    void cancel();

private:
    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<QString> m_pieces;
    qint64 m_queued = 0; // characters in m_pieces
    bool m_finished = false;
    bool m_complete = false;
    bool m_cancelled = false;
    // Measuring happens on the loader's thread only, outside the lock.
    const QFont m_font;
    const int m_limit;
    int m_width = 0;
    bool m_measured = false; // a length-variant separator ended the measured text
};

} // namespace ryqt
