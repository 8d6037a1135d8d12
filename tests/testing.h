#pragma once

// Small helpers shared by the widget tests.

#include <QtTest>
#include <QtWidgets>

// The visible top-level window of type T (the last one found), or null.
template <typename T>
T* shownWindow()
{
    T* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            found = t;
    return found;
}

// Waits until w is the active window. Qt's own wait asks the platform to activate it, which
// Wayland does not allow a client (Qt then only waits for exposure): there the compositor hands
// the focus over when it maps the window, and this waits for that.
inline bool waitForActive(QWidget* w)
{
    if (!w)
        return false;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return QTest::qWaitForWindowActive(w);
    // The application's own record, not isActiveWindow(): that already answers true when the
    // platform has the focus and the activation event is still on its way, and that event
    // arriving later would close a tooltip or popup shown in between.
    return QTest::qWaitForWindowExposed(w) && QTest::qWaitFor([w] { return QApplication::activeWindow() == w->window(); });
}

// The n-th push button under `in` that shows `text`.
inline QPushButton* button(QWidget* in, const QString& text, int n = 0)
{
    for (QPushButton* b : in->findChildren<QPushButton*>())
        if (b->text() == text && n-- == 0)
            return b;
    return nullptr;
}

// Writes bytes to path; the path on success, else a null string.
inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// How many times a platform plugin said it cannot set a window's opacity since quietOffscreen():
// the library never asks one that cannot, so a fade that does is a fault.
inline int& opacityWarnings()
{
    static int count = 0;
    return count;
}

// The offscreen platform warns on every file chooser; the rest still reaches the test log.
inline void quietOffscreen()
{
    static const QtMessageHandler testlib = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
        opacityWarnings() += m.contains(QLatin1String("does not support setting window opacity"));
        if (!m.contains(QLatin1String("propagateSizeHints")))
            testlib(t, c, m);
    });
}

// Logs each busy indicator ("progress title|label") and message box ("parent title|text") as it
// is shown, dismissing the box with Ok as a user would, and the show and close of `dialog`.
struct ShownLog : QObject
{
    QStringList log;
    QObject* dialog = nullptr;
    bool eventFilter(QObject* obj, QEvent* event) override
    {
        const bool show = event->type() == QEvent::Show;
        if (auto* box = show ? qobject_cast<QMessageBox*>(obj) : nullptr) {
            log << (box->parentWidget() ? box->parentWidget()->objectName() : "none") + ' ' + box->windowTitle() + '|' + box->text();
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
        } else if (auto* progress = show ? qobject_cast<QProgressDialog*>(obj) : nullptr) {
            log << "progress " + progress->windowTitle() + '|' + progress->labelText();
        } else if ((show || event->type() == QEvent::Close) && obj == dialog) {
            log << (show ? "shown" : "closed");
        }
        return false;
    }
};
