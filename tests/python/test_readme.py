"""The README's ```python blocks, run as written with the module under test.

Each block runs in a fresh namespace inside the running application, as the README says: it
imports what it uses and builds its own host window, `window`. The README writes the blocks for
ryqt and PyQt5; for ryqt6 this test reads the words `ryqt` as `ryqt6` and `PyQt5` as `PyQt6`,
and changes nothing else, so a block that only one module accepts (a short enum name, a call
PyQt6 dropped) fails here. After a block, the test does what a user would next (presses Ok,
clicks the toasts, drags on the image, answers a modal dialog) and checks that the host saw it.
"""

import os
import pathlib
import re
import tempfile
import textwrap

import pytest

SOURCE_DIR = pathlib.Path(os.environ.get("RYQT_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
README = SOURCE_DIR / "README.md"
MODULE = os.environ.get("RYQT_PY_MODULE", "ryqt")
TYPED = "Vessels2"  # what the user types into a text prompt; allowed by any input type but WhiteSpace


def python_blocks():
    """(first line number, source) of every ```python block; fences may be indented."""
    blocks, first, lines = [], None, []
    for number, line in enumerate(README.read_text(encoding="utf-8").splitlines(), 1):
        if first is None and re.match(r"^ *```python *$", line):
            first, lines = number + 1, []
        elif first is not None and re.match(r"^ *```", line):
            blocks.append((first, textwrap.dedent("\n".join(lines))))
            first = None
        elif first is not None:
            lines.append(line)
    return blocks


def for_module(source):
    if MODULE == "ryqt6":
        source = re.sub(r"\bryqt\b", "ryqt6", source)
        source = re.sub(r"\bPyQt5\b", "PyQt6", source)
    return source


BLOCKS = python_blocks()


class ModalAnswerer:
    """Answers the modal dialogs a block opens: types a text into an empty field and presses OK.
    A dialog that refuses it is cancelled rather than answered again, so a block never hangs."""

    def __init__(self, qt):
        self.qt = qt
        self.answered = []
        self.timer = qt.QtCore.QTimer()
        self.timer.setInterval(20)
        self.timer.timeout.connect(self.answer)

    def answer(self):
        dialog = self.qt.QtWidgets.QApplication.activeModalWidget()
        if dialog is None:
            return
        if any(dialog is seen for seen in self.answered):
            dialog.reject()
            return
        self.answered.append(dialog)
        field = dialog.findChild(self.qt.QtWidgets.QLineEdit)
        if field is not None and not field.text():
            field.insert(TYPED)
        dialog.accept()


def drag(qt, widget, start, end):
    """A left-button drag sent to the widget itself: the offscreen platform moves no real mouse."""
    E, Qt = qt.QtCore.QEvent.Type, qt.QtCore.Qt
    left, none = Qt.MouseButton.LeftButton, Qt.MouseButton.NoButton
    steps = [(E.MouseButtonPress, start, left, left)]
    steps += [(E.MouseMove, start + (end - start) * (i / 10), none, left) for i in range(1, 11)]
    steps += [(E.MouseButtonRelease, end, left, none)]
    for kind, pos, button, buttons in steps:
        event = qt.QtGui.QMouseEvent(kind, pos, button, buttons, Qt.KeyboardModifier.NoModifier)
        qt.QtWidgets.QApplication.sendEvent(widget, event)


def test_readme_has_the_python_blocks():
    sources = "\n".join(source for _, source in BLOCKS)
    for used in ("QSettingsDialog(", "QToaster(", "setOnClickListener(", "QWindowLevelGraphicsScene(",
                 "QZoomableGraphicsView(", "QTextInput.getText(", "(Thread)"):
        assert used in sources, f"no README block shows {used}"


@pytest.mark.parametrize("first, source", BLOCKS, ids=[f"README.md:{first}" for first, _ in BLOCKS])
def test_block_runs_and_its_host_sees_the_user(first, source, qtbot, qt, ryqt, tmp_path, monkeypatch):
    # The blocks' scratch files (tempfile) go to this test's own folder.
    monkeypatch.setattr(tempfile, "tempdir", str(tmp_path))
    QtWidgets, Qt = qt.QtWidgets, qt.QtCore.Qt
    answerer = ModalAnswerer(qt)
    namespace = {"__name__": "readme_block"}
    # Padded so that a traceback names the README's own line.
    code = compile("\n" * (first - 1) + for_module(source), str(README), "exec")
    answerer.timer.start()
    try:
        exec(code, namespace)
    finally:
        answerer.timer.stop()

    window = namespace.get("window")
    assert isinstance(window, QtWidgets.QMainWindow), "each block builds its host window, `window`"
    qtbot.addWidget(window)
    window.show()
    qtbot.waitExposed(window)
    status = window.statusBar()

    if "text" in namespace and "ok" in namespace:
        assert answerer.answered, "the text prompt never opened"
        assert (namespace["text"], namespace["ok"]) == (TYPED, True)

    for dialog in window.findChildren(ryqt.QSettingsDialog):
        buttons = [b for b in dialog.findChildren(QtWidgets.QPushButton) if b.text() == "Ok"]
        assert buttons, "the settings dialog has no Ok button"
        qtbot.mouseClick(buttons[0], Qt.MouseButton.LeftButton)

    # Clicked on the body, away from the close cross at the top right.
    for toast in window.findChildren(ryqt.QToast):
        qtbot.mouseClick(toast, Qt.MouseButton.LeftButton, pos=qt.QtCore.QPoint(8, toast.height() // 2))

    for scene in (v for v in namespace.values() if isinstance(v, ryqt.QWindowLevelGraphicsScene)):
        view = scene.graphicsView()
        assert view is not None and scene.hasImage()
        # The view's first resizes come first: they render too.
        viewport = view.viewport()
        qtbot.waitUntil(lambda: scene.getImage().width() == min(viewport.width(), viewport.height()))
        QtWidgets.QApplication.processEvents()
        before = (scene.currentWindow(), status.currentMessage(), scene.getImage())
        middle = qt.QtCore.QPointF(viewport.rect().center())
        drag(qt, viewport, middle - qt.QtCore.QPointF(60, 0), middle + qt.QtCore.QPointF(60, 0))
        # A drag to the right widens the window; the host renders the image and reports it anew.
        qtbot.waitUntil(lambda: status.currentMessage() != before[1])
        assert scene.currentWindow() > before[0]
        assert scene.getImage() != before[2]

    # Whatever the block did, its host reports the result in the status bar: at once, after the
    # user's step above, or once a background task has finished.
    qtbot.waitUntil(lambda: status.currentMessage() != "")
