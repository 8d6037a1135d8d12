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
///
/// One wheel notch (120) zooms by 1.0015^120, about 1.197, keeping the scene point under the
/// mouse in place; zooming out stops at the unzoomed scale, zooming in has no limit. Only zooms
/// made by the wheel count toward that floor, not transforms the host sets. GUI thread only.
///
/// \code
/// auto* view = new QZoomableGraphicsView(scene, this);
/// view->viewport()->installEventFilter(view);   // Control + wheel zooms
/// scene->setGraphicsView(view);                 // the scene refits on resize
/// \endcode
class RYQT_EXPORT QZoomableGraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    /// Creates a view on \a scene (which may be null; not owned) as a child of \a parent, with
    /// mouse tracking on and scroll bars off.
    /// It does not call the scene's setGraphicsView(); the host does.
    QZoomableGraphicsView(QBaseImageGraphicsScene* scene, QWidget* parent);
    /// Creates a view with no scene as a child of \a parent, mouse tracking on and scroll bars
    /// off; any scene can be set later with setScene().
    explicit QZoomableGraphicsView(QWidget* parent = nullptr);
    ~QZoomableGraphicsView() override;

    /// Wheel zoom for any \a watched object. A wheel \a event is consumed unless exactly Control
    /// is held, read from QGuiApplication::keyboardModifiers() and not from the event, so a
    /// synthesised event zooms only while the user holds Control; nothing behind the filter
    /// sees a consumed wheel. A horizontal wheel with Control passes through untouched. Other
    /// events are never consumed.
    ///
    /// Zooming in has no fixed limit: it goes on as long as the view's transform stays finite
    /// and Qt can invert it (about 3,950 notches in from an unrotated view, where the scale
    /// nears the largest double). A notch that would go past that is consumed and changes
    /// nothing. Zooming out stops at the unzoomed scale; when the host has not changed the
    /// transform since the last zoom step, the transform from before the zoom comes back
    /// exactly.
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Starts a pan on a middle-button press \a event; always passed on to QGraphicsView.
    void mousePressEvent(QMouseEvent* event) override;
    /// Ends a pan on a middle-button release \a event; always passed on to QGraphicsView.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Scrolls while panning; otherwise moves the zoom anchor (after 5 pixels or more) and
    /// emits onMouseMoved(). Always passed on to QGraphicsView.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Emits imageResizeRequest() with the new size carried by \a event and does nothing else.
    void resizeEvent(QResizeEvent* event) override;

Q_SIGNALS:
    /// Emitted on every resize of the view, with its new \a width and \a height (the view's,
    /// frame included; the image area is viewport()->size()).
    void imageResizeRequest(int width, int height);
    /// Emitted on every mouse move that is not a middle-button pan, with the scene position
    /// \a p under the mouse (mouse tracking is on, so also without a button held).
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
