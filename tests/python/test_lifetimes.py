"""Object lifetimes across the binding. C++ often only points at what Python hands it (loaders,
categories, scenes, highlighters, listeners), and some objects delete themselves (toasts,
threads, loaders): each case drops every Python reference it can, collects garbage, then uses
what is left. A missing keep-alive shows as a crash, a lost override or a wrong value."""

import gc
import types
import weakref

import pytest

CASES = []


def case(*variants):
    """Adds a row to the table for each variant (passed on to the case), or one without."""

    def add(run):
        for variant in variants or (None,):
            CASES.append(pytest.param(run, variant, id=run.__name__ + (f"-{variant}" if variant else "")))
        return run

    return add


@pytest.fixture
def ctx(ryqt, qt, qtbot, settings, ini, tmp_path, press, click_body):
    return types.SimpleNamespace(r=ryqt, qt=qt, bot=qtbot, settings=settings, ini=ini, tmp=tmp_path,
                                 press=press, click_body=click_body)


@pytest.mark.parametrize("run, variant", CASES)
def test_lifetime(ctx, run, variant):
    run(ctx, *([] if variant is None else [variant]))


def ini_store(c):
    return c.qt.QtCore.QSettings(str(c.tmp / "inline.ini"), c.qt.QtCore.QSettings.Format.IniFormat)


def parent_widget(c):
    widget = c.qt.QtWidgets.QWidget()
    widget.resize(400, 300)
    widget.show()
    return widget


class Boom(Exception):
    pass


class Callback:
    """A callable whose life a weak reference can watch."""

    def __init__(self, log, tag):
        self.log, self.tag = log, tag

    def __call__(self, *args):
        self.log.append(self.tag)


@case()
def entries_built_inline(c):
    E = c.r.QSettingsEntry.EntryType
    dialog = c.r.QSettingsDialog([
        c.r.QSettingsEntry(E.Integer, c.r.QSettingsLoader(ini_store(c), "count"),
                           c.r.QSettingsCategory("General", c.qt.QtGui.QPixmap()), "Count", uiProperties={"maximum": 1000}),
        c.r.QSettingsEntry(E.String, c.r.QSettingsLoader(c.settings, "name"),
                           c.r.QSettingsCategory("Other", c.qt.QtGui.QPixmap()), "Name", True,
                           subCategory=c.r.QSettingsCategory("Sub", c.qt.QtGui.QPixmap())),
    ])
    c.bot.addWidget(dialog)
    gc.collect()
    dialog.findChild(c.qt.QtWidgets.QSpinBox).setValue(42)
    c.press(dialog, "Ok")
    assert c.ini() == {"name": ""}  # optional: saved empty
    inline = c.tmp / "inline.ini"  # the inline store flushes on its own, at an event-loop turn
    c.bot.waitUntil(lambda: inline.exists() and "count=42" in inline.read_text().split())


@case()
def entry_and_loader_copies(c):
    E = c.r.QSettingsEntry.EntryType
    entry = c.r.QSettingsEntry(c.r.QSettingsEntry(E.Integer, c.r.QSettingsLoader(c.settings, "n"),
                                                  c.r.QSettingsCategory("Copied", c.qt.QtGui.QPixmap()), "N"))
    loader = c.r.QSettingsLoader(c.r.QSettingsLoader(ini_store(c), "k"))
    gc.collect()
    assert entry.category().name() == "Copied" and entry.loader().save(5)
    assert loader.save("v") and loader.load() == (True, "v")
    assert c.ini() == {"n": "5"}


@case()
def group_and_category_widgets_keep_temporary_entries(c):
    E, pixmap = c.r.QSettingsEntry.EntryType, c.qt.QtGui.QPixmap()
    c.settings.setValue("n", 9)
    group = c.r.QSettingsGroupWidget("Group")
    c.bot.addWidget(group)
    editor = group.addEntry(c.r.QSettingsEntry(E.Integer, c.r.QSettingsLoader(c.settings, "n"),
                                               c.r.QSettingsCategory("c", pixmap), "N"))
    page = c.r.QSettingsCategoryWidget("Page")
    c.bot.addWidget(page)
    loader, kept = c.r.QSettingsLoader(c.settings, "flag"), []
    # Tabs are keyed by the sub-category's address: one freed too early would hand its
    # address, and so its tab, to the next one made.
    for name in ("First", "Second"):
        sub = c.r.QSettingsCategory(name, pixmap)
        kept.append(weakref.ref(sub))
        page.addEntry(c.r.QSettingsEntry(E.Boolean, loader, None, name, subCategory=sub))
        del sub
        gc.collect()
    tabs = page.findChild(c.qt.QtWidgets.QTabWidget)
    assert editor.value() == 9
    assert [tabs.tabText(i) for i in range(tabs.count())] == ["First", "Second"]
    assert all(ref() is not None for ref in kept)


