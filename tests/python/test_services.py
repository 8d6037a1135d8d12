"""Application services from Python: a Thread subclass, file helpers, completion listeners and
the library's translations."""

import gc
import threading
import weakref


def test_thread_subclass_runs_then_completes_on_gui_thread(ryqt, qtbot):
    record = []

    class Import(ryqt.Thread):
        def run(self):
            self.count = 42  # read back by postExec without locking
            record.append(("run", threading.get_ident()))

        def postExec(self):
            record.append(("postExec", threading.get_ident(), self.count))

    worker = Import()
    alive = weakref.ref(worker)
    worker.start()
    del worker  # it owns itself until it has finished
    qtbot.waitUntil(lambda: len(record) == 2)
    gui = threading.get_ident()
    assert record[0][0] == "run" and record[0][1] != gui
    assert record[1] == ("postExec", gui, 42)

    def freed():  # deleted on the next event-loop turn, and its wrapper with it
        gc.collect()
        assert alive() is None

    qtbot.waitUntil(freed)


def test_file_utility(ryqt, tmp_path):
    F = ryqt.QFileUtility
    logs = tmp_path / "a" / "logs"
    assert not F.doesDirectoryExist(str(logs))
    assert F.createDirectory(str(logs)) and F.doesDirectoryExist(str(logs))
    for name in ("b.log", "A.old.log", "c.txt", ".hidden.log"):
        (logs / name).write_text("x")
    (logs / "sub.log").mkdir()
    assert F.getFileNames(str(logs), ["*.log"]) == ["A", "b"]  # base names, case ignored in order
    assert F.getFullPaths(str(logs), ["*.log"]) == [str(logs / "A.old.log"), str(logs / "b.log")]
    assert F.getFileNames(str(logs), []) == ["A", "b", "c"]
    assert F.doesFileExist(str(logs / "c.txt")) and not F.doesDirectoryExist(str(logs / "c.txt"))
    assert not F.doesFileExist("")
    assert not F.createDirectory(str(logs / "c.txt" / "below"))  # a file in the way
    assert F.getFileNames(str(tmp_path / "new"), ["*"]) == [] and F.doesDirectoryExist(str(tmp_path / "new"))


def test_task_completed_listener_takes_a_callable(ryqt):
    calls = []
    listener = ryqt.TaskCompletedListener(lambda: calls.append("done"))
    listener.fire()
    ryqt.TaskCompletedListener(listener).fire()  # a copy calls the same callable
    assert calls == ["done", "done"]


def test_translations(ryqt, qt):
    locales = ryqt.QTranslationLoader.availableLocales()
    assert "de" in locales and locales == sorted(locales)
    assert ryqt.QTranslationLoader.availableLocales(ryqt.QTranslationLoader.translationsDirectory()) == locales
    try:
        assert ryqt.QTranslationLoader.install(qt.QtCore.QLocale("de_DE"))
        assert ryqt.QSettingsDialog([]).windowTitle() == "Einstellungen"
    finally:
        ryqt.QTranslationLoader.remove()
    assert ryqt.QSettingsDialog([]).windowTitle() == "Settings"
    assert not ryqt.QTranslationLoader.install(qt.QtCore.QLocale("en_US"))
