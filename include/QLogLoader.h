#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QThread>

class QWidget;

/// Reads one text file on its own thread and hands the text back through a signal.
/// Created by QLogDialog::showLog(); it deletes itself once finished. It lives in the GUI
/// thread and emits from its worker thread, so connections to GUI objects are queued.
class RYQT_EXPORT QLogLoader : public QThread
{
    Q_OBJECT

public:
    /// Stores \a path, the file to read; \a parent becomes the QObject parent. Nothing is read
    /// before start().
    QLogLoader(const QString& path, QWidget* parent);
    /// Waits for a running read to end, so destroying the parent mid-read never kills a live thread.
    ~QLogLoader() override;

Q_SIGNALS:
    /// Emitted once from the worker thread with the file's whole text \a file_text, decoded as
    /// UTF-8 up to its first zero byte with "\r\n" turned into "\n", and its \a file_path.
    void readFile(const QString& file_text, const QString& file_path);
    /// Emitted instead of readFile() when the file cannot be read or holds no text: missing,
    /// unreadable, empty, starting with a zero byte, not a regular file (directories, FIFOs and
    /// devices are refused rather than read, since those may block or never end), or too large
    /// to fit one QString.
    void errorReadingFile();

protected:
    /// Reads the file on the worker thread; emits exactly one of the two signals.
    void run() override;

private:
    QString m_path;
};
