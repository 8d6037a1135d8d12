"""Image viewing from Python: a window/level drag in a zoomable view, and an image stack given
as a Python sequence."""

import pytest


@pytest.fixture
def mouse(qt):
    """Sends mouse events to a viewport as the view receives them, buttons held included (a
    QTest move on a widget carries no buttons)."""
    C, G = qt.QtCore, qt.QtGui

    def send(viewport, script):
        left, none = C.Qt.MouseButton.LeftButton, C.Qt.MouseButton.NoButton
        for step in script.split():
            kind = {"+": C.QEvent.Type.MouseButtonPress, "-": C.QEvent.Type.MouseButtonRelease}.get(step[0])
            x, y = map(int, step.lstrip("+-").split(","))
            local = C.QPointF(x, y)
            held = none if kind == C.QEvent.Type.MouseButtonRelease else left
            event = G.QMouseEvent(kind or C.QEvent.Type.MouseMove, local, C.QPointF(viewport.mapToGlobal(local.toPoint())),
                                  left if kind else none, held, C.Qt.KeyboardModifier.NoModifier)
            qt.QtWidgets.QApplication.sendEvent(viewport, event)

    return send


def grey(qt, width, height, value=128):
    image = qt.QtGui.QImage(width, height, qt.QtGui.QImage.Format.Format_RGB32)
    image.fill(qt.QtGui.QColor(value, value, value))
    return image


def test_window_level_drag(ryqt, qt, qtbot, mouse):
    scene = ryqt.QWindowLevelGraphicsScene(500, 300, 0, 1000, 0, 1000, None)
    scene.setImage(grey(qt, 500, 500))
    view = ryqt.QZoomableGraphicsView(scene, None)
    qtbot.addWidget(view)
    view.setFrameShape(qt.QtWidgets.QFrame.Shape.NoFrame)
    view.viewport().installEventFilter(view)
    scene.setGraphicsView(view)
    view.resize(500, 500)
    view.show()
    qtbot.waitExposed(view)
    assert scene.graphicsView() is view and scene.hasImage()
    assert scene.getImage().size() == qt.QtCore.QSize(500, 500)

    moved = []
    view.onMouseMoved.connect(moved.append)
    with qtbot.waitSignals([scene.windowLevelChanged] * 2) as blocker:
        # 12 scene units engage an axis; on a 500-unit scene over a 0..1000 range, one unit each.
        mouse(view.viewport(), "+250,250 262,250 272,262 282,272 -282,272")
    # The engaging move itself changes nothing: the window moves 20, the level 10.
    assert [tuple(s.args) for s in blocker.all_signals_and_args] == [(510, 300), (520, 310)]
    assert (scene.currentWindow(), scene.currentLevel()) == (520, 310)
    assert all(isinstance(p, qt.QtCore.QPointF) for p in moved) and moved

    scene.setWindow(40)  # the setters store as given and say nothing
    scene.setLevel(-5)
    assert (scene.currentWindow(), scene.currentLevel()) == (40, -5)
    assert "40" in view.accessibleDescription() and "-5" in view.accessibleDescription()
    with qtbot.waitSignal(view.imageResizeRequest) as resized:
        view.resize(300, 200)
    assert resized.args == [300, 200]
    assert scene.getImage().size() == qt.QtCore.QSize(200, 200)  # refitted to the viewport


def test_image_stack_from_python_sequence(ryqt, qt, qtbot):
    images = [grey(qt, 8, 8, v) for v in (10, 20, 30)]
    viewer = ryqt.QImageStackViewer()
    view = qt.QtWidgets.QGraphicsView(viewer)
    qtbot.addWidget(view)

    def visible():
        return [item.isVisible() for item in viewer.items(qt.QtCore.Qt.SortOrder.AscendingOrder)]

    viewer.setImageStack(images)
    assert len(images) == 3  # only read
    assert [viewer.imageAt(i).pixelColor(0, 0).red() for i in range(3)] == [10, 20, 30]
    assert viewer.imageAt(3).isNull()
    assert visible() == [True, False, False]
    viewer.showSlice(2)
    assert visible() == [False, False, True]
    viewer.showSlice(7)  # outside: nothing changes
    assert visible() == [False, False, True]

    viewer.setImageStack(tuple(images[:2]))  # any sequence; slice 2 no longer exists
    assert visible() == [False, False]
    viewer.showSlice(1)
    assert visible() == [False, True]
    with pytest.raises(TypeError):
        viewer.setImageStack([images[0], "not an image"])
