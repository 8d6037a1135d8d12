#include "QImageStackViewer.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsSceneWheelEvent>
#include <QPixmap>

QImageStackViewer::QImageStackViewer(QObject* parent)
    : QGraphicsScene(parent)
{
}

QImageStackViewer::~QImageStackViewer()
{
    items.clear();
}

void QImageStackViewer::checkItemsList()
{
    if (!items.isEmpty()) {
        items.clear();
        clear();
    }
}

void QImageStackViewer::setImageStack(QList<QImage>& images)
{
    checkItemsList();
    if (images.isEmpty())
        return;

    items.reserve(images.size());
    for (int i = 0; i < images.size(); ++i) {
        QGraphicsPixmapItem* item = addPixmap(QPixmap::fromImage(images.at(i)));
        item->setVisible(i == currentSlice);
        items.append(item);
    }
}

QImage QImageStackViewer::imageAt(int index) const
{
    if (index < 0 || index >= items.size())
        return QImage();
    return items.at(index)->pixmap().toImage();
}

void QImageStackViewer::showSlice(int sliceNumber)
{
    if (items.isEmpty() || sliceNumber < 0 || sliceNumber >= items.size())
        return;
    // The shown index may lie beyond a shorter stack set since; then nothing is visible
    // and there is nothing to hide.
    if (currentSlice >= 0 && currentSlice < items.size())
        items.at(currentSlice)->setVisible(false);
    currentSlice = sliceNumber;
    items.at(currentSlice)->setVisible(true);
}

void QImageStackViewer::wheelEvent(QGraphicsSceneWheelEvent* event)
{
    if (items.isEmpty() || event->modifiers().testFlag(Qt::ControlModifier))
        return;
    emit scrollDelta(event->delta() / 120);
}
