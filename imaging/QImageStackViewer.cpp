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
    sliceItems.clear();
}

void QImageStackViewer::checkItemsList()
{
    if (!sliceItems.isEmpty()) {
        sliceItems.clear();
        clear();
    }
}

void QImageStackViewer::setImageStack(QList<QImage>& images)
{
    checkItemsList();
    if (images.isEmpty())
        return;

    sliceItems.reserve(images.size());
    for (int i = 0; i < images.size(); ++i) {
        QGraphicsPixmapItem* item = addPixmap(QPixmap::fromImage(images.at(i)));
        item->setVisible(i == currentSlice);
        sliceItems.append(item);
    }
}

QImage QImageStackViewer::imageAt(int index) const
{
    if (index < 0 || index >= sliceItems.size())
        return QImage();
    return sliceItems.at(index)->pixmap().toImage();
}

void QImageStackViewer::showSlice(int sliceNumber)
{
    if (sliceItems.isEmpty() || sliceNumber < 0 || sliceNumber >= sliceItems.size())
        return;
    // The shown index may lie beyond a shorter stack set since; then nothing is visible
    // and there is nothing to hide.
    if (currentSlice >= 0 && currentSlice < sliceItems.size())
        sliceItems.at(currentSlice)->setVisible(false);
    currentSlice = sliceNumber;
    sliceItems.at(currentSlice)->setVisible(true);
}

void QImageStackViewer::wheelEvent(QGraphicsSceneWheelEvent* event)
{
    if (sliceItems.isEmpty() || event->modifiers().testFlag(Qt::ControlModifier))
        return;
    emit scrollDelta(event->delta() / 120);
}
