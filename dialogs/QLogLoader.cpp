#include "QLogLoader.h"

#include "LogStream.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The largest file whose text is sure to fit one QString (UTF-8 never decodes to more UTF-16
// units than it has bytes); anything bigger would make the conversion abort the process.
constexpr qint64 kMaxFileSize = std::numeric_limits<int>::max() / 2 - 64;

// Bytes read at a time; a piece of text ends after the last newline among them.
constexpr int kReadPiece = 1 << 20;

// Files up to this size are read in one piece and their text handed over whole.
constexpr qint64 kStreamFrom = 1 << 18;

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// Where to end a piece of buffer: just after its last newline that is not followed by a byte
// order mark (nor by too few bytes to tell); 0 for none. Newlines before from were looked at
// already.
int cutAfterLine(const QByteArray& buffer, int from)
{
    const char* data = buffer.constData();
    for (int at = buffer.size() - 4; at >= std::max(0, from); --at) {
        if (data[at] == '\n' && std::memcmp(data + at + 1, kByteOrderMark, 3) != 0)
            return at + 1;
    }
    return 0;
}

} // namespace

QLogLoader::QLogLoader(const QString& path, QWidget* parent)
    : QThread(parent)
    , m_path(path)
{
}

QLogLoader::~QLogLoader()
{
    // The loader's parent is the dialog's parent widget, which the host may destroy mid-read;
    // a QThread destroyed while running aborts the process. The read stops at its next piece:
    // nobody is left to take the text, and a gigabyte would hold the GUI thread for seconds.
    m_abandoned = true;
    wait();
    // Never started: a dialog's builder must not wait for pieces that will not come.
    if (m_stream)
        m_stream->finish(false);
}

void QLogLoader::run()
{
    // Whatever happens below, a builder waiting on the stream hears of the end.
    const std::shared_ptr<ryqt::LogStream> stream = m_stream;
    auto drop = [&stream] {
        if (stream)
            stream->finish(false);
    };
    auto fail = [this, &drop] {
        drop();
        emit errorReadingFile();
    };
    // Opening a FIFO blocks until a writer appears and a device may never reach its end, so
    // only regular files (or links to them) are read.
    const QFileInfo info(m_path);
    if (!info.isFile() || info.size() > kMaxFileSize)
        return fail();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail();
    // A small text is shown in one go; streaming it would only add a thread hand-over.
    if (stream && info.size() <= kStreamFrom)
        stream->finish(false);

    // Read and decoded in pieces, each ending just after a newline, with the same result as
    // decoding the whole file at once: text mode drops every '\r' wherever a read ends, a cut
    // after a newline never splits a UTF-8 sequence, and no piece but the first may start with
    // a byte order mark, which the decoder would drop there. Pieces keep the peak low (no copy
    // of the raw file) and let the dialog build its document while the rest is read.
    QString text;
    text.reserve(int(info.size())); // UTF-8 never decodes to more UTF-16 units than it has bytes
    QByteArray buffer;
    qint64 total = 0;
    bool end = false;
    while (!end) {
        if (m_abandoned)
            return drop();
        const int carried = buffer.size();
        buffer.resize(carried + kReadPiece);
        const qint64 got = file.read(buffer.data() + carried, kReadPiece);
        buffer.resize(carried + int(std::max<qint64>(got, 0)));
        total += std::max<qint64>(got, 0);
        end = got <= 0;
        // The file may have grown since it was checked.
        if (total > kMaxFileSize)
            return fail();
        // Decoded like QString(const QByteArray&): UTF-8 up to the first zero byte.
        const char* zero = static_cast<const char*>(std::memchr(buffer.constData() + carried, 0, size_t(buffer.size() - carried)));
        if (zero) {
            buffer.truncate(int(zero - buffer.constData()));
            end = true;
        }
        const int cut = end ? buffer.size() : cutAfterLine(buffer, carried - 4);
        if (cut == 0)
            continue;
        const QString piece = QString::fromUtf8(buffer.constData(), cut);
        buffer.remove(0, cut);
        text += piece;
        if (stream)
            stream->push(piece);
    }
    file.close();

    if (m_abandoned)
        return drop();
    if (text.isEmpty())
        return fail();
    // The text is on its way to the GUI thread before the stream ends, so a dialog hears of
    // the text before its document can be finished.
    emit readFile(text, m_path);
    if (stream)
        stream->finish(true);
}
