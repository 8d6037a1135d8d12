#!/usr/bin/env python3
"""ryQt from Python: settings, toasts and image viewing in one window.

    gallery.py [--qt 5|6] [--screenshot DIR]

--qt 6 (or RYQT_PY_MODULE=ryqt6) uses ryqt6 with PyQt6, otherwise ryqt with PyQt5.
--screenshot DIR writes each page, the settings dialog and the toasts to PNG files, then exits.
"""

import argparse
import os
import sys
import tempfile

parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("--qt", choices=("5", "6"), help="5: ryqt with PyQt5, 6: ryqt6 with PyQt6",
                    default="6" if os.environ.get("RYQT_PY_MODULE") == "ryqt6" else "5")
parser.add_argument("--screenshot", metavar="DIR", help="write PNG files to DIR, then exit")
# Whatever argparse does not know (-platform, -style...) is left to QApplication.
args, qt_args = parser.parse_known_args()

if args.qt == "6":
    from PyQt6 import QtCore, QtGui, QtWidgets
    import ryqt6 as ryqt
else:
    from PyQt5 import QtCore, QtGui, QtWidgets
    import ryqt

Qt = QtCore.Qt
Entry = ryqt.QSettingsEntry.EntryType


def swatch(colour):
    pixmap = QtGui.QPixmap(32, 32)
    pixmap.fill(QtGui.QColor(colour))
    return pixmap


class SettingsPage(QtWidgets.QWidget):
    def __init__(self, ini_path):
        super().__init__()
        self.store = QtCore.QSettings(ini_path, QtCore.QSettings.Format.IniFormat, self)
        self.stored = QtWidgets.QLabel()
        button = QtWidgets.QPushButton("Open settings…")
        button.clicked.connect(self.open_dialog)
        layout = QtWidgets.QVBoxLayout(self)
        layout.addWidget(QtWidgets.QLabel(f"<b>Settings</b>, stored in <tt>{ini_path}</tt>"))
        layout.addWidget(button, 0, Qt.AlignmentFlag.AlignLeft)
        layout.addWidget(self.stored, 1, Qt.AlignmentFlag.AlignTop)
        self.show_stored()

    def entries(self):
        # Entries keep their loaders and categories alive, so they can all be made inline.
        general = ryqt.QSettingsCategory("General", swatch("#833d96"))
        display = ryqt.QSettingsCategory("Display", swatch("#2e86c1"))
        paths = ryqt.QSettingsCategory("Paths", QtGui.QPixmap())

        def entry(kind, key, category, name, **options):
            loader = ryqt.QSettingsLoader(self.store, key)
            return ryqt.QSettingsEntry(kind, loader, category, name, **options)

        return [
            entry(Entry.String, "user/name", general, "User name", toolTip="Never saved empty"),
            entry(Entry.StringChoice, "user/language", general, "Language",
                  uiProperties={"currentData": ["en", "de", "fr", "ja"]}),
            entry(Entry.Boolean, "user/tips", general, "Show tips"),
            entry(Entry.Directory, "user/workspace", general, "Workspace", subCategory=paths),
            entry(Entry.Integer, "display/thumbnails", display, "Thumbnails",
                  uiProperties={"minimum": 1, "maximum": 12}),
            entry(Entry.Double, "display/zoomStep", display, "Zoom step",
                  uiProperties={"minimum": 1.05, "maximum": 4.0, "singleStep": 0.05}),
            entry(Entry.IntegerChoice, "display/refresh", display, "Refresh (Hz)",
                  uiProperties={"currentData": [30, 60, 120]}),
        ]

    def open_dialog(self):
        # Editors are filled once: a dialog per opening shows what is stored now.
        dialog = ryqt.QSettingsDialog(self.entries(), self)
        dialog.setAttribute(Qt.WidgetAttribute.WA_DeleteOnClose)
        dialog.saved.connect(self.show_stored)
        dialog.showSettings(self)
        return dialog

    def show_stored(self):
        lines = [f"{key} = {self.store.value(key)}" for key in self.store.allKeys()]
        self.stored.setText("\n".join(lines) or "Nothing stored yet.")


