#pragma once

#include "ryqt_export.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QSyntaxHighlighter;

/// A read-only viewer for one log file, read on a worker thread and widened to the file's
/// longest line. The dialog stays hidden until text arrives, then shows itself.
class RYQT_EXPORT QLogDialog : public QDialog
{
    Q_OBJECT

public:
    /// Builds the hidden dialog: the file's path above a read-only text edit.
    explicit QLogDialog(QWidget* parent = nullptr);
    ~QLogDialog() override;

    /// Reads path on a QLogLoader while a busy indicator is up, then shows the text here; any
    /// path is accepted, a bad one ends in the error box. The busy indicator belongs to this
    /// dialog's parent widget; without one it deletes itself once closed.
    void showLog(const QString& path) const;
    /// Colours the text with highlighter, which the caller keeps owning; null is ignored.
    void setSyntaxHighlighter(QSyntaxHighlighter* highlighter) const;

public Q_SLOTS:
    /// Shows the dialog if hidden, puts text in the editor and log_path in the label, and widens
    /// editor and dialog to the longest line. Widths beyond QWIDGETSIZE_MAX are clamped to it.
    void onLogLoaded(const QString& text, const QString& log_path);
    /// Shows the "Error" warning box (modal) and closes the dialog once the box is dismissed.
    void onErrorReadingFile();

private:
    void setupUi();

    QPlainTextEdit* m_textEdit = nullptr;
    QLabel* m_label = nullptr;
};
