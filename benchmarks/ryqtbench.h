#pragma once

// A small harness shared by every benchmark executable.
//
// Each scenario pairs our code with a plain-Qt baseline doing the same work. Both sides run
// alternately in the same process (after one warm-up pair) and the median of each is reported,
// together with the peak resident memory reached while our side ran. One JSON object per
// scenario is printed on a line starting with "RYQT_BENCH "; benchmarks/run collects them.
//
// Command line: --list prints the scenario names; --scenario NAME runs only that one;
// --reps N overrides the repetition count.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <functional>
#include <vector>

namespace ryqtbench {

/// Runs fn once and returns the wall time in milliseconds.
inline double timeMs(const std::function<void()>& fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return timer.nsecsElapsed() / 1.0e6;
}

/// Waits until every object of the list is deleted, blocking between events: waiting for
/// fades and deferred deletes costs no CPU time and is left out of every measure.
template <typename T>
void waitAllGone(const QList<QPointer<T>>& objects)
{
    auto anyLeft = [&] {
        for (const auto& o : objects)
            if (o)
                return true;
        return false;
    };
    for (;;) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!anyLeft())
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

/// Peak resident set size of this process in MiB since the last resetPeakRss().
inline double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmHWM:")) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            return parts.size() >= 2 ? parts.at(1).toDouble() / 1024.0 : 0.0;
        }
    }
    return 0.0;
}

/// Resets the kernel's peak-RSS mark so the next peakRssMb() covers only what follows. Heap
/// pages the other side freed but the allocator kept are handed back first; otherwise they
/// would count against whichever side runs next.
inline void resetPeakRss()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

/// Figures a side reports besides its time, for example the longest GUI stall. The runner
/// prints the median of each over the runs: ours under its key, the baseline's as
/// "baseline_<key>".
inline QHash<QString, double>& notes()
{
    static QHash<QString, double> values;
    return values;
}
inline void note(const QString& key, double value) { notes().insert(key, value); }

/// A side of a scenario: does the work once and returns its own elapsed milliseconds,
/// so it can leave set-up and tear-down out of the measure.
using Side = std::function<double()>;

class Runner
{
public:
    // argc by reference: QApplication keeps a reference to it for the life of the application.
    Runner(int& argc, char** argv) : m_app(argc, argv)
    {
        const QStringList args = m_app.arguments();
        for (int i = 1; i < args.size(); ++i) {
            if (args.at(i) == QLatin1String("--list"))
                m_listOnly = true;
            else if (args.at(i) == QLatin1String("--scenario") && i + 1 < args.size())
                m_only = args.at(++i);
            else if (args.at(i) == QLatin1String("--reps") && i + 1 < args.size())
                m_repsOverride = args.at(++i).toInt();
        }
    }

    /// Registers a scenario; reps is the number of measured runs of each side.
    void add(const QString& name, Side ours, Side baseline, int reps = 5)
    {
        m_scenarios.push_back({name, std::move(ours), std::move(baseline), reps});
    }

    /// Runs the selected scenarios and prints their results; returns the process exit code.
    int exec()
    {
        QTextStream out(stdout);
        if (m_listOnly) {
            for (const Scenario& s : m_scenarios)
                out << s.name << '\n';
            return 0;
        }
        bool ranAny = false;
        for (const Scenario& s : m_scenarios) {
            if (!m_only.isEmpty() && s.name != m_only)
                continue;
            ranAny = true;
            const int reps = m_repsOverride > 0 ? m_repsOverride : s.reps;
            std::vector<double> ours, base;
            QHash<QString, std::vector<double>> extra;
            double oursPeak = 0.0, basePeak = 0.0;
            if (reps > 1) {
                s.baseline(); // warm-up pair: caches, fonts, lazy Qt initialisation
                s.ours();
            }
            auto collect = [&extra](const QString& prefix) {
                for (auto it = notes().cbegin(); it != notes().cend(); ++it)
                    extra[prefix + it.key()].push_back(it.value());
                notes().clear();
            };
            for (int i = 0; i < reps; ++i) {
                notes().clear();
                resetPeakRss();
                base.push_back(s.baseline());
                basePeak = std::max(basePeak, peakRssMb());
                collect(QStringLiteral("baseline_"));
                resetPeakRss();
                ours.push_back(s.ours());
                oursPeak = std::max(oursPeak, peakRssMb());
                collect(QString());
            }
            const double o = median(ours);
            const double b = median(base);
            QJsonObject obj;
            obj.insert(QStringLiteral("scenario"), s.name);
            obj.insert(QStringLiteral("ours_ms"), round3(o));
            obj.insert(QStringLiteral("baseline_ms"), round3(b));
            obj.insert(QStringLiteral("ratio"), round3(b > 0.0 ? o / b : 0.0));
            obj.insert(QStringLiteral("peak_rss_mb"), round3(oursPeak));
            obj.insert(QStringLiteral("baseline_peak_rss_mb"), round3(basePeak));
            // Figures from Qt 5 and Qt 6 builds end up side by side; each says which it is.
            obj.insert(QStringLiteral("qt"), QString::fromLatin1(qVersion()));
            for (auto it = extra.cbegin(); it != extra.cend(); ++it)
                obj.insert(it.key(), round3(median(it.value())));
            out << "RYQT_BENCH " << QJsonDocument(obj).toJson(QJsonDocument::Compact) << '\n';
            out.flush();
        }
        if (!ranAny && !m_only.isEmpty()) {
            fprintf(stderr, "no scenario named %s\n", qPrintable(m_only));
            return 2;
        }
        return 0;
    }

private:
    struct Scenario {
        QString name;
        Side ours;
        Side baseline;
        int reps;
    };

    static double median(std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
    }
    static double round3(double v) { return qRound64(v * 1000.0) / 1000.0; }

    QApplication m_app;
    std::vector<Scenario> m_scenarios;
    QString m_only;
    int m_repsOverride = 0;
    bool m_listOnly = false;
};

} // namespace ryqtbench
