"""Python-host benchmarks: the same work through the ryqt (or ryqt6) module and from C++.

Each scenario runs both sides alternately in this one process, on one QApplication, after a
warm-up pair: "ours" is the Python host using the module, the baseline is the same work done
by C++ code (host_work.cpp, loaded with ctypes). The ratio is what a Python host pays. Output
is the harness's own: --list, --scenario NAME, --reps N, one "RYQT_BENCH {json}" line each.

python_toast_burst_200: 200 toasts made and notified through one toaster, then closed.
python_settings_dialog_1000: 1,000 entries (nine types, 20 categories of 3 groups, values
  stored in an INI file) built with their loaders and categories, the dialog built, Ok pressed.
"""

import ctypes
import importlib
import json
import os
import statistics
import sys
import tempfile
import time

MODULE = os.environ.get("RYQT_PY_MODULE", "ryqt")
PYQT = "PyQt6" if MODULE == "ryqt6" else "PyQt5"
ryqt = importlib.import_module(MODULE)
QtCore = importlib.import_module(PYQT + ".QtCore")
QtGui = importlib.import_module(PYQT + ".QtGui")
QtWidgets = importlib.import_module(PYQT + ".QtWidgets")
sip = importlib.import_module(PYQT + ".sip")

CATEGORIES, SUB_CATEGORIES = 20, 3
CHOICES = [1, 2, 3, 4, 5]
Entry = ryqt.QSettingsEntry.EntryType
TYPES = [Entry.Double, Entry.Integer, Entry.String, Entry.Boolean, Entry.DoubleChoice,
         Entry.IntegerChoice, Entry.StringChoice, Entry.File, Entry.Directory]


def wait_all_gone(objects):
    """Untimed: blocks between events until every object has been deleted."""
    app = QtWidgets.QApplication.instance()
    while True:
        QtCore.QCoreApplication.sendPostedEvents(None, QtCore.QEvent.Type.DeferredDelete)
        if all(sip.isdeleted(o) for o in objects):
            return
        app.processEvents(QtCore.QEventLoop.ProcessEventsFlag.AllEvents
                          | QtCore.QEventLoop.ProcessEventsFlag.WaitForMoreEvents)


def toast_burst(count):
    host = QtWidgets.QWidget()
    host.setGeometry(0, 0, 480, 640)
    host.show()
    toaster = ryqt.QToaster(host, ryqt.QToastGravity.TopLeft)
    start = time.perf_counter()
    toasts = []
    for i in range(count):
        toast = ryqt.QToast(host, f"Message {i}", 0, ryqt.QToastGravity.TopLeft)
        toasts.append(toast)
        toaster.notify(toast)
    for toast in toasts:
        toast.close()
    ms = (time.perf_counter() - start) * 1000.0
    wait_all_gone(toasts)
    sip.delete(host)
    return ms


def properties(kind):
    if kind == Entry.Double:
        return {"minimum": -1000.0, "maximum": 1000.0, "decimals": 3}
    if kind == Entry.Integer:
        return {"minimum": -1000, "maximum": 100000}
    if kind in (Entry.DoubleChoice, Entry.IntegerChoice, Entry.StringChoice):
        return {"currentData": CHOICES}
    return {"placeholderText": "value"}


def settings_dialog(count, ini_path):
    store = QtCore.QSettings(ini_path, QtCore.QSettings.Format.IniFormat)
    start = time.perf_counter()
    categories = [ryqt.QSettingsCategory(f"Category {c}", QtGui.QPixmap()) for c in range(CATEGORIES)]
    groups = [ryqt.QSettingsCategory(f"Group {s % SUB_CATEGORIES}", QtGui.QPixmap())
              for s in range(CATEGORIES * SUB_CATEGORIES)]
    entries = []
    for i in range(count):
        kind = TYPES[i % 9]
        key = f"c{i % CATEGORIES}/e{i}"
        entries.append(ryqt.QSettingsEntry(kind, ryqt.QSettingsLoader(store, key), categories[i % CATEGORIES],
                                           key, False, f"Tip {i}", properties(kind), groups[i % len(groups)]))
    dialog = ryqt.QSettingsDialog(entries)
    dialog.findChild(QtWidgets.QPushButton).click()  # "Ok" is created first
    store.sync()
    ms = (time.perf_counter() - start) * 1000.0
    sip.delete(dialog)
    QtCore.QCoreApplication.sendPostedEvents()
    return ms


