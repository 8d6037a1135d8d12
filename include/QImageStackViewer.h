#pragma once

#include "ryqt_export.h"

#include <QGraphicsScene>
#include <QImage>
#include <QList>

class QGraphicsPixmapItem;
class QGraphicsSceneWheelEvent;

/// A graphics scene that shows one slice of an image stack at a time. Every image becomes a
/// pixmap item at the origin and exactly one of them is visible. The wheel does not change
/// the slice: it reports steps by scrollDelta() and the host answers with showSlice(), clamping
/// the index itself. Show it in any QGraphicsView; behind a QZoomableGraphicsView's wheel filter
/// it never sees a wheel turn without Control. GUI thread only.
class RYQT_EXPORT QImageStackViewer : public QGraphicsScene
{
    Q_OBJECT

public:
    /// Creates an empty viewer showing slice 0, as a child of \a parent.
    explicit QImageStackViewer(QObject* parent = nullptr);
    ~QImageStackViewer() override;

    /// Replaces the stack with one pixmap item per image of \a images, all at the origin. When the viewer already holds slices, every item of the scene is
    /// deleted first, including items the host added. The shown slice index carries over;
    /// if it lies beyond a shorter stack, nothing is visible until showSlice(). An empty list
    /// leaves the scene empty. images is not modified.
    void setImageStack(QList<QImage>& images);
    /// The slice at \a index, passed through its pixmap and back; a null image when \a index is
    /// outside the stack.
    QImage imageAt(int index) const;

    /// Emits scrollDelta(delta / 120) for a wheel \a event when the viewer holds slices and the
    /// event's modifiers lack Control; otherwise does nothing.
    void wheelEvent(QGraphicsSceneWheelEvent* event) override;

public Q_SLOTS:
    /// Shows slice \a sliceNumber and hides the one shown before; an index outside the stack
    /// changes nothing. No signal.
    void showSlice(int sliceNumber);

Q_SIGNALS:
    /// Emitted for every wheel event over a viewer that holds slices, Control not held, with
    /// the whole notches turned (\a delta = wheel delta / 120, truncated toward zero): a step
    /// below one notch, as touchpads and smooth wheels send, gives 0. Hosts that want those add
    /// up the raw wheel deltas themselves.
    void scrollDelta(int delta);

private:
    void checkItemsList();

    // One per slice, owned by the scene. Not called items: that would hide QGraphicsScene::items().
    QList<QGraphicsPixmapItem*> sliceItems;
    int currentSlice = 0;
};
