"""Dialogs and wizards from Python: modal prompts returning (text, ok), Python pages in a page
widget, the splash screen and the log viewer."""

import pytest


@pytest.mark.parametrize("typed, button, expected, refused", [
    ("abc", "Ok", ("abc", True), None),
    ("abc", "Cancel", ("abc", False), None),  # the text comes back whichever way it closed
    ("TAKEN", "Ok", ("TAKEN", False), "in use"),
    ("", "Ok", ("", False), "Input cannot be empty."),
])
def test_get_text_returns_text_and_ok(ryqt, host, user, typed, button, expected, refused):
    user.answer(typed, button)
    result = ryqt.QTextInput.getText(host, "Title", "Label", comparisons=["taken"], matchErrorMessage="in use")
    assert result == expected
    assert (user.seen["title"], user.seen["label"], user.seen.get("refused")) == ("Title", "Label", refused)


def test_get_item_returns_choice_and_ok(ryqt, user):
    user.answer(pick=1)
    assert ryqt.QTextInput.getItem(None, ["first", "second"], "Pick", "Which?") == ("second", True)


@pytest.mark.parametrize("typed, refused", [("", "Input cannot be empty."), ("Taken", "in use"), ("free", None)])
def test_python_made_dialog_keeps_refusing(ryqt, qt, qtbot, click, typed, refused):
    W = qt.QtWidgets
    dialog = ryqt.QTextInputDialog()
    qtbot.addWidget(dialog)
    dialog.setInputTextComparisons(["taken", "used"])
    dialog.setMatchErrorMessage("in use")
    dialog.show()
    qtbot.keyClicks(dialog.findChild(W.QComboBox).lineEdit(), typed)
    click(dialog.findChild(W.QDialogButtonBox).button(W.QDialogButtonBox.StandardButton.Ok))
    assert dialog.isVisible() == bool(refused)
    assert dialog.findChild(W.QStatusBar).currentMessage() == (refused or "")
    assert dialog.getInputText() == typed
    if not refused:
        assert dialog.result() == W.QDialog.DialogCode.Accepted


def test_python_pages_hear_they_are_current(ryqt, qt, qtbot, click):
    class Page(ryqt.QPage):
        def __init__(self, title, log):
            super().__init__(title)
            self.log = log

        def isCurrentPage(self):
            self.log.append(self.getTitle())

    with pytest.raises(TypeError):
        ryqt.QPage("abstract")
    log = []
    pages = [Page(title, log) for title in ("one", "two", "three")]
    widget = ryqt.QPageWidget(pages[:2])
    qtbot.addWidget(widget)
    widget.addPage(pages[2])
    widget.show()
    buttons = {b.text(): b for b in widget.findChildren(qt.QtWidgets.QToolButton)}

    click(buttons["Next"])  # not ready: nothing happens
    for page in pages[:2]:
        page.readyToProceed.emit(page)
        click(buttons["Next"])
    click(buttons["Previous"])
    assert log == ["two", "three", "two"]
    assert all(p.parent() is not None for p in pages)  # the widget owns them now


def test_splash_progress(ryqt, qt, qtbot, tmp_path):
    path = str(tmp_path / "splash.png")
    image = qt.QtGui.QImage(1040, 600, qt.QtGui.QImage.Format.Format_RGB32)
    image.fill(qt.QtGui.QColor("steelblue"))
    assert image.save(path)

    class Splash(ryqt.SplashScreen):
        painted = 0

        def drawContents(self, painter):  # a protected virtual, overridable from Python
            Splash.painted += 1
            super().drawContents(painter)

    splash = Splash(path)
    qtbot.addWidget(splash)
    splash.setProgressMax(4)
    splash.show()
    splash.updateProgress(2)  # repaints at once, without an event loop turn
    assert (splash.progress(), splash.progressMax(), splash.isVisible()) == (2, 4, True)
    assert splash.size() == qt.QtCore.QSize(520, 340) and Splash.painted > 0
    with qtbot.waitSignal(splash.onSplashClosed):
        splash.updateProgress(4)
    assert not splash.isVisible()


def test_log_dialog_shows_a_file(ryqt, qt, qtbot, host, tmp_path):
    path = tmp_path / "app.log"
    path.write_bytes("first line\r\nsécond line\n".encode())
    dialog = ryqt.QLogDialog(host)
    dialog.showLog(str(path))
    editor = dialog.findChild(qt.QtWidgets.QPlainTextEdit)
    qtbot.waitUntil(lambda: dialog.isVisible() and editor.toPlainText() == "first line\nsécond line\n")
    assert dialog.findChild(qt.QtWidgets.QLabel).text().endswith(str(path))
    dialog.onLogLoaded("direct text", "elsewhere")  # the slots take calls from Python too
    assert editor.toPlainText() == "direct text"