@case()
def view_keeps_an_inline_scene(c):
    view = c.r.QZoomableGraphicsView(c.r.QWindowLevelGraphicsScene(7, 8, 0, 10, 0, 10, None), None)
    c.bot.addWidget(view)
    gc.collect()
    assert isinstance(view.scene(), c.r.QWindowLevelGraphicsScene)
    assert (view.scene().currentWindow(), view.scene().currentLevel()) == (7, 8)


@case()
def listener_passed_without_a_name(c):
    host = parent_widget(c)
    c.bot.addWidget(host)
    toast = c.r.QToast(host, "nameless", 0, c.r.QToastGravity.TopLeft)
    parents = []
    toast.setOnClickListener(lambda event: parents.append(event.parent), True)
    gc.collect()
    toast.show()
    c.click_body(toast)
    assert parents == [host]


@case("callable", "QToastListener")
def replaced_listener_is_freed(c, kind):
    toast = c.r.QToast(None, "replace", 0, c.r.QToastGravity.TopLeft)
    log = []
    first = Callback(log, "first")
    gone = weakref.ref(first)
    listen = c.r.QToastListener if kind == "QToastListener" else (lambda f: f)
    toast.setOnClickListener(listen(first), False)
    del first
    second = Callback(log, "second")
    toast.setOnClickListener(listen(second), False)
    gc.collect()
    assert gone() is None
    toast.show()
    c.click_body(toast)
    assert log == ["second"]
    gone = weakref.ref(second)
    del second
    toast.setOnClickListener(None, False)  # none at all frees the last one too
    gc.collect()
    assert gone() is None
    c.click_body(toast)
    assert log == ["second"]
    toast.close()


@case()
def listener_kept_by_python_outlives_its_toasts(c):
    log = []
    listener = c.r.QToastListener(Callback(log, "kept"))
    toasts = [c.r.QToast(None, f"shared {i}", 0, c.r.QToastGravity.TopLeft) for i in range(2)]
    for toast in toasts:  # one listener on two toasts: each must not free it for the other
        toast.setOnClickListener(listener, True)
        toast.show()
        c.click_body(toast)
    c.bot.waitUntil(lambda: all(c.qt.sip.isdeleted(t) for t in toasts))
    gc.collect()
    listener.fire(c.r.QToastEvent())
    assert log == ["kept"] * 3


@case("sip.delete", "deleteLater")
def parent_deleted_while_toasts_fade(c, delete):
    parent = parent_widget(c)
    toaster = c.r.QToaster(parent, c.r.QToastGravity.TopRight)
    log, toasts, listeners = [], [], []
    for i in range(3):
        toasts.append(c.r.QToast(parent, f"fading {i}", 10, c.r.QToastGravity.TopLeft))
        listeners.append(Callback(log, i))
        toasts[-1].setOnClickListener(listeners[-1], False)
        toasts[-1].autoClose(True)
        toaster.notify(toasts[-1])
    toasts[0].close()
    c.bot.waitUntil(lambda: 0 < toasts[1].getOpacity() < 1)  # mid-fade
    c.qt.sip.delete(parent) if delete == "sip.delete" else parent.deleteLater()
    c.bot.wait(500)
    assert all(c.qt.sip.isdeleted(t) for t in toasts) and c.qt.sip.isdeleted(toaster)
    refs = [weakref.ref(listener) for listener in listeners]
    del listeners
    gc.collect()
    assert [ref() for ref in refs] == [None] * 3  # each toast freed its listener


@case()
def unparented_toast_dropped_after_show(c):
    def toasts():
        return [w for w in c.qt.QtWidgets.QApplication.topLevelWidgets() if w.objectName() == "dropped"]

    toast = c.r.QToast(None, "on my own", 50, c.r.QToastGravity.TopLeft)
    toast.setObjectName("dropped")
    toast.autoClose(True)
    toast.show()
    del toast
    gc.collect()
    assert [(type(t), t.isVisible()) for t in toasts()] == [(c.r.QToast, True)]
    c.bot.waitUntil(lambda: toasts() == [])


def worker(ryqt, log, fail=None):
    """A Thread subclass of the module under test, logging its steps and maybe raising in one."""

    class Worker(ryqt.Thread):
        def run(self):
            log.append("run")
            if fail == "run":
                raise Boom()

        def postExec(self):
            log.append("postExec")
            if fail == "postExec":
                raise Boom()

    return Worker()


@case()
def thread_dropped_after_start(c):
    log = []
    worker(c.r, log).start()
    gc.collect()
    c.bot.waitUntil(lambda: log == ["run", "postExec"])


