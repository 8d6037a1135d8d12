"""Toasts from Python: a toaster stacking toasts over a host, Python callables as click
listeners, and the toast's signals as ordinary bound signals."""

import pytest


def top_left(widget):
    return widget.mapToGlobal(widget.rect().topLeft())


def test_toaster_stacks_and_closes_up(ryqt, qt, qtbot, host):
    toaster = ryqt.QToaster(host, ryqt.QToastGravity.TopLeft)
    toasts = [ryqt.QToast(host, f"toast {i}", 0, ryqt.QToastGravity.TopRight) for i in range(3)]
    for toast in toasts:
        toaster.notify(toast)

    def stacked(column):
        tops = [top_left(t) for t in column]
        assert all(t.x() == top_left(host).x() for t in tops)  # the toaster's corner won
        assert [t.y() - top_left(host).y() for t in tops] == [sum(t.height() for t in column[:i]) for i in range(len(column))]

    qtbot.waitUntil(lambda: stacked(toasts))
    assert all(t.gravity() == ryqt.QToastGravity.TopLeft for t in toasts)

    with qtbot.waitSignal(toasts[1].closed) as closed:
        toasts[1].close()
    assert closed.args == [toasts[1]]  # the very wrapper, not a new one
    qtbot.waitUntil(lambda: qt.sip.isdeleted(toasts[1]))  # gone by itself after the fade
    qtbot.waitUntil(lambda: stacked([toasts[0], toasts[2]]))

    toaster.notify("<b>text</b> only")  # the string overload makes its own toast...
    made = [t for t in host.findChildren(qt.QtWidgets.QWidget, options=qt.QtCore.Qt.FindChildOption.FindDirectChildrenOnly)
            if t not in toasts]
    assert [type(t) for t in made] == [ryqt.QToast]  # ...which reaches Python as what it is
    assert made[0].gravity() == ryqt.QToastGravity.TopLeft


@pytest.mark.parametrize("wrap", [False, True], ids=["callable", "QToastListener"])
@pytest.mark.parametrize("close_on_click", [False, True], ids=["stays", "closes"])
def test_body_click_calls_python_listener(ryqt, qt, qtbot, host, click_body, wrap, close_on_click):
    toast = ryqt.QToast(host, "click me", 0, ryqt.QToastGravity.TopLeft)
    parents = []
    listener = lambda event: parents.append(event.parent)  # noqa: E731
    toast.setOnClickListener(ryqt.QToastListener(listener) if wrap else listener, close_on_click)
    toast.show()
    qtbot.waitExposed(toast)
    if close_on_click:
        with qtbot.waitSignal(toast.closed):
            click_body(toast)
        qtbot.waitUntil(lambda: qt.sip.isdeleted(toast))
    else:
        with qtbot.assertNotEmitted(toast.closed, wait=300):
            click_body(toast)
        click_body(toast)
    assert parents == [host] * (1 if close_on_click else 2)


def test_listener_event_and_signals(ryqt, qt, qtbot):
    event = ryqt.QToastEvent()
    assert event.parent is None
    seen = []
    listener = ryqt.QToastListener(lambda e: seen.append(e))
    ryqt.QToastListener(listener).fire(event)  # a copy calls the same callable
    assert seen[0].parent is None and seen[0] is not event  # the callback gets its own copy

    toast = ryqt.QToast(None, "signals", 0, ryqt.QToastGravity.TopLeft)
    assert isinstance(toast.closed, qt.QtCore.pyqtBoundSignal)
    with qtbot.waitSignal(toast.shown) as shown:
        toast.shown.connect(ryqt.QToaster.onToastShown)
        toast.shown.emit(toast)  # the library never emits it: hosts do
    assert shown.args == [toast]
    with pytest.raises(TypeError):
        toast.setOnClickListener(42, False)
