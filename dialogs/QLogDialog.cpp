#include "QLogDialog.h"

#include "LogFont.h"
#include "LogStream.h"
#include "LogTextWidth.h"
#include "QLogLoader.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <memory>
#include <cmath>

namespace {

// Texts up to this many characters go into the editor at once: setPlainText() on them costs
// less than a frame. Longer ones are laid out on a worker thread.
constexpr int kDirectLength = 1 << 18;

// Text is fed to the document in pieces this long so that a superseded or abandoned layout
// stops within a few milliseconds.
constexpr int kInsertPiece = 1 << 20;

// The widest window X11 can map and paint, in device pixels (its coordinates are 16-bit).
constexpr int kWindowSystemMaxWidth = 32767;

// Colouring slices give the event loop a turn at least this often.
constexpr qint64 kHighlightSliceNs = 8 * 1000 * 1000;

// Documents with fewer blocks than this are coloured in one pass, like the editor would.
constexpr int kSlicedHighlightBlocks = 2000;

} // namespace

namespace ryqt {

// Builds the editor's next document off the GUI thread. QTextDocument and its plain-text
// layout are reentrant: made, filled and measured here, they are moved to the GUI thread at the
// end and only then touched there. The text comes whole (measured here, beside the insertion)
// or as pieces a loader streams while it reads (measured by the loader). The builder is a child
// of its dialog, whose destructor cancels and waits for it; cancelled work is freed on the worker.
class LogDocumentBuilder : public QThread
{
public:
    struct Format
    {
        QFont font;
        QTextOption option;
        qreal margin;
    };

    LogDocumentBuilder(const QString& text, const QString& path, const Format& format, int limit, QObject* parent)
        : QThread(parent), m_text(text), m_path(path), m_format(format), m_limit(limit), m_target(parent->thread())
    {
    }
    LogDocumentBuilder(std::shared_ptr<LogStream> stream, const QString& path, const Format& format, QObject* parent)
        : QThread(parent), m_stream(std::move(stream)), m_path(path), m_format(format), m_target(parent->thread())
    {
    }

    ~LogDocumentBuilder() override
    {
        cancel();
        wait();
        delete m_document; // only if never handed over
    }

    void cancel()
    {
        m_cancel = true;
        if (m_stream)
            m_stream->cancel();
    }

    /// Whether this builder's document will be of the text the loader behind stream reports.
    bool follows(const std::shared_ptr<LogStream>& stream) const { return stream && m_stream == stream && stream->willDeliver(); }

    /// The finished document, now living in the GUI thread; the caller owns it from here.
    QTextDocument* takeDocument()
    {
        QTextDocument* document = m_document;
        m_document = nullptr;
        return document;
    }
    int textWidth() const { return m_width; }
    const QString& path() const { return m_path; }

protected:
    void run() override
    {
        auto* document = new QTextDocument;
        document->setUndoRedoEnabled(false); // the editor is read-only; a stack would only cost memory
        document->setDefaultFont(m_format.font);
        document->setDefaultTextOption(m_format.option);
        document->setDocumentMargin(m_format.margin);
        // Inserting in pieces, cut where no character and no "\r\n" is split, gives the same
        // blocks as setPlainText()'s single insertText().
        const bool complete = m_stream ? insertStream(document) : insertText(document);
        if (!complete) {
            delete document;
            return;
        }
        // The editor's layout goes on only now: attached while the text goes in, it would lay
        // out a line that grows piece by piece again after each piece, which for a single long
        // line is quadratic.
        document->setDocumentLayout(new QPlainTextDocumentLayout(document));

        // The editor gives every block a text layout when it takes the document; making them
        // here keeps that allocation off the GUI thread.
        for (QTextBlock block = document->begin(); block.isValid() && !m_cancel; block = block.next())
            block.layout();
        if (m_cancel) {
            delete document;
            return;
        }
        document->moveToThread(m_target);
        m_document = document;
    }

private:
    bool insertStream(QTextDocument* document)
    {
        QTextCursor cursor(document);
        QString piece;
        while (!m_cancel && m_stream->pop(&piece))
            cursor.insertText(piece);
        m_width = m_stream->width();
        return !m_cancel && m_stream->isComplete();
    }

    bool insertText(QTextDocument* document)
    {
        // The measure only reads the text, so on a machine with a second core it costs no time
        // beside the insertion. It ends on its own within a fraction of the insertion's time.
        const std::unique_ptr<QThread> measure(QThread::create([this] { m_width = logTextWidth(m_format.font, m_text, m_limit); }));
        measure->start(QThread::InheritPriority);
        {
            QTextCursor cursor(document);
            const int size = m_text.size();
            for (int at = 0; at < size && !m_cancel;) {
                int n = std::min(kInsertPiece, size - at);
                while (at + n < size && (m_text.at(at + n - 1).isHighSurrogate() || m_text.at(at + n - 1) == QLatin1Char('\r')))
                    ++n;
                cursor.insertText(m_text.mid(at, n));
                at += n;
            }
        }
        measure->wait();
        m_text = QString(); // the only copy left once the slot that started us has returned
        return !m_cancel;
    }

