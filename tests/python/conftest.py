"""Shared fixtures: the module under test (ryqt or ryqt6, from RYQT_PY_MODULE) and its PyQt.

Every test is written once for both: it takes the `ryqt` and `qt` fixtures and uses scoped
enum names (QSettingsEntry.EntryType.Integer), which both modules accept.
"""

import importlib
import os
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