class ToastPage(QtWidgets.QWidget):
    def __init__(self):
        super().__init__()
        self.stage = QtWidgets.QFrame(frameShape=QtWidgets.QFrame.Shape.StyledPanel)
        self.toaster = ryqt.QToaster(self.stage, ryqt.QToastGravity.TopRight)
        self.clicks = QtWidgets.QLabel("No toast clicked yet.")
        self.count = 0
        buttons = QtWidgets.QHBoxLayout()
        for text, slot in (("Toast", self.toast), ("Toaster", self.notify),
                           ("Toast with a click listener", self.toast_with_listener)):
            button = QtWidgets.QPushButton(text)
            button.clicked.connect(slot)
            buttons.addWidget(button)
        layout = QtWidgets.QVBoxLayout(self)
        layout.addLayout(buttons)
        layout.addWidget(self.clicks)
        layout.addWidget(self.stage, 1)

    def toast(self):
        toast = ryqt.QToast(self.stage, "Saved <b>report.pdf</b>", 3000, ryqt.QToastGravity.TopLeft)
        toast.autoClose(True)  # the toast deletes itself once it has faded out
        toast.show()

    def notify(self):
        self.count += 1
        self.toaster.notify(f"Notification {self.count}")  # stacked below the others

    def toast_with_listener(self):
        toast = ryqt.QToast(self.stage, "Click me", 3000, ryqt.QToastGravity.TopRight)
        toast.setOnClickListener(self.clicked, True)  # any callable taking the event
        self.toaster.notify(toast)  # stacked like the toaster's own

    def clicked(self, event):
        self.clicks.setText(f"A toast over a {type(event.parent).__name__} was clicked.")


class ImagingPage(QtWidgets.QWidget):
    def __init__(self):
        super().__init__()
        # The host's data: 8-bit values, a diagonal ramp with a brighter disc in the middle.
        values = bytes((x + y) * 80 // 256 + (120 if (x - 128) ** 2 + (y - 128) ** 2 < 3600 else 0)
                       for y in range(256) for x in range(256))
        self.data = QtGui.QImage(values, 256, 256, 256, QtGui.QImage.Format.Format_Indexed8).copy()
        self.scene = ryqt.QWindowLevelGraphicsScene(256, 128, 1, 256, 0, 255, self)
        self.view = ryqt.QZoomableGraphicsView(self.scene, None)
        self.view.viewport().installEventFilter(self.view)  # Control + wheel zooms
        self.scene.setGraphicsView(self.view)
        self.view.setBackgroundBrush(QtGui.QColor("black"))
        self.scene.windowLevelChanged.connect(self.redraw)
        self.view.imageResizeRequest.connect(self.redraw)
        self.label = QtWidgets.QLabel()

        # The stack goes in a plain view: the zoom's wheel filter would swallow its wheel turns.
        self.stack = ryqt.QImageStackViewer(self)
        self.slices = [self.slice_image(i, 12) for i in range(12)]
        self.stack.setImageStack(self.slices)
        self.slice = len(self.slices) // 2
        self.stack.scrollDelta.connect(lambda notches: self.show_slice(self.slice + notches))
        layout = QtWidgets.QGridLayout(self)
        layout.addWidget(self.view, 0, 0)
        stack_view = QtWidgets.QGraphicsView(self.stack)
        stack_view.setBackgroundBrush(QtGui.QColor(20, 22, 28))
        layout.addWidget(stack_view, 0, 1)
        layout.addWidget(self.label, 1, 0, 1, 2)
        self.show_slice(self.slice)
        self.redraw()

    @staticmethod
    def slice_image(index, count):
        image = QtGui.QImage(200, 200, QtGui.QImage.Format.Format_RGB32)
        image.fill(QtGui.QColor(20, 22, 28))
        radius = 90 * (1 - abs(2 * (index + 0.5) / count - 1))  # a sphere, slice by slice
        painter = QtGui.QPainter(image)
        painter.setBrush(QtGui.QColor.fromHsv(index * 25, 150, 230))
        painter.drawEllipse(QtCore.QPointF(100, 100), radius, radius)
        painter.end()
        return image

    def redraw(self):
        # Window/level as a colour table: below level - window/2 black, above level + window/2 white.
        window, level = self.scene.currentWindow(), self.scene.currentLevel()
        low = level - window / 2
        grey = [min(255, max(0, round((v - low) * 255 / max(window, 1)))) for v in range(256)]
        self.data.setColorTable([QtGui.qRgb(g, g, g) for g in grey])
        side = max(1, min(self.view.viewport().width(), self.view.viewport().height()))
        shown = self.data.scaled(side, side, Qt.AspectRatioMode.KeepAspectRatio,
                                 Qt.TransformationMode.SmoothTransformation)
        self.scene.setImage(shown)
        self.scene.setSceneRect(QtCore.QRectF(QtCore.QPointF(0, 0), QtCore.QSizeF(shown.size())))
        self.show_slice(self.slice)

    def show_slice(self, index):
        self.slice = max(0, min(index, len(self.slices) - 1))  # the viewer knows no bounds
        self.stack.showSlice(self.slice)
        self.label.setText(f"Window {self.scene.currentWindow()}, level {self.scene.currentLevel()}; "
                           f"slice {self.slice + 1} of {len(self.slices)}")