    std::shared_ptr<LogStream> m_stream;
    QString m_text;
    QString m_path;
    Format m_format;
    int m_limit = 0;
    QThread* m_target;
    std::atomic<bool> m_cancel{false};
    QTextDocument* m_document = nullptr;
    int m_width = 0;
};

// What a new document takes over from the editor's current one.
LogDocumentBuilder::Format formatOf(const QTextDocument* document)
{
    return {document->defaultFont(), document->defaultTextOption(), document->documentMargin()};
}

} // namespace ryqt

using ryqt::formatOf;

QLogDialog::QLogDialog(QWidget* parent)
    : QDialog(parent, Qt::WindowFlags())
    , m_textEdit(new QPlainTextEdit)
    , m_label(new QLabel)
    , m_highlightTimer(new QTimer(this))
{
    setupUi();
    m_highlightTimer->setInterval(0);
    connect(m_highlightTimer, &QTimer::timeout, this, &QLogDialog::highlightSlice);
}

QLogDialog::~QLogDialog()
{
    // The builder is a child and would be destroyed later anyway; cancelling first lets the
    // worker stop at its next step rather than finish a layout nobody will see.
    dropBuilder();
}

void QLogDialog::setupUi()
{
    setMinimumSize(200, 600);
    setWindowTitle(QStringLiteral("Log Dialog"));

    m_label->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_textEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_textEdit->setReadOnly(true);
    // Logs line up in columns; the editor's document takes the font as its default, so the
    // width measure follows.
    m_textEdit->setFont(ryqt::LogFont::font());

    auto* layout = new QVBoxLayout;
    layout->addWidget(m_label);
    layout->addWidget(m_textEdit);
    setLayout(layout);
}

void QLogDialog::showLog(const QString& path) const
{
    // The public signature is const, yet the loader must reach this dialog's slots.
    auto* self = const_cast<QLogDialog*>(this);
    QWidget* owner = parentWidget();

    auto* progress = new QProgressDialog(owner, Qt::WindowFlags());
    progress->setWindowTitle(tr("Opening File"));
    progress->setLabelText(tr("Reading log file..."));
    progress->setRange(0, 0);
    progress->setValue(0);
    progress->setCancelButton(nullptr);
    // Without a parent widget nothing would ever free it; with one it stays the parent's.
    if (!owner)
        progress->setAttribute(Qt::WA_DeleteOnClose);

    auto* loader = new QLogLoader(path, owner);
    // Reads may end in any order; only the newest one's result is shown.
    self->m_loader = loader;
    // The document is built from the text's pieces while the loader reads on; a small file
    // the loader declines to stream comes whole to onLogLoaded() instead. The measure's limit
    // is the widest any screen allows, so the margin need not be known yet.
    self->dropBuilder();
    loader->m_stream = std::make_shared<ryqt::LogStream>(m_textEdit->document()->defaultFont(), kWindowSystemMaxWidth + 1);
    self->startBuild(new ryqt::LogDocumentBuilder(loader->m_stream, path, formatOf(m_textEdit->document()), self));
    connect(loader, &QLogLoader::readFile, self, &QLogDialog::onLogLoaded);
    connect(loader, &QLogLoader::errorReadingFile, self, &QLogDialog::onErrorReadingFile);
    connect(loader, &QThread::finished, loader, &QObject::deleteLater);
    connect(loader, &QThread::started, progress, &QWidget::show);
    connect(loader, &QThread::finished, progress, &QWidget::close);
    loader->start(QThread::InheritPriority);
}

void QLogDialog::setSyntaxHighlighter(QSyntaxHighlighter* highlighter) const
{
    if (!highlighter)
        return;
    auto* self = const_cast<QLogDialog*>(this);
    self->m_highlighter = highlighter;
    self->followHighlighter();
}

int QLogDialog::widthLimit() const
{
    return int(std::floor(kWindowSystemMaxWidth / std::max<qreal>(1.0, devicePixelRatioF())));
}

bool QLogDialog::isStale() const
{
    // Only loaders made by showLog() (those that stream) are superseded; a host's own loader,
    // connected to our slots, is a host calling them directly.
    auto* loader = qobject_cast<QLogLoader*>(sender());
    return loader && loader->m_stream && loader != m_loader;
}

int QLogDialog::measureLimit(int margin) const
{
    // One pixel past the widest usable editor: a result this wide means "does not fit".
    return std::max(0, widthLimit() - margin) + 1;
}

