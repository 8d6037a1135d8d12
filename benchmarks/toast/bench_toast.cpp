// A burst of toasts through one toaster against plain frameless translucent windows.
//
// toast_burst_200: wall time of the calls the host makes: 200 notify() and then 200 close(),
//   against creating, placing and showing 200 plain windows and then closing them.
// toast_burst_200_lifecycle_cpu: GUI-thread CPU time from the first notify until the last
//   toast is deleted, fades and slides included (their idle waits are not CPU time), against
//   the same plain windows shown, closed and deleted.
// toast_burst_200_vs_labelled: as toast_burst_200, against windows that also carry the
//   toast's rich-text label, so the ratio shows what the fades, slides and stacking add.

#include "ryqtbench.h"

#include <QToast.h>
#include <QToaster.h>

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <ctime>

namespace {

constexpr int kBurst = 200;

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

using ryqtbench::waitAllGone;

struct Host
{
    Host()
    {
        window.setGeometry(0, 0, 480, 640);
        window.show();
    }
    QWidget window;
};

// A frameless translucent popup window, as a host would make one by hand.
QWidget* popupWindow(QWidget* parent)
{
    auto* w = new QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    w->setAttribute(Qt::WA_TranslucentBackground);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_DeleteOnClose);
    return w;
}

// The plain counterpart: one empty popup per message (or, with labelled, one carrying the
// toast's rich-text label), stacked by hand and shown.
QList<QPointer<QWidget>> showWindows(QWidget* parent, bool labelled)
{
    QList<QPointer<QWidget>> windows;
    int y = 0;
    for (int i = 0; i < kBurst; ++i) {
        QWidget* w = popupWindow(parent);
        if (labelled) {
            auto* label = new QLabel(QStringLiteral("<font color ='white'>Message %1</font>").arg(i));
            label->setTextFormat(Qt::RichText);
            auto* layout = new QGridLayout(w);
            layout->addWidget(label, 0, 0);
            w->adjustSize();
        } else {
            w->resize(120, 30);
        }
        w->move(0, y);
        y += w->height();
        w->show();
        windows << w;
    }
    return windows;
}

QList<QPointer<QWidget>> showPlain(QWidget* parent)
{
    return showWindows(parent, false);
}

QList<QPointer<QWidget>> showLabelled(QWidget* parent)
{
    return showWindows(parent, true);
}

QList<QPointer<QToast>> notifyBurst(QToaster& toaster, QWidget* parent)
{
    QList<QPointer<QToast>> toasts;
    for (int i = 0; i < kBurst; ++i) {
        auto* t = new QToast(parent, QStringLiteral("Message %1").arg(i), 0, TopLeft);
        toasts << t;
        toaster.notify(t);
    }
    return toasts;
}

// The host's calls for a burst: 200 notify() and then 200 close(); the fades finish untimed.
double burstOurs()
{
    Host host;
    QToaster toaster(&host.window, TopLeft);
    QList<QPointer<QToast>> toasts;
    const double ms = ryqtbench::timeMs([&] {
        toasts = notifyBurst(toaster, &host.window);
        for (const auto& t : toasts)
            t->close();
    });
    waitAllGone(toasts);
    return ms;
}

// The same calls for hand-made windows: show them all, then close them all.
double burstWindows(QList<QPointer<QWidget>> (*showAll)(QWidget*))
{
    Host host;
    QList<QPointer<QWidget>> windows;
    const double ms = ryqtbench::timeMs([&] {
        windows = showAll(&host.window);
        for (const auto& w : windows)
            w->close();
    });
    waitAllGone(windows);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    ryqtbench::Runner runner(argc, argv);

    runner.add(
        QStringLiteral("toast_burst_200"),
        burstOurs,
        [] { return burstWindows(showPlain); },
        7);

    runner.add(
        QStringLiteral("toast_burst_200_lifecycle_cpu"),
        [] {
            Host host;
            QToaster toaster(&host.window, TopLeft);
            const double start = threadCpuMs();
            const QList<QPointer<QToast>> toasts = notifyBurst(toaster, &host.window);
            for (const auto& t : toasts)
                t->close();
            waitAllGone(toasts);
            return threadCpuMs() - start;
        },
        [] {
            Host host;
            const double start = threadCpuMs();
            const QList<QPointer<QWidget>> windows = showPlain(&host.window);
            for (const auto& w : windows)
                w->close();
            waitAllGone(windows);
            return threadCpuMs() - start;
        },
        5);

    runner.add(
        QStringLiteral("toast_burst_200_vs_labelled"),
        burstOurs,
        [] { return burstWindows(showLabelled); },
        7);

    return runner.exec();
}
