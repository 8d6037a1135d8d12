// showLog() on realistic logs, timed from the call until the text is in the editor, against a
// careful plain-Qt host (read and decode on a worker, setPlainText() on the GUI thread). Both
// sides also report the longest time their GUI thread went without turning its event loop.
// The logs are written at run time, only for the scenario being run.

#include "LogFont.h"
#include "ryqtbench.h"

#include <QLogDialog.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QSyntaxHighlighter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>

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

// Watches the GUI thread from a 1 ms timer: the longest gap between two of its ticks is the
// longest time the event loop did not turn. The window runs from start() until the text is in
// the editor and 300 ms past it.
class StallWatch
{
public:
    explicit StallWatch(std::function<bool()> shown) : m_shown(std::move(shown))
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Runs the event loop until the window ends; returns the time until the text was shown.
    double run()
    {
        tick();
        m_loop.exec();
        m_timer.stop();
        return m_shownAt / 1.0e6;
    }
    double stallMs() const { return m_stall / 1.0e6; }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_stall = std::max(m_stall, now - m_last);
        m_last = now;
        if (m_shownAt < 0 && m_shown())
            m_shownAt = now;
        if (m_shownAt >= 0 && now - m_shownAt > 300 * 1000 * 1000)
            m_loop.quit();
    }

    std::function<bool()> m_shown;
    QTimer m_timer;
    QEventLoop m_loop;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_stall = 0;
    qint64 m_shownAt = -1;
};

// Colours timestamps, levels and numbers, as a host's log highlighter would.
class LevelHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override
    {
        if (text.size() > 23)
            setFormat(0, 23, QColor(Qt::darkGray));
        const int warn = text.indexOf(QLatin1String("WARN"));
        const int error = text.indexOf(QLatin1String("ERROR"));
        if (warn >= 0)
            setFormat(warn, 4, QColor(Qt::darkYellow));
        if (error >= 0)
            setFormat(error, 5, QColor(Qt::red));
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i) == QLatin1Char('='))
                setFormat(i, 1, QColor(Qt::blue));
        }
    }
};

bool hasText(QPlainTextEdit* edit) { return edit->document()->characterCount() > 1; }

double showLogOnce(const QString& path, bool highlighted)
{
    double elapsed = 0.0;
    {
        QLogDialog dialog;
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        LevelHighlighter highlighter(static_cast<QObject*>(nullptr));
        if (highlighted)
            dialog.setSyntaxHighlighter(&highlighter);
        StallWatch watch([edit] { return hasText(edit); });
        watch.start();
        dialog.showLog(path);
        QPointer<QProgressDialog> progress;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QProgressDialog*>(w))
                progress = p;
        }
        elapsed = watch.run();
        ryqtbench::note(QStringLiteral("stall_ms"), watch.stallMs());
        dialog.hide();
        // Let the loader finish and the busy indicator free itself before the next run.
        while (progress)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return elapsed;
}

// The pixel width of the file's longest line in the log font, worked out before a run: the width a
// plain host would widen its editor to if it matched the log dialog's window.
int longestLineWidth(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QFontMetrics metrics(ryqt::LogFont::font());
    int widest = 0;
    while (!file.atEnd())
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(file.readLine()).trimmed()));
    return widest;
}

// A careful plain-Qt host: reads and decodes on a worker thread, then setPlainText(). Given a
// width, it also widens its editor to it when the text arrives, as the log dialog does.
double plainReadOnce(const QString& path, bool highlighted, int width = 0, qint64 maxBytes = -1)
{
    QPlainTextEdit edit;
    edit.setFont(ryqt::LogFont::font());  // the same fixed-pitch font as the dialog
    LevelHighlighter highlighter(static_cast<QObject*>(nullptr));
    if (highlighted)
        highlighter.setDocument(edit.document());
    edit.show();
    QCoreApplication::processEvents();
    StallWatch watch([&edit] { return hasText(&edit); });
    QThread* reader = QThread::create([path, &edit, width, maxBytes] {
        QFile file(path);
        QString text;
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            text = QString::fromUtf8(maxBytes < 0 ? file.readAll() : file.read(maxBytes));
        QMetaObject::invokeMethod(&edit, [&edit, text, width]() mutable {
            if (width > 0)
                edit.setMinimumWidth(width);
            edit.setPlainText(text);
            text = QString();
        }, Qt::QueuedConnection);
    });
    watch.start();
    reader->start();
    const double elapsed = watch.run();
    ryqtbench::note(QStringLiteral("stall_ms"), watch.stallMs());
    reader->wait();
    delete reader;
    return elapsed;
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

    struct Scenario {
        const char* name;
        std::function<void(const QString&)> write;
        bool highlighted;
        int reps;
        bool sameWidth = false; // the baseline widens its window as ours does
        qint64 baselineBytes = -1; // the baseline reads only this much of the file
    };
    auto realistic = [](qint64 bytes) { return [bytes](const QString& path) { writeLog(path, bytes); }; };
    auto repeated = [](const QByteArray& unit, qint64 count, const QByteArray& tail) {
        return [=](const QString& path) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(path));
            const QByteArray chunk = unit.repeated(int(std::min<qint64>(count, 1 << 16)));
            for (qint64 left = count; left > 0; left -= 1 << 16)
                file.write(left >= (1 << 16) ? chunk : unit.repeated(int(left)));
            file.write(tail);
        };
    };
    const Scenario scenarios[] = {
        {"log_dialog_1mb", realistic(1 << 20), false, 9},
        {"log_dialog_10mb", realistic(10 << 20), false, 5},
        {"log_dialog_100mb", realistic(100 << 20), false, 3},
        {"log_dialog_10mb_highlighted", realistic(10 << 20), true, 3},
        // Ours must widen its window to the longest line; painting a window that wide the first
        // time is a cost of its own. This baseline pays it too, which leaves the loading alone.
        {"log_dialog_10mb_same_width", realistic(10 << 20), false, 5, true},
        // One 50 MB line, far wider than any window, and a million empty lines. Plain
        // setPlainText() lays a single line out in time that grows faster than its length (46 s
        // for 250,000 characters here, 155 s for 500,000), so it is given the first 100,000
        // bytes of the line only; its time is a lower bound for the whole line.
        {"log_dialog_50mb_one_line", repeated("payload=0123456789abcdef;", 2 * 1024 * 1024, "\n"), false, 1, false, 100000},
        {"log_dialog_1m_empty_lines", repeated("\n", 1000000, "end\n"), false, 3},
    };
    const bool listing = args.contains(QStringLiteral("--list"));
    const int only = args.indexOf(QStringLiteral("--scenario"));
    for (const Scenario& scenario : scenarios) {
        const QString name = QString::fromLatin1(scenario.name);
        const QString path = dir.filePath(name + QStringLiteral(".log"));
        // Only the log of the scenario being run is written.
        int width = 0;
        if (!listing && (only < 0 || args.value(only + 1) == name)) {
            scenario.write(path);
            if (scenario.sameWidth)
                width = longestLineWidth(path);
        }
        const bool highlighted = scenario.highlighted;
        const qint64 baselineBytes = scenario.baselineBytes;
        runner.add(name, [path, highlighted] { return showLogOnce(path, highlighted); },
                   [path, highlighted, width, baselineBytes] {
                       if (baselineBytes >= 0)
                           ryqtbench::note(QStringLiteral("bytes"), double(baselineBytes));
                       return plainReadOnce(path, highlighted, width, baselineBytes);
                   }, scenario.reps);
    }
    return runner.exec();
}
