#pragma once

#include "ryqt_export.h"

#include <QGraphicsView>
#include <QPointF>
#include <QTransform>

class QBaseImageGraphicsScene;

/// A graphics view without scroll bars that zooms with Control + vertical wheel about the
/// point under the mouse, pans with the middle button, reports the scene position under the
/// mouse and announces its resizes. The zoom lives in eventFilter(): the host installs the
/// view as event filter on its viewport (where wheel events arrive); the view never does.
class RYQT_EXPORT QZoomableGraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    /// Creates a view on scene (which may be null) with mouse tracking on and scroll bars off.
    /// It does not call the scene's setGraphicsView(); the host does.
    QZoomableGraphicsView(QBaseImageGraphicsScene* scene, QWidget* parent);
    /// Creates a view with no scene, mouse tracking on and scroll bars off.
    explicit QZoomableGraphicsView(QWidget* parent = nullptr);
    ~QZoomableGraphicsView() override;

    /// Wheel zoom for any watched object. Wheel events are consumed unless exactly Control is
    /// held (read from the application's modifier state); a horizontal wheel with Control
    /// passes through untouched. Other events are never consumed.
    ///
    /// Zooming in has no fixed limit: it goes on as long as the view's transform stays finite
    /// and Qt can invert it (about 3,950 notches in from an unrotated view, where the scale
    /// nears the largest double). A notch that would go past that is consumed and changes
    /// nothing. Zooming out stops at the unzoomed scale; when the host has not changed the
    /// transform since the last zoom step, the transform from before the zoom comes back
    /// exactly.
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Starts a pan on a middle-button press; always passed on to QGraphicsView.
    void mousePressEvent(QMouseEvent* event) override;
    /// Ends a pan on a middle-button release; always passed on to QGraphicsView.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Scrolls while panning; otherwise moves the zoom anchor (after 5 pixels or more) and
    /// emits onMouseMoved(). Always passed on to QGraphicsView.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Emits imageResizeRequest() with the new size and does nothing else.
    void resizeEvent(QResizeEvent* event) override;

signals:
    /// The view was resized to width × height.
    void imageResizeRequest(int width, int height);
    /// The mouse moved (outside a pan) over scene position p.
    void onMouseMoved(QPointF p);

private:
    void gentleZoom(double factor);

    bool panning = false;
    int panLastX = 0;
    int panLastY = 0;
    double currentZoom = 1.0;       // product of applied zoom factors, floored at 1.0
    double zoomFactorBase = 1.0015; // one 120-unit notch zooms by about 1.197
    QPointF targetScenePos;
    QPointF targetViewportPos;
    // The transform before the first zoom step in, and the one the latest step left behind:
    // while the host has not changed the transform in between, zooming all the way out puts
    // the first one back bit for bit instead of multiplying by 1 / currentZoom.
    QTransform unzoomedTransform;
    QTransform zoomedTransform;
};
