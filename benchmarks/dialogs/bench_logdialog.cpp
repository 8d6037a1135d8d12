// showLog() on realistic logs, timed from the call until the text is in the editor, against a
// plain read of the same file into a QPlainTextEdit.

#include "ryqtbench.h"

#include <QLogDialog.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

const char* const kLevels[] = {"INFO ", "INFO ", "INFO ", "DEBUG", "DEBUG", "WARN ", "ERROR"};
const char* const kLoggers[] = {"net.http.Client", "db.Pool", "ui.MainWindow", "core.Scheduler", "io.FileWatcher"};
const char* const kWords[] = {"request", "completed", "in", "ms", "user", "session", "opened", "cache",
                              "miss", "for", "key", "retrying", "connection", "to", "host", "timeout",
                              "payload", "accepted", "queue", "depth", "worker", "idle", "flush", "bytes"};

// Timestamped lines of 40 to 200 characters; one in a hundred is a long payload dump (up to
// 2000 characters) and one in fifty a tab-indented stack frame, as in real application logs.
void writeLog(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QRandomGenerator rng(1234);
    QByteArray chunk;
    qint64 written = 0;
    int second = 0;
    while (written < size) {
        QByteArray line;
        const int kind = rng.bounded(100);
        if (kind < 2) {
            line = "\tat com.example.service.Handler.process(Handler.java:" + QByteArray::number(rng.bounded(900)) + ")";
        } else {
            ++second;
            line = QStringLiteral("2024-05-%1 %2:%3:%4.%5 [%6] %7 ")
                       .arg(1 + second / 86400 % 28, 2, 10, QLatin1Char('0'))
                       .arg(second / 3600 % 24, 2, 10, QLatin1Char('0'))
                       .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(second % 60, 2, 10, QLatin1Char('0'))
                       .arg(rng.bounded(1000), 3, 10, QLatin1Char('0'))
                       .arg(QLatin1String(kLevels[rng.bounded(7)]))
                       .arg(QLatin1String(kLoggers[rng.bounded(5)]))
                       .toUtf8();
            const int target = kind < 3 ? rng.bounded(500, 2000) : rng.bounded(10, 150);
            while (line.size() < target + 40) {
                line += kWords[rng.bounded(24)];
                line += rng.bounded(8) == 0 ? "=" + QByteArray::number(rng.bounded(100000)) + " " : " ";
            }
        }
        line += '\n';
        chunk += line;
        written += line.size();
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
}

double showLogOnce(const QString& path)
{
    double elapsed = 0.0;
    {
        QLogDialog dialog;
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        QEventLoop loop;
        QElapsedTimer timer;
        QObject::connect(edit, &QPlainTextEdit::textChanged, &loop, [&] {
            if (edit->document()->characterCount() > 1) {
                elapsed = timer.nsecsElapsed() / 1.0e6;
                loop.quit();
            }
        });
        timer.start();
        dialog.showLog(path);
        QPointer<QProgressDialog> progress;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QProgressDialog*>(w))
                progress = p;
        }
        loop.exec();
        dialog.hide();
        // Let the loader finish and the busy indicator free itself before the next run.
        while (progress)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return elapsed;
}

double plainReadOnce(const QString& path)
{
    QPlainTextEdit edit;
    edit.show();
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1.0;
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    edit.setPlainText(text);
    return timer.nsecsElapsed() / 1.0e6;
}

} // namespace

int main(int argc, char** argv)
{
    // Read the options from argv: the runner's application keeps a reference to a copy of argc
    // that is gone once the runner is built, so QCoreApplication::arguments() is not safe here.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    ryqtbench::Runner runner(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    struct Size {
        const char* name;
        qint64 bytes;
        int reps;
    };
    const Size sizes[] = {{"log_dialog_1mb", 1 << 20, 9}, {"log_dialog_10mb", 10 << 20, 5}, {"log_dialog_100mb", 100 << 20, 3}};
    const bool listing = args.contains(QStringLiteral("--list"));
    const int only = args.indexOf(QStringLiteral("--scenario"));
    for (const Size& size : sizes) {
        const QString name = QString::fromLatin1(size.name);
        const QString path = dir.filePath(name + QStringLiteral(".log"));
        // Only the log of the scenario being run is written.
        if (!listing && (only < 0 || args.value(only + 1) == name))
            writeLog(path, size.bytes);
        runner.add(name, [path] { return showLogOnce(path); }, [path] { return plainReadOnce(path); }, size.reps);
    }
    return runner.exec();
}
