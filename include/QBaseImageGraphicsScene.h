#pragma once

#include "ryqt_export.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPointer>

class QGraphicsPixmapItem;
class QGraphicsView;

/// A graphics scene that shows one image through a single pixmap item and, once told which
/// view shows it, refits that image to the view's viewport whenever the view is resized.
/// The refit replaces the stored image with the scaled copy, so repeated resizes scale what is
/// shown, not the image first given; hosts that need the original keep their own copy and
/// answer QZoomableGraphicsView::imageResizeRequest() with a fresh rendering.
///
/// The host wires scene and view: it passes the scene to the view and the view to
/// setGraphicsView(). The scene computes nothing on pixels. GUI thread only.
class RYQT_EXPORT QBaseImageGraphicsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    /// Creates an empty scene (null image, empty pixmap item at the origin) with no view, as a
    /// child of \a parent.
    explicit QBaseImageGraphicsScene(QObject* parent = nullptr);
    ~QBaseImageGraphicsScene() override;

    /// Stores a copy of \a image and shows it at the origin; a null image shows an empty pixmap.
    /// The scene rectangle is left to QGraphicsScene (it only ever grows by default).
    virtual void setImage(QImage image);
    /// Remembers \a view and watches it and its viewport for resizes. The view is not owned and
    /// the scene is not set on it. Filters on an earlier view stay installed but are ignored.
    /// A null view detaches the scene: no filter is installed and graphicsView() returns null.
    virtual void setGraphicsView(QGraphicsView* view);

    /// A copy of the image shown (null when there is none).
    QImage getImage() const;
    /// True when the scene holds a non-null image.
    bool hasImage() const;
    /// Drops the image and shows an empty pixmap; later resizes then refit nothing.
    void resetImage();
    /// The view given to setGraphicsView(); null before that, or once that view is destroyed.
    QGraphicsView* graphicsView() const;

    /// Refits the image into a square of the viewport's smaller side when \a watched, the view
    /// or its viewport, gets a resize \a event (aspect ratio kept, smooth scaling). Never
    /// consumes the event. Null or empty images are skipped; a zero-sized viewport yields a null
    /// image that replaces the stored one.
    ///
    /// The side is in logical pixels and the fit is made in the image's own device pixels: an
    /// image whose QImage::devicePixelRatio() is 2 is scaled to twice the side in pixels and
    /// keeps its ratio, so on a high-DPI screen it fills the same area and stays sharp. An image
    /// of ratio 1 is fitted to the side in pixels exactly.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage image;
    QGraphicsPixmapItem* pixmapItem = nullptr;  // owned by the scene
    QPointer<QGraphicsView> view;               // not owned; cleared when the view dies
};
