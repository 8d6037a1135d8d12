#include "Screenshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QWidget>

#include <functional>

namespace gallery {

void settle(int ms)
{
    settleUntil([] { return false; }, ms);
}

bool settleUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    QApplication::processEvents();
    return done();
}

bool saveShot(QWidget* window, const QString& path)
{
    QImage image = window->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Popups such as toasts are windows of their own: grab() of the main window leaves them
    // out, so paint each one where it stands on screen.
    QPainter painter(&image);
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w == window || !w->isVisible() || w->windowOpacity() <= 0.0)
            continue;
        if (!(w->windowFlags() & Qt::FramelessWindowHint) && !w->inherits("QTipLabel"))
            continue;
        painter.setOpacity(w->windowOpacity());
        painter.drawPixmap(w->geometry().topLeft() - origin, w->grab());
    }
    painter.end();
    return image.save(path);
}

} // namespace gallery
