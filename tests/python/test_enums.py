"""Enums as each PyQt has them: scoped Python enums in ryqt6, ints reachable both scoped and
unscoped in ryqt; the input types combine with | either way."""

import functools
import operator

import pytest


def test_scoping(ryqt, qapp):
    G, E, I = ryqt.QToastGravity, ryqt.QSettingsEntry.EntryType, ryqt.QTextInputDialog.InputType
    if ryqt.__name__ == "ryqt6":
        for scope, name in ((ryqt, "TopLeft"), (ryqt.QSettingsEntry, "Integer"), (ryqt.QTextInputDialog, "Numeric")):
            assert not hasattr(scope, name)
        assert [g.name for g in G] == ["TopLeft", "TopRight"]
    else:
        assert (ryqt.TopLeft, ryqt.TopRight) == (G.TopLeft, G.TopRight) == (0, 1)
        assert ryqt.QSettingsEntry.Integer == E.Integer and ryqt.QTextInputDialog.Numeric == I.Numeric
    # The values are the C++ ones (a PyQt6 enum holds its int in .value).
    assert [getattr(v, "value", v) for v in (E.Double, E.Directory, G.TopRight, I.WhiteSpace)] == [0, 8, 1, 8]

    toast = ryqt.QToast(None, "corner", 0, G.TopRight)
    assert toast.gravity() == G.TopRight
    toast.setGravity(G.TopLeft)
    assert toast.gravity() == G.TopLeft
    entry = ryqt.QSettingsEntry(E.Directory, None, None, "Folder")
    assert entry.dataType() == E.Directory


@pytest.mark.parametrize("flags, typed, kept", [
    (("Numeric", "WhiteSpace"), "a1 b2", "1 2"),
    (("Alphabetic",), "a1 b2", "ab"),
    (("Alphabetic", "Numeric", "Reserved"), "a1 b2-_", "a1b2-_"),
])
def test_input_types_combine(ryqt, qt, qtbot, flags, typed, kept):
    I = ryqt.QTextInputDialog.InputType
    combined = functools.reduce(operator.or_, (getattr(I, name) for name in flags))
    built, changed = ryqt.QTextInputDialog(combined), ryqt.QTextInputDialog()
    changed.setInputTypes(combined)
    for dialog in (built, changed):
        qtbot.addWidget(dialog)
        assert dialog.inputTypes() == combined
        assert int(dialog.inputTypes()) == sum(int(getattr(I, n)) for n in flags)
        qtbot.keyClicks(dialog.findChild(qt.QtWidgets.QComboBox).lineEdit(), typed)
        assert dialog.getInputText() == kept


def test_get_text_takes_combined_types(ryqt, user):
    I = ryqt.QTextInputDialog.InputType
    user.answer("a1 b2")
    assert ryqt.QTextInput.getText(None, "Digits", "Number:", I.Numeric | I.WhiteSpace) == ("1 2", True)
