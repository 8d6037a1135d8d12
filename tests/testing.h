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

// The offscreen platform warns on every fade step and file chooser; the rest still reaches
// the test log.
inline void quietOffscreen()
{
    static const QtMessageHandler testlib = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
        if (!m.contains(QLatin1String("window opacity")) && !m.contains(QLatin1String("propagateSizeHints")))
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