def store_values(count, ini_path):
    """The stored values both sides load, as the C++ settings benchmark stores them."""
    store = QtCore.QSettings(ini_path, QtCore.QSettings.Format.IniFormat)
    for i in range(count):
        kind = TYPES[i % 9]
        key = f"c{i % CATEGORIES}/e{i}"
        if kind == Entry.Double:
            value = i * 0.5
        elif kind == Entry.Integer:
            value = i
        elif kind == Entry.Boolean:
            value = i % 2 == 0
        elif kind in (Entry.DoubleChoice, Entry.IntegerChoice, Entry.StringChoice):
            value = CHOICES[i % len(CHOICES)]
        else:
            value = f"/tmp/value/{i}"
        store.setValue(key, value)
    store.sync()


def peak_rss_mb():
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def reset_peak_rss(libc):
    libc.malloc_trim(0)
    with open("/proc/self/clear_refs", "w") as clear:
        clear.write("5")


def main(argv):
    work = ctypes.CDLL(os.environ["RYQT_BENCH_HOST_LIB"])
    work.ryqt_host_toast_burst.restype = ctypes.c_double
    work.ryqt_host_toast_burst.argtypes = [ctypes.c_int]
    work.ryqt_host_settings_dialog.restype = ctypes.c_double
    work.ryqt_host_settings_dialog.argtypes = [ctypes.c_int, ctypes.c_char_p]
    libc = ctypes.CDLL(None)
    tmp = tempfile.TemporaryDirectory()
    ini = os.path.join(tmp.name, "bench.ini")

    scenarios = {
        "python_toast_burst_200": (lambda: toast_burst(200), lambda: work.ryqt_host_toast_burst(200), 7, None),
        "python_settings_dialog_1000": (lambda: settings_dialog(1000, ini),
                                        lambda: work.ryqt_host_settings_dialog(1000, ini.encode()), 7,
                                        lambda: store_values(1000, ini)),
    }
    args = argv[1:]
    if "--list" in args:
        print("\n".join(scenarios))
        return 0
    only = args[args.index("--scenario") + 1] if "--scenario" in args else None
    reps_override = int(args[args.index("--reps") + 1]) if "--reps" in args else 0
    if only is not None and only not in scenarios:
        print(f"no scenario named {only}", file=sys.stderr)
        return 2

    app = QtWidgets.QApplication(argv[:1])
    for name, (ours, baseline, reps, prepare) in scenarios.items():
        if only is not None and name != only:
            continue
        reps = reps_override or reps
        if prepare:
            prepare()
        if reps > 1:
            baseline()
            ours()
        ours_ms, base_ms, ours_peak, base_peak = [], [], 0.0, 0.0
        for _ in range(reps):
            reset_peak_rss(libc)
            base_ms.append(baseline())
            base_peak = max(base_peak, peak_rss_mb())
            reset_peak_rss(libc)
            ours_ms.append(ours())
            ours_peak = max(ours_peak, peak_rss_mb())
        o, b = statistics.median(ours_ms), statistics.median(base_ms)
        result = {"scenario": name, "ours_ms": round(o, 3), "baseline_ms": round(b, 3),
                  "ratio": round(o / b if b > 0 else 0.0, 3), "peak_rss_mb": round(ours_peak, 3),
                  "baseline_peak_rss_mb": round(base_peak, 3), "qt": QtCore.qVersion(),
                  "host": f"Python {sys.version_info.major}.{sys.version_info.minor}, {MODULE}"}
        print("RYQT_BENCH " + json.dumps(result, separators=(",", ":")), flush=True)
    del app
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
