"""The settings framework from Python: entries built from Python values, a dialog over a real
INI file, loaders answering with (ok, value) tuples."""

import pytest


@pytest.fixture
def categories(ryqt, qt):
    pixmap = qt.QtGui.QPixmap(16, 16)
    return ryqt.QSettingsCategory("General", pixmap), ryqt.QSettingsCategory("View", qt.QtGui.QPixmap())


def test_dialog_loads_and_saves_an_ini_file(ryqt, qt, qtbot, settings, ini, categories, press):
    E, W = ryqt.QSettingsEntry.EntryType, qt.QtWidgets
    general, view = categories
    # 150 only fits once the "maximum" from the Python dict is in force: the properties are
    # applied before the stored value arrives.
    settings.setValue("count", 150)
    settings.setValue("quality", "exact")
    loader = lambda key: ryqt.QSettingsLoader(settings, key)  # noqa: E731
    entries = [
        ryqt.QSettingsEntry(E.Integer, loader("count"), general, "Count", uiProperties={"maximum": 500}),
        ryqt.QSettingsEntry(E.StringChoice, loader("quality"), general, "Quality", False, "Rendering",
                            {"currentData": ["fast", "exact"]}),
        ryqt.QSettingsEntry(E.Boolean, loader("enabled"), view, "Enabled"),
        ryqt.QSettingsEntry(E.String, loader("name"), view, "Name", subCategory=general),
    ]
    dialog = ryqt.QSettingsDialog(entries)
    qtbot.addWidget(dialog)
    entries.clear()  # the dialog holds its own copies
    dialog.showSettings(None)
    qtbot.waitExposed(dialog)

    spin = dialog.findChild(W.QSpinBox)
    combo = dialog.findChild(W.QComboBox)
    assert (spin.value(), spin.maximum()) == (150, 500)
    assert [combo.itemData(i) for i in range(combo.count())] == ["fast", "exact"]
    assert combo.currentData() == "exact" and combo.toolTip() == "Rendering"
    assert dialog.findChild(W.QListWidget).count() == 2  # one row per category

    spin.setValue(321)
    combo.setCurrentIndex(0)
    dialog.findChild(W.QCheckBox).setChecked(True)
    [name] = [e for e in dialog.findChildren(W.QLineEdit) if not isinstance(e.parent(), W.QAbstractSpinBox)]
    qtbot.keyClicks(name, "abc")
    with qtbot.waitSignal(dialog.saved) as saved:
        press(dialog, "Ok")
    assert saved.args == [True]
    assert not dialog.isVisible()
    assert ini() == {"count": "321", "quality": "fast", "enabled": "true", "name": "abc"}


@pytest.mark.parametrize("kind, items, stored, written", [
    ("IntegerChoice", [1, 2, 4], 4, "4"),
    ("DoubleChoice", [0.5, 1.25], 1.25, "1.25"),
    ("StringChoice", ["fast", "exact"], "exact", "exact"),
])
def test_choice_items_keep_their_python_types(ryqt, qt, qtbot, settings, ini, categories, press,
                                              kind, items, stored, written):
    settings.setValue("choice", stored)
    entry = ryqt.QSettingsEntry(getattr(ryqt.QSettingsEntry.EntryType, kind),
                                ryqt.QSettingsLoader(settings, "choice"), categories[0], "Choice",
                                uiProperties={"currentData": items})
    assert entry.getUiProperties() == {"currentData": items}
    dialog = ryqt.QSettingsDialog((entry,))  # any sequence does for the list
    qtbot.addWidget(dialog)
    combo = dialog.findChild(qt.QtWidgets.QComboBox)
    assert [combo.itemText(i) for i in range(combo.count())] == [str(i) for i in items]
    assert combo.currentIndex() == len(items) - 1
    settings.remove("choice")
    press(dialog, "Ok")
    assert ini() == {"choice": written}


def test_loader_returns_ok_and_value(ryqt, settings):
    loader = ryqt.QSettingsLoader(settings, "net/hosts")
    assert loader.load() == (True, None)  # absent: an invalid QVariant
    assert loader.save({"a": [1, 2.5, "x"], "b": True})
    assert loader.load() == (True, {"a": [1, 2.5, "x"], "b": True})
    assert (loader.key(), loader.settings(), loader.ownsSettings()) == ("net/hosts", settings, False)
    copy = ryqt.QSettingsLoader(loader)
    assert copy.load()[1]["b"] is True
    storeless = ryqt.QSettingsLoader(None, "k")
    assert storeless.load() == (False, None) and not storeless.save(1)


def test_exec_settings_runs_modally(ryqt, qt, qtbot, settings, ini, categories, press):
    entry = ryqt.QSettingsEntry(ryqt.QSettingsEntry.EntryType.Boolean, ryqt.QSettingsLoader(settings, "on"),
                                categories[0], "On")
    dialog = ryqt.QSettingsDialog([entry])
    qtbot.addWidget(dialog)
    # Python runs inside the modal loop, the GIL released around it.
    qt.QtCore.QTimer.singleShot(0, lambda: dialog.findChild(qt.QtWidgets.QCheckBox).setChecked(True))
    qt.QtCore.QTimer.singleShot(0, lambda: press(dialog, "Ok"))
    with qtbot.waitSignal(dialog.saved):
        dialog.execSettings(None)
    assert ini() == {"on": "true"}
