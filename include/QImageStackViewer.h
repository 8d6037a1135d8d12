#pragma once

#include "ryqt_export.h"

#include <QGraphicsScene>
#include <QImage>
#include <QList>

class QGraphicsPixmapItem;
class QGraphicsSceneWheelEvent;

/// A graphics scene that shows one slice of an image stack at a time. Every image becomes a
/// pixmap item at the origin and exactly one of them is visible. The wheel does not change
/// the slice: it reports steps by scrollDelta() and the host answers with showSlice().
class RYQT_EXPORT QImageStackViewer : public QGraphicsScene
{
    Q_OBJECT

public:
    /// Creates an empty viewer showing slice 0.
    explicit QImageStackViewer(QObject* parent = nullptr);
    ~QImageStackViewer() override;

    /// Replaces the stack. When the viewer already holds slices, every item of the scene is
    /// deleted first, including items the host added. The shown slice index carries over;
    /// if it lies beyond a shorter stack, nothing is visible until showSlice(). An empty list
    /// leaves the scene empty. images is not modified.
    void setImageStack(QList<QImage>& images);
    /// The slice at index, passed through its pixmap and back; a null image when index is
    /// outside the stack.
    QImage imageAt(int index) const;

    /// Emits scrollDelta(delta / 120) when the viewer holds slices and Control is not held.
    void wheelEvent(QGraphicsSceneWheelEvent* event) override;

public Q_SLOTS:
    /// Shows slice sliceNumber and hides the one shown before; an index outside the stack
    /// changes nothing. No signal.
    void showSlice(int sliceNumber);

Q_SIGNALS:
    /// Whole wheel notches turned over the scene (truncated toward zero, so may be 0).
    void scrollDelta(int delta);

private:
    void checkItemsList();

    // One per slice, owned by the scene. Not called items: that would hide QGraphicsScene::items().
    QList<QGraphicsPixmapItem*> sliceItems;
    int currentSlice = 0;
};
