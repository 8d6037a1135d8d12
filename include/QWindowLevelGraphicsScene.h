#pragma once

#include "ryqt_export.h"

#include "QBaseImageGraphicsScene.h"

#include <QPointF>

class QGraphicsSceneMouseEvent;

/// An image scene on which a left-button drag adjusts two integers: horizontal movement the
/// window, vertical movement the level, each kept inside its own extents. An axis engages
/// once the drag has gone 12 scene units along it from the press; from then on every move
/// shows both values in a tooltip over the view and emits windowLevelChanged().
/// The scene maps no pixels: the host recomputes the image and calls setImage().
///
/// For assistive technology the view given to setGraphicsView() carries the current values as
/// its accessible description, "Window <w>, level <l>" (translated when the library's
/// translations are installed); it is replaced whenever a value changes through a drag,
/// setWindow(), setLevel() or setGraphicsView(), which raises QAccessible::DescriptionChanged
/// on the view. A description the host set on that view is overwritten.
class RYQT_EXPORT QWindowLevelGraphicsScene : public QBaseImageGraphicsScene
{
    Q_OBJECT

public:
    /// Stores the six values as given, without checks or clamping (a value outside its
    /// extents is brought inside by the next drag step on that axis).
    QWindowLevelGraphicsScene(int window, int level, int windowMin, int windowMax,
                              int levelMin, int levelMax, QObject* parent);
    /// All values and extents 0.
    explicit QWindowLevelGraphicsScene(QObject* parent = nullptr);
    ~QWindowLevelGraphicsScene() override;

    /// The current window.
    int currentWindow() const;
    /// The current level.
    int currentLevel() const;
    /// Stores the window unchanged: no clamping, no signal; updates the view's description.
    void setWindow(int window);
    /// Stores the level unchanged: no clamping, no signal; updates the view's description.
    void setLevel(int level);
    /// Stores both bounds unchanged (min > max is kept as given); the window is not clamped
    /// until the next drag step.
    void setWindowExtents(int min, int max);
    /// Stores both bounds unchanged (min > max is kept as given); the level is not clamped
    /// until the next drag step.
    void setLevelExtents(int min, int max);

    /// As in the base scene; the view is also where the drag tooltip appears. Null is safe:
    /// drags then change values and emit signals without a tooltip.
    void setGraphicsView(QGraphicsView* view) override;

    /// Starts a drag on a left press while the scene has an image; other presses do nothing.
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    /// Engages axes and changes the engaged values during a drag; ignored otherwise.
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    /// Ends a drag on the release of any button.
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

signals:
    /// The drag produced a step; emitted even when neither value changed.
    void windowLevelChanged(int window, int level);

private:
    int windowMin = 0;
    int windowMax = 0;
    int levelMin = 0;
    int levelMax = 0;
    int window = 0;
    int level = 0;
    bool windowDragActive = false;
    bool levelDragActive = false;
    bool mousePressed = false;
    QPointF pressScenePos;
};
