#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>

class QWidget;

namespace ryqt {
class LogStream;
}

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
    /// Stops a running read at its next megabyte and waits for it, so destroying the parent
    /// mid-read neither kills a live thread nor waits for the whole file. A loader destroyed
    /// mid-read emits neither signal.
    ~QLogLoader() override;

Q_SIGNALS:
    /// Emitted once from the worker thread with the file's whole text \a file_text, decoded as
    /// UTF-8 up to its first zero byte with "\r\n" turned into "\n" (text mode, which drops every
    /// carriage return), and its \a file_path. The file is read and decoded a megabyte at a
    /// time, which gives the same text as decoding it whole without holding the raw bytes too.
    void readFile(const QString& file_text, const QString& file_path);
    /// Emitted instead of readFile() when the file cannot be read or holds no text: missing,
    /// unreadable, empty, starting with a zero byte, not a regular file (directories, FIFOs and
    /// devices are refused rather than read, since those may block or never end), or too large
    /// to fit one QString.
    void errorReadingFile();

protected:
    /// Reads the file on the worker thread; emits exactly one of the two signals, unless the
    /// loader is being destroyed.
    void run() override;

private:
    friend class QLogDialog;

    QString m_path;
    // Set by QLogDialog::showLog() before start(): the dialog starts building its document from
    // the pieces while the rest of the file is still being read.
    std::shared_ptr<ryqt::LogStream> m_stream;
    std::atomic<bool> m_abandoned{false};
};