@case()
def pages_passed_inline(c):
    log = []

    class Page(c.r.QPage):
        def isCurrentPage(self):
            log.append(self.getTitle())

    widget = c.r.QPageWidget([Page("one"), Page("two")])
    c.bot.addWidget(widget)
    widget.addPage(Page("three"))
    gc.collect()
    pages = widget.findChildren(c.r.QPage)
    assert sorted(p.getTitle() for p in pages) == ["one", "three", "two"]
    for page in pages:
        page.readyToProceed.emit(page)
    next_button = [b for b in widget.findChildren(c.qt.QtWidgets.QToolButton) if b.text() == "Next"][0]
    next_button.click()
    next_button.click()
    assert log == ["two", "three"]


LINE = "2024-01-01 12:00:00 INFO something happened in a module far away\n"
LINES = 100_000  # about 6.5 MB


def big_log(c):
    path = c.tmp / "big.log"
    path.write_text(LINE * LINES)
    return str(path)


@case("sip.delete dialog", "deleteLater dialog", "sip.delete parent")
def log_dialog_deleted_mid_load(c, delete):
    path = big_log(c)
    parent = parent_widget(c)
    dialog = c.r.QLogDialog(parent)
    dialog.showLog(path)
    c.bot.wait(1)
    assert not dialog.isVisible()  # still loading
    if delete == "deleteLater dialog":
        dialog.deleteLater()
    else:
        c.qt.sip.delete(parent if "parent" in delete else dialog)
    c.bot.waitUntil(lambda: c.qt.sip.isdeleted(dialog))
    c.bot.wait(500)  # late results from the worker threads land on nothing
    if not c.qt.sip.isdeleted(parent):
        c.qt.sip.delete(parent)


@case()
def log_loader_dropped_mid_read(c):
    texts = []
    loader = c.r.QLogLoader(big_log(c), None)
    loader.readFile.connect(lambda text, path: texts.append(len(text)))
    loader.start()
    del loader
    gc.collect()
    c.bot.waitUntil(lambda: texts == [len(LINE) * LINES], timeout=20000)


@case()
def highlighter_held_only_by_the_dialog(c):
    G = c.qt.QtGui
    red = G.QColor("red")

    class Errors(G.QSyntaxHighlighter):
        def highlightBlock(self, text):
            if "ERROR" in text:
                fmt = G.QTextCharFormat()
                fmt.setForeground(red)
                self.setFormat(0, len(text), fmt)

    path = c.tmp / "small.log"
    path.write_text("INFO fine\nERROR broken\n")
    dialog = c.r.QLogDialog()
    c.bot.addWidget(dialog)
    dialog.setSyntaxHighlighter(Errors(None))
    gc.collect()
    dialog.showLog(str(path))
    document = dialog.findChild(c.qt.QtWidgets.QPlainTextEdit).document()

    def coloured():
        block = document.findBlockByNumber(1)
        assert block.text() == "ERROR broken"
        assert [r.format.foreground().color() for r in block.layout().formats()] == [red]

    c.bot.waitUntil(coloured)


def raise_boom(*args):
    raise Boom()


@pytest.mark.qt_no_exception_capture
@pytest.mark.parametrize("source", ["PyQt slot", "toast listener", "task listener", "Thread.run",
                                    "Thread.postExec", "QPage.isCurrentPage"])
def test_callback_exceptions_reach_excepthook(ryqt, qt, qtbot, click_body, excepthook, source):
    log = []
    if source == "PyQt slot":  # the behaviour every other row must match
        qt.QtCore.QTimer.singleShot(0, raise_boom)
    elif source == "toast listener":
        toast = ryqt.QToast(None, "raises", 0, ryqt.QToastGravity.TopLeft)
        toast.setOnClickListener(raise_boom, True)
        toast.show()
        click_body(toast)
        qtbot.waitUntil(lambda: qt.sip.isdeleted(toast))  # and the close still goes ahead
    elif source == "task listener":
        ryqt.TaskCompletedListener(raise_boom).fire()
    elif source.startswith("Thread"):
        worker(ryqt, log, fail=source.split(".")[1]).start()
        qtbot.waitUntil(lambda: log == ["run", "postExec"])
    else:
        class Page(ryqt.QPage):
            isCurrentPage = raise_boom

        pages = [Page("one"), Page("two")]
        widget = ryqt.QPageWidget(pages)
        qtbot.addWidget(widget)
        pages[0].readyToProceed.emit(pages[0])
        [b for b in widget.findChildren(qt.QtWidgets.QToolButton) if b.text() == "Next"][0].click()
        assert widget.findChild(qt.QtWidgets.QStackedWidget).currentIndex() == 1
    qtbot.waitUntil(lambda: excepthook == [Boom])
