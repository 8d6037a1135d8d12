#pragma once

#include "ryqt_export.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QSyntaxHighlighter;

/// A read-only viewer for one log file, read on a worker thread and widened to the file's
/// longest line. The dialog stays hidden until text arrives, then shows itself.
///
/// The host creates it, may attach a QSyntaxHighlighter, and calls showLog(); it is not deleted
/// when closed (set Qt::WA_DeleteOnClose for that). Everything but the file reading runs on the
/// GUI thread; the text comes back through queued signals.
class RYQT_EXPORT QLogDialog : public QDialog
{
    Q_OBJECT

public:
    /// Builds the hidden dialog, a child of \a parent: the file's path above a read-only text
    /// edit, at least 200 x 600 pixels, titled "Log Dialog".
    explicit QLogDialog(QWidget* parent = nullptr);
    /// The widgets go with the dialog; a read still running delivers nowhere.
    ~QLogDialog() override;

    /// Reads \a path on a QLogLoader while a busy indicator is up, then shows the text here;
    /// returns at once. Any path is accepted: a missing, unreadable or empty file ends in the
    /// "Error" box and the dialog closes. Each call replaces text, label and widths. The busy indicator belongs to this
    /// dialog's parent widget; without one it deletes itself once closed.
    void showLog(const QString& path) const;
    /// Colours the text with \a highlighter, which the caller keeps owning (give it the dialog
    /// as parent); null is ignored. Works before or after showLog().
    void setSyntaxHighlighter(QSyntaxHighlighter* highlighter) const;

public Q_SLOTS:
    /// Shows the dialog if hidden, puts \a text in the editor and \a log_path in the label, and
    /// widens editor and dialog to the longest line. Connected by showLog(). Widths beyond QWIDGETSIZE_MAX are clamped to it.
    void onLogLoaded(const QString& text, const QString& log_path);
    /// Shows the "Error" warning box (modal) and closes the dialog once the box is dismissed.
    /// Connected by showLog().
    void onErrorReadingFile();

private:
    void setupUi();

    QPlainTextEdit* m_textEdit = nullptr;
    QLabel* m_label = nullptr;
};