void QLogDialog::onLogLoaded(const QString& text, const QString& log_path)
{
    if (isStale())
        return;
    if (!isVisible())
        show();
    // The document of a text that was streamed to us as it was read is on its way.
    auto* loader = qobject_cast<QLogLoader*>(sender());
    if (loader && m_builder && m_builder->follows(loader->m_stream))
        return;
    // Whatever was still being laid out is superseded by this text.
    dropBuilder();
    if (text.size() > kDirectLength) {
        const int margin = geometry().width() - m_textEdit->geometry().width();
        startBuild(new ryqt::LogDocumentBuilder(text, log_path, formatOf(m_textEdit->document()), measureLimit(margin), this));
        return;
    }

    const int margin = geometry().width() - m_textEdit->geometry().width();
    applyWidths(ryqt::logTextWidth(m_textEdit->document()->defaultFont(), text, measureLimit(margin)), margin);
    m_label->setText(QStringLiteral("Loaded File: %1").arg(log_path));
    // The text goes in last: widening the dialog resizes the editor, and a resize after the
    // text is in makes the editor lay out every block of a large log again.
    m_highlightTimer->stop();
    m_textEdit->setPlainText(text);
}

void QLogDialog::startBuild(ryqt::LogDocumentBuilder* builder)
{
    m_builder = builder;
    // The builder as context: a superseded one may be gone before its finish is delivered.
    connect(builder, &QThread::finished, builder, [this, builder] { takeDocument(builder); });
    builder->start(QThread::InheritPriority);
}

void QLogDialog::dropBuilder()
{
    ryqt::LogDocumentBuilder* builder = m_builder.data();
    m_builder = nullptr;
    if (!builder)
        return;
    builder->cancel();
    builder->deleteLater();
}

void QLogDialog::takeDocument(ryqt::LogDocumentBuilder* builder)
{
    builder->deleteLater();
    if (builder != m_builder)
        return; // superseded: its document (if any) goes with it
    m_builder = nullptr;
    QTextDocument* document = builder->takeDocument();
    if (!document)
        return;

    const int margin = geometry().width() - m_textEdit->geometry().width();
    applyWidths(builder->textWidth(), margin);
    m_label->setText(QStringLiteral("Loaded File: %1").arg(builder->path()));

    m_highlightTimer->stop();
    QTextDocument* old = m_textEdit->document();
    // The editor frees the document it made itself; one of ours is ours to free.
    const bool ours = old->parent() == m_textEdit;
    document->setParent(m_textEdit);
    m_textEdit->setDocument(document);
    if (ours)
        delete old;
    followHighlighter();
}

void QLogDialog::applyWidths(int textWidth, int margin)
{
    const int limit = widthLimit();
    const bool fits = qint64(textWidth) + margin <= limit;
    // Past what a window can be, the dialog stops at that width and the editor scrolls
    // sideways instead of wrapping the line into a tall block.
    m_textEdit->setLineWrapMode(fits ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    const int editorWidth = fits ? textWidth : std::max(0, limit - margin);
    m_textEdit->setMinimumWidth(editorWidth);
    setMinimumWidth(std::max(0, std::min(limit, editorWidth + margin)));
    updateGeometry();
}

void QLogDialog::followHighlighter()
{
    m_highlightTimer->stop();
    QSyntaxHighlighter* highlighter = m_highlighter;
    if (!highlighter)
        return;
    QTextDocument* document = m_textEdit->document();
    // Already on this document, it coloured each change as it came.
    if (highlighter->document() == document)
        return;
    highlighter->setDocument(document);
    if (document->blockCount() < kSlicedHighlightBlocks)
        return;
    // Attached to a long document, the highlighter would colour all of it in one go at the
    // next event-loop turn. A change notice on the first block makes it colour just that block
    // and drop the pending pass; the rest is coloured in slices, in order, so each block still
    // starts from its predecessor's state.
    document->markContentsDirty(0, 1);
    m_highlightNext = 1;
    m_highlightTimer->start();
}

void QLogDialog::highlightSlice()
{
    QSyntaxHighlighter* highlighter = m_highlighter;
    QTextDocument* document = m_textEdit->document();
    if (!highlighter || highlighter->document() != document) {
        m_highlightTimer->stop();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = document->findBlockByNumber(m_highlightNext);
    while (block.isValid() && clock.nsecsElapsed() < kHighlightSliceNs) {
        for (int i = 0; i < 64 && block.isValid(); ++i) {
            highlighter->rehighlightBlock(block);
            block = block.next();
        }
    }
    if (!block.isValid())
        m_highlightTimer->stop();
    else
        m_highlightNext = block.blockNumber();
}

void QLogDialog::onErrorReadingFile()
{
    if (isStale())
        return;
    // A box of our own on the heap, not QMessageBox::warning(): the host may delete the parent
    // (which owns the box) or this dialog while the box's loop runs, and a box on this stack
    // frame would then be freed twice.
    QPointer<QLogDialog> self(this);
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Error"), tr("An error occured while reading the log file."),
                                QMessageBox::Ok, parentWidget());
    box->setDefaultButton(QMessageBox::NoButton);
    QPointer<QMessageBox> guard(box);
    // The box reports on this dialog's read; it goes when the dialog does.
    connect(this, &QObject::destroyed, box, [box] { delete box; });
    box->exec();
    delete guard.data();
    if (self)
        close();
}
