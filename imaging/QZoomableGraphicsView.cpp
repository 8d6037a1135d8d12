#include "QZoomableGraphicsView.h"

#include "QBaseImageGraphicsScene.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTransform>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {

// Hover moves must reach mouseMoveEvent to track the zoom anchor; the bars are hidden
// because panning and zooming replace them.
void setUpView(QGraphicsView* view)
{
    view->setAttribute(Qt::WA_MouseTracking, true);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

bool isFinite(const QTransform& t)
{
    for (double v : {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()}) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// The view maps every point both ways, so a zoom is only usable while the transform and the
// inverse Qt computes for it are finite and really undo each other. A deep zoom fails this
// first through the inverse when the host rotated or sheared the view (the determinant
// overflows), otherwise when the scale itself reaches the largest double.
bool isUsable(const QTransform& t)
{
    bool invertible = false;
    const QTransform inverse = t.inverted(&invertible);
    if (!invertible || !isFinite(t) || !isFinite(inverse))
        return false;
    const QTransform product = t * inverse;
    constexpr double tolerance = 1e-6;
    return std::abs(product.m11() - 1.0) < tolerance && std::abs(product.m22() - 1.0) < tolerance
           && std::abs(product.m33() - 1.0) < tolerance && std::abs(product.m12()) < tolerance
           && std::abs(product.m21()) < tolerance && std::abs(product.m13()) < tolerance
           && std::abs(product.m23()) < tolerance && std::abs(product.m31()) < tolerance
           && std::abs(product.m32()) < tolerance;
}

// QPointF::toPoint() is undefined past the int range, which a deep zoom can reach.
QPoint boundedPoint(const QPointF& p)
{
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return QPointF(qBound(lo, p.x(), hi), qBound(lo, p.y(), hi)).toPoint();
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
        // The zoom has no limit of its own; it stops at the deepest step the view can still
        // map through, so zooming back out always finds its way home.
        QTransform next = transform();
        next.scale(factor, factor);
        if (!std::isfinite(n) || !isUsable(next))
            return;
        currentZoom = n;
    }

    // The centring below is absolute, so the view's own anchor handling during scale() would
    // only scroll once more for nothing; the host's anchor is put back right after.
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(NoAnchor);
    if (z == 1.0)
        unzoomedTransform = transform();
    // z * (1 / z) is not always 1 in floating point; the saved transform is, unless the host
    // set one of its own since the last step.
    if (currentZoom == 1.0 && z != 1.0 && transform() == zoomedTransform)
        setTransform(unzoomedTransform);
    else
        scale(factor, factor);
    zoomedTransform = transform();
    setTransformationAnchor(anchor);
    centerOn(targetScenePos);

    // centerOn() put the anchor at the viewport centre; shift the centre by the anchor's
    // original offset so the anchor goes back under the mouse.
    const QPointF d = targetViewportPos
                      - QPointF(viewport()->width() * 0.5, viewport()->height() * 0.5);
    const QPoint c = boundedPoint(QPointF(mapFromScene(targetScenePos)) - d);
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
