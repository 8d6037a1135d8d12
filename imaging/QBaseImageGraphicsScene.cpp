#include "QBaseImageGraphicsScene.h"

#include <QEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QPixmap>

#include <algorithm>
#include <cmath>

QBaseImageGraphicsScene::QBaseImageGraphicsScene(QObject* parent)
    : QGraphicsScene(parent)
{
    pixmapItem = new QGraphicsPixmapItem();
    pixmapItem->setZValue(0.0);
    pixmapItem->setPixmap(QPixmap::fromImage(image));
    addItem(pixmapItem);
}

QBaseImageGraphicsScene::~QBaseImageGraphicsScene() = default;

void QBaseImageGraphicsScene::setImage(QImage newImage)
{
    image = std::move(newImage);
    pixmapItem->setPixmap(QPixmap::fromImage(image));
}

void QBaseImageGraphicsScene::setGraphicsView(QGraphicsView* newView)
{
    view = newView;
    if (!newView)
        return;
    newView->installEventFilter(this);
    newView->viewport()->installEventFilter(this);
}

QImage QBaseImageGraphicsScene::getImage() const
{
    return image;
}

bool QBaseImageGraphicsScene::hasImage() const
{
    return !image.isNull();
}

void QBaseImageGraphicsScene::resetImage()
{
    image = QImage();
    pixmapItem->setPixmap(QPixmap::fromImage(image));
}

QGraphicsView* QBaseImageGraphicsScene::graphicsView() const
{
    return view.data();
}

bool QBaseImageGraphicsScene::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Resize)
        return false;
    if (!view || (watched != view.data() && watched != view->viewport()))
        return false;

    // The viewport's size is what the image must fit, whichever of the two was resized:
    // on a resize of the view itself the viewport may not have been laid out yet, and its
    // own resize event then follows with the final size.
    const QWidget* viewport = view->viewport();
    const int w = viewport->width();
    const int h = viewport->height();

    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return false;

    // side is in logical pixels. A host's high-DPI rendering carries its pixel ratio, so it is
    // fitted in device pixels: it fills the same area and stays sharp. The ratio survives the
    // scaling, so the next refit does the same.
    const int side = std::min(w, h);
    const int pixels = int(std::lround(side * image.devicePixelRatio()));
    setImage(image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return false;
}
