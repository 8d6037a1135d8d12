#include "QLogLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <cstring>
#include <limits>

namespace {

// The largest file whose text is sure to fit one QString (UTF-8 never decodes to more UTF-16
// units than it has bytes); anything bigger would make the conversion abort the process.
constexpr qint64 kMaxFileSize = std::numeric_limits<int>::max() / 2 - 64;

} // namespace

QLogLoader::QLogLoader(const QString& path, QWidget* parent)
    : QThread(parent)
    , m_path(path)
{
}

QLogLoader::~QLogLoader()
{
    // The loader's parent is the dialog's parent widget, which the host may destroy mid-read;
    // a QThread destroyed while running aborts the process. The read always ends on its own.
    wait();
}

void QLogLoader::run()
{
    // Opening a FIFO blocks until a writer appears and a device may never reach its end, so
    // only regular files (or links to them) are read.
    const QFileInfo info(m_path);
    if (!info.isFile() || info.size() > kMaxFileSize) {
        emit errorReadingFile();
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        emit errorReadingFile();
        return;
    }
    QByteArray bytes = file.readAll();
    file.close();

    // Decoded like QString(const QByteArray&): UTF-8 up to the first zero byte.
    const int length = int(qstrnlen(bytes.constData(), uint(bytes.size())));
    const QString text = QString::fromUtf8(bytes.constData(), length);
    bytes = QByteArray(); // a large log should not hold both copies while the GUI takes the text

    if (text.isEmpty())
        emit errorReadingFile();
    else
        emit readFile(text, m_path);
}
