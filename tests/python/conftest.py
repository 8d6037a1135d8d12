"""Shared fixtures: the module under test (ryqt or ryqt6, from RYQT_PY_MODULE) and its PyQt.

Every test is written once for both: it takes the `ryqt` and `qt` fixtures and uses scoped
enum names (QSettingsEntry.EntryType.Integer), which both modules accept.
"""

import importlib
import os
import sys
import types

import pytest

MODULE = os.environ.get("RYQT_PY_MODULE", "ryqt")
PYQT = "PyQt6" if MODULE == "ryqt6" else "PyQt5"


def _load():
    names = ("QtCore", "QtGui", "QtWidgets", "QtTest")
    qt = types.SimpleNamespace(**{n: importlib.import_module(f"{PYQT}.{n}") for n in names})
    qt.name = PYQT
    qt.sip = importlib.import_module(f"{PYQT}.sip")
    return importlib.import_module(MODULE), qt


RYQT, QT = _load()


@pytest.fixture
def ryqt():
    return RYQT


@pytest.fixture
def qt():
    return QT


@pytest.fixture
def settings(tmp_path):
    """A real INI-file QSettings in a temporary folder."""
    return QT.QtCore.QSettings(str(tmp_path / "settings.ini"), QT.QtCore.QSettings.Format.IniFormat)


@pytest.fixture
def host(qtbot):
    """A shown top-level widget that toasts and dialogs can sit on."""
    widget = QT.QtWidgets.QWidget()
    widget.resize(640, 480)
    qtbot.addWidget(widget)
    widget.show()
    qtbot.waitExposed(widget)
    return widget


@pytest.fixture
def ini(settings):
    """Reads back the settings fixture's file as {key: text}, after flushing the store."""

    def read():
        settings.sync()
        values = {}
        with open(settings.fileName(), encoding="utf-8") as f:
            for line in f:
                key, sep, value = line.strip().partition("=")
                if sep:
                    values[key] = value
        return values

    return read


@pytest.fixture
def click(qtbot):
    """Left-clicks a widget through QTest, at its centre or at pos."""

    def do(widget, pos=None):
        args = {} if pos is None else {"pos": pos}
        qtbot.mouseClick(widget, QT.QtCore.Qt.MouseButton.LeftButton, **args)

    return do


@pytest.fixture
def press(click):
    """Clicks the one QPushButton of a parent labelled text."""

    def do(parent, text):
        buttons = [b for b in parent.findChildren(QT.QtWidgets.QPushButton) if b.text() == text]
        assert len(buttons) == 1, f"{len(buttons)} buttons labelled {text!r}"
        click(buttons[0])

    return do


@pytest.fixture
def click_body(click):
    """Clicks a toast's body: near its top-left corner, well away from the close cross."""

    def do(toast):
        toast.grab()  # the cross's rectangle is set by painting
        click(toast, QT.QtCore.QPoint(8, 8))

    return do


@pytest.fixture
def user(qtbot, click):
    """Plays a user on the next modal text dialog: types or picks, presses a button and, when
    the dialog refuses, notes the refusal and cancels. What it saw is in user.seen."""
    W = QT.QtWidgets

    class User:
        def __init__(self):
            self.seen = {}

        def answer(self, typed="", button="Ok", pick=None):
            QT.QtCore.QTimer.singleShot(0, lambda: self._act(typed, button, pick))

        def _act(self, typed, button, pick):
            dialog = W.QApplication.activeModalWidget()
            if dialog is None:  # not up yet
                return self.answer(typed, button, pick)
            try:
                self.seen.update(title=dialog.windowTitle(), label=dialog.findChild(W.QLabel).text())
                combo = dialog.findChild(W.QComboBox)
                if pick is None:
                    qtbot.keyClicks(combo.lineEdit(), typed)
                else:
                    combo.setCurrentIndex(pick)
                click(dialog.findChild(W.QDialogButtonBox).button(getattr(W.QDialogButtonBox.StandardButton, button)))
                if dialog.isVisible():
                    self.seen["refused"] = dialog.findChild(W.QStatusBar).currentMessage()
            finally:  # never leave the test blocked in exec()
                if dialog.isVisible():
                    dialog.reject()

    return User()


@pytest.fixture
def excepthook(monkeypatch):
    """Records the exception types that reach sys.excepthook; use with qt_no_exception_capture
    so that pytest-qt leaves the hook alone. A replaced hook also keeps PyQt from aborting."""
    seen = []
    monkeypatch.setattr(sys, "excepthook", lambda kind, value, tb: seen.append(kind))
    return seen
