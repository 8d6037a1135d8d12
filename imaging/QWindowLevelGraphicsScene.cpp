#include "QWindowLevelGraphicsScene.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QString>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kEngageDistance = 12.0;

// Lower bound first, then the upper bound tested on the unclamped value: with inverted
// extents (min > max) a value above max becomes max and any other value becomes min.
// Works on 64 bits so value - step cannot overflow; the result always fits an int.
int clampToExtents(qint64 v, int min, int max)
{
    qint64 result = v;
    if (v < min)
        result = min;
    if (v > max)
        result = max;
    return static_cast<int>(result);
}

// Truncation toward zero. A degenerate scene rectangle (zero width or height) can make the
// step infinite or NaN; such a step counts as no movement rather than undefined behaviour.
qint64 truncatedStep(double step)
{
    if (!std::isfinite(step))
        return 0;
    // Any step of 2^32 or more crosses every pair of int extents; the bound only keeps the
    // conversion and the 64-bit sum below it defined.
    constexpr double limit = 4.0 * static_cast<double>(std::numeric_limits<quint32>::max());
    return static_cast<qint64>(std::max(-limit, std::min(limit, step)));
}

// The tooltip is visual only and gone in a moment; assistive technology reads the current values
// from the view's accessible description instead, kept current on every change. Setting it
// raises a DescriptionChanged event, so a screen reader hears the new values during a drag.
void describeWindowLevel(QGraphicsView* view, int window, int level)
{
    if (!view)
        return;
    const QString text = QWindowLevelGraphicsScene::tr("Window %1, level %2").arg(window).arg(level);
    if (view->accessibleDescription() != text)
        view->setAccessibleDescription(text);
}

} // namespace

QWindowLevelGraphicsScene::QWindowLevelGraphicsScene(int window, int level, int windowMin,
                                                     int windowMax, int levelMin, int levelMax,
                                                     QObject* parent)
    : QBaseImageGraphicsScene(parent)
    , windowMin(windowMin)
    , windowMax(windowMax)
    , levelMin(levelMin)
    , levelMax(levelMax)
    , window(window)
    , level(level)
{
}

QWindowLevelGraphicsScene::QWindowLevelGraphicsScene(QObject* parent)
    : QBaseImageGraphicsScene(parent)
{
}

QWindowLevelGraphicsScene::~QWindowLevelGraphicsScene() = default;

int QWindowLevelGraphicsScene::currentWindow() const
{
    return window;
}

int QWindowLevelGraphicsScene::currentLevel() const
{
    return level;
}

void QWindowLevelGraphicsScene::setWindow(int value)
{
    window = value;
    describeWindowLevel(graphicsView(), window, level);
}

void QWindowLevelGraphicsScene::setLevel(int value)
{
    level = value;
    describeWindowLevel(graphicsView(), window, level);
}

void QWindowLevelGraphicsScene::setWindowExtents(int min, int max)
{
    windowMin = min;
    windowMax = max;
}

void QWindowLevelGraphicsScene::setLevelExtents(int min, int max)
{
    levelMin = min;
    levelMax = max;
}

void QWindowLevelGraphicsScene::setGraphicsView(QGraphicsView* view)
{
    QBaseImageGraphicsScene::setGraphicsView(view);
    describeWindowLevel(graphicsView(), window, level);
}

void QWindowLevelGraphicsScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && hasImage()) {
        mousePressed = true;
        pressScenePos = event->scenePos();
    }
}

void QWindowLevelGraphicsScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* /*event*/)
{
    if (mousePressed) {
        mousePressed = false;
        windowDragActive = false;
        levelDragActive = false;
    }
}

void QWindowLevelGraphicsScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!mousePressed)
        return;

    // A drag across the whole scene moves a value by half of its range. The range is taken on
    // 64 bits: extents such as INT_MIN..INT_MAX span more than an int holds.
    const QRectF rect = sceneRect();
    const double windowScale = static_cast<double>(qint64(windowMax) - windowMin) / rect.width() * 0.5;
    const double levelScale = static_cast<double>(qint64(levelMax) - levelMin) / rect.height() * 0.5;

    const QPointF pos = event->scenePos();
    const QPointF last = event->lastScenePos();
    // Truncated per event on purpose: the fraction is not carried, so a slow drag is inert.
    const qint64 dw = truncatedStep((last.x() - pos.x()) * windowScale);
    const qint64 dl = truncatedStep((last.y() - pos.y()) * levelScale);

    const double hx = std::abs(pressScenePos.x() - pos.x());
    const double vy = std::abs(pressScenePos.y() - pos.y());

    if (!windowDragActive && !levelDragActive) {
        windowDragActive = hx >= kEngageDistance;
        levelDragActive = vy >= kEngageDistance;
        return;
    }

    if (windowDragActive && !levelDragActive) {
        if (vy >= kEngageDistance)
            levelDragActive = true;  // changes the level from the next event on
        window = clampToExtents(qint64(window) - dw, windowMin, windowMax);
    } else if (levelDragActive && !windowDragActive) {
        if (hx >= kEngageDistance)
            windowDragActive = true;
        level = clampToExtents(qint64(level) - dl, levelMin, levelMax);
    } else {
        window = clampToExtents(qint64(window) - dw, windowMin, windowMax);
        level = clampToExtents(qint64(level) - dl, levelMin, levelMax);
    }

    if (QGraphicsView* v = graphicsView()) {
        const QString text = QStringLiteral("Win: %1 \n Level: %2")
                                 .arg(QString::number(window, 10), 0, QLatin1Char(' '))
                                 .arg(QString::number(level, 10), 0, QLatin1Char(' '));
        QToolTip::showText(event->screenPos(), text, v, v->rect());
        describeWindowLevel(v, window, level);
    }
    emit windowLevelChanged(window, level);
}
