#pragma once

#include "ryqt_export.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLogLoader;
class QPlainTextEdit;
class QSyntaxHighlighter;
class QTextDocument;
class QTimer;

namespace ryqt {
class LogDocumentBuilder;
}

/// A read-only viewer for one log file, read on a worker thread and widened to the file's
/// longest line. The dialog stays hidden until text arrives, then shows itself.
///
/// The host creates it, may attach a QSyntaxHighlighter, and calls showLog(); it is not deleted
/// when closed (set Qt::WA_DeleteOnClose for that). The text comes back through queued signals.
///
/// The text is shown in the system's fixed-pitch font
/// (QFontDatabase::systemFont(QFontDatabase::FixedFont)); widths are measured with the editor
/// document's default font, which follows it.
///
/// A large text is laid out into a QTextDocument on a worker thread and handed to the editor in
/// one cheap step, so the host's event loop keeps turning (and the busy indicator keeps moving)
/// while a log of any size loads. With showLog(), that document is built from the file's pieces
/// while the rest of the file is still being read and measured, one more worker thread for the
/// time of the load. The dialog's own objects, the busy indicator and the error
/// box all survive the host deleting the dialog or its parent at any moment, also with
/// deleteLater() and also while the error box is open.
class RYQT_EXPORT QLogDialog : public QDialog
{
    Q_OBJECT

public:
    /// Builds the hidden dialog, a child of \a parent: the file's path above a read-only text
    /// edit, at least 200 x 600 pixels, titled "Log Dialog".
    explicit QLogDialog(QWidget* parent = nullptr);
    /// Stops a layout still running on a worker thread (waiting at most for one short step of
    /// it) and frees everything the dialog made, except the busy indicators, which belong to
    /// the parent widget.
    ~QLogDialog() override;

    /// Reads \a path on a QLogLoader while a busy indicator is up, then shows the text here; any
    /// path is accepted, a bad one ends in the error box. The busy indicator belongs to this
    /// dialog's parent widget; without one it deletes itself once closed. Calling it again
    /// replaces text, label and widths with the newest file's, whatever order the reads end in.
    /// A file of more than a quarter megabyte shows up shortly after the loader's readFile()
    /// arrives: label, widths and text change together once its document is built.
    void showLog(const QString& path) const;
    /// Colours the text with \a highlighter, which the caller keeps owning; null is ignored. Set
    /// before or after showLog(), it colours every text the dialog shows from then on; the
    /// dialog follows it to each new document. On a long text the colouring is done in short
    /// slices between event-loop turns, top to bottom, so the GUI stays responsive. Deleting
    /// the highlighter at any time is safe.
    void setSyntaxHighlighter(QSyntaxHighlighter* highlighter) const;

public Q_SLOTS:
    /// Shows the dialog if hidden, puts \a text in the editor and \a log_path in the label, and widens
    /// editor and dialog to the longest line, measured in the document's default font.
    ///
    /// A text of up to a few hundred thousand characters is in the editor when this returns. A
    /// longer one is measured and laid out on a worker thread: label, widths and text then
    /// change together a moment later, while the event loop keeps running; the editor keeps
    /// its previous text until then. A later call (or showLog()) supersedes one still in
    /// progress. Safe to call directly or from a host's own loader; a result from a QLogLoader
    /// that an earlier showLog() started, arriving after a later showLog(), is ignored; a host's
    /// own QLogLoader connected here is treated like a direct call.
    ///
    /// Widths are capped at what a window system can map and paint (32,767 device pixels, in
    /// logical pixels at the screen's device pixel ratio). A longer line keeps the dialog at
    /// that width and the editor scrolls horizontally to the line's end instead of wrapping.
    void onLogLoaded(const QString& text, const QString& log_path);
    /// Shows the "Error" warning box (application modal, parented to the dialog's parent
    /// widget) and closes the dialog once the box is dismissed. Returns early, without touching
    /// the dialog, if the host deletes the dialog or its parent while the box is open; deleting
    /// the dialog also takes its box away. Like onLogLoaded(), ignores a superseded loader.
    void onErrorReadingFile();

private:
    void setupUi();
    void startBuild(ryqt::LogDocumentBuilder* builder);
    void dropBuilder();
    void takeDocument(ryqt::LogDocumentBuilder* builder);
    void applyWidths(int textWidth, int margin);
    void followHighlighter();
    void highlightSlice();
    int widthLimit() const;
    int measureLimit(int margin) const;
    bool isStale() const;

    QPlainTextEdit* m_textEdit = nullptr;
    QLabel* m_label = nullptr;
    mutable QPointer<QSyntaxHighlighter> m_highlighter;
    mutable QPointer<QLogLoader> m_loader;
    QPointer<ryqt::LogDocumentBuilder> m_builder;
    QTimer* m_highlightTimer = nullptr;
    int m_highlightNext = 0;
};