def settle(ms):
    # Runs the event loop for a while, so that fades, slides and layouts finish.
    loop = QtCore.QEventLoop()
    QtCore.QTimer.singleShot(ms, loop.quit)
    loop.exec()


def save_shot(window, path):
    # Toasts are windows of their own, which grab() leaves out: paint them where they stand.
    image = window.grab().toImage()
    painter = QtGui.QPainter(image)
    origin = window.mapToGlobal(QtCore.QPoint(0, 0))
    for toast in window.findChildren(ryqt.QToast):
        if toast.isVisible() and toast.isWindow():
            painter.drawPixmap(toast.geometry().topLeft() - origin, toast.grab())
    painter.end()
    return image.save(path)


def write_screenshots(window, folder):
    os.makedirs(folder, exist_ok=True)

    def shot(widget, name):
        settle(100)
        path = os.path.join(folder, name + ".png")
        if not save_shot(widget, path):
            raise OSError(f"cannot write {path}")
        print(path)

    window.show()
    settle(200)
    dialog = window.settings.open_dialog()
    shot(dialog, "dialog-settings")
    for button in dialog.findChildren(QtWidgets.QPushButton):
        if button.text() == "Ok":
            button.click()  # writes every value, so the page lists the store
    shot(window, "page-settings")
    window.tabs.setCurrentWidget(window.imaging)
    window.imaging.scene.setWindow(120)  # as a drag would: a narrow window, the disc stands out
    window.imaging.scene.setLevel(130)
    window.imaging.redraw()
    shot(window, "page-imaging")
    # Last: toasts are windows of their own and stay on screen when their tab is left.
    window.tabs.setCurrentWidget(window.toasts)
    settle(100)  # the stage gets its size, which places the toasts
    window.toasts.toast()
    window.toasts.notify()
    window.toasts.toast_with_listener()
    settle(700)  # fade-ins and the toaster's slides
    shot(window, "page-toasts")


class Gallery(QtWidgets.QMainWindow):
    def __init__(self, ini_path):
        super().__init__()
        self.setWindowTitle(f"ryQt from Python ({ryqt.__name__}, Qt {QtCore.QT_VERSION_STR})")
        self.settings, self.toasts, self.imaging = SettingsPage(ini_path), ToastPage(), ImagingPage()
        self.tabs = QtWidgets.QTabWidget()
        self.tabs.addTab(self.settings, "Settings")
        self.tabs.addTab(self.toasts, "Toasts")
        self.tabs.addTab(self.imaging, "Image viewing")
        self.setCentralWidget(self.tabs)
        self.resize(900, 600)


def main():
    app = QtWidgets.QApplication(sys.argv[:1] + qt_args)
    app.setOrganizationName("ryQt")
    app.setApplicationName("ryQt Python gallery")
    if args.screenshot:
        # Screenshots never touch the user's settings.
        with tempfile.TemporaryDirectory() as scratch:
            write_screenshots(Gallery(os.path.join(scratch, "gallery.ini")), args.screenshot)
        return 0
    paths = QtCore.QStandardPaths
    folder = paths.writableLocation(paths.StandardLocation.AppConfigLocation)
    window = Gallery(os.path.join(folder, "gallery.ini"))
    window.show()
    return app.exec()


if __name__ == "__main__":
    sys.exit(main())
