#include "QZoomableGraphicsView.h"

#include "QBaseImageGraphicsScene.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

// Hover moves must reach mouseMoveEvent to track the zoom anchor; the bars are hidden
// because panning and zooming replace them.
void setUpView(QGraphicsView* view)
{
    view->setAttribute(Qt::WA_MouseTracking, true);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace

QZoomableGraphicsView::QZoomableGraphicsView(QBaseImageGraphicsScene* scene, QWidget* parent)
    : QGraphicsView(scene, parent)
{
    setUpView(this);
}

QZoomableGraphicsView::QZoomableGraphicsView(QWidget* parent)
    : QGraphicsView(parent)
{
    setUpView(this);
}

QZoomableGraphicsView::~QZoomableGraphicsView() = default;

bool QZoomableGraphicsView::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;

    // The application's modifier state rather than the event's: that is what the user holds
    // now, and synthesised wheel events often carry none. Swallowing every other wheel keeps
    // the view from scrolling and the scene from seeing it.
    if (QGuiApplication::keyboardModifiers() != Qt::ControlModifier)
        return true;

    auto* wheel = static_cast<QWheelEvent*>(event);
    // QWheelEvent::orientation() is gone; its rule was "horizontal when the x step is the
    // larger one", so a diagonal step with equal parts still counts as vertical.
    const QPoint angle = wheel->angleDelta();
    if (std::abs(angle.x()) > std::abs(angle.y()))
        return false;

    gentleZoom(std::pow(zoomFactorBase, static_cast<double>(wheel->angleDelta().y())));
    return true;
}

void QZoomableGraphicsView::gentleZoom(double factor)
{
    const double z = currentZoom;
    const double n = z * factor;
    if (n < 1.0) {
        // Never zoom out past the unzoomed scale: undo exactly what has been applied so far.
        currentZoom = 1.0;
        factor = 1.0 / z;
    } else {
        currentZoom = n;
    }

    // The centring below is absolute, so the view's own anchor handling during scale() would
    // only scroll once more for nothing; the host's anchor is put back right after.
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(NoAnchor);
    scale(factor, factor);
    setTransformationAnchor(anchor);
    centerOn(targetScenePos);

    // centerOn() put the anchor at the viewport centre; shift the centre by the anchor's
    // original offset so the anchor goes back under the mouse.
    const QPointF d = targetViewportPos
                      - QPointF(viewport()->width() * 0.5, viewport()->height() * 0.5);
    const QPoint c = (QPointF(mapFromScene(targetScenePos)) - d).toPoint();
    centerOn(mapToScene(c));
}

void QZoomableGraphicsView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        panLastX = event->pos().x();
        panLastY = event->pos().y();
        panning = true;
    }
    QGraphicsView::mousePressEvent(event);
}

void QZoomableGraphicsView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton)
        panning = false;
    QGraphicsView::mouseReleaseEvent(event);
}

void QZoomableGraphicsView::mouseMoveEvent(QMouseEvent* event)
{
    if (panning) {
        // The bars are hidden but still own the scroll position.
        const QPoint p = event->pos();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + (panLastX - p.x()));
        verticalScrollBar()->setValue(verticalScrollBar()->value() + (panLastY - p.y()));
        panLastX = p.x();
        panLastY = p.y();
    } else {
        const QPoint p = event->pos();
        // A dead zone keeps the zoom anchor steady against the jitter of a hand on the wheel.
        if (std::abs(targetViewportPos.x() - p.x()) >= 5.0
            || std::abs(targetViewportPos.y() - p.y()) >= 5.0) {
            targetViewportPos = QPointF(p);
            targetScenePos = mapToScene(p);
        }
        emit onMouseMoved(mapToScene(p));
    }
    QGraphicsView::mouseMoveEvent(event);
}

void QZoomableGraphicsView::resizeEvent(QResizeEvent* event)
{
    emit imageResizeRequest(event->size().width(), event->size().height());
}
