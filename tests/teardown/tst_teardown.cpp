#include <QLogDialog.h>
#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsEntry.h>
#include <QSettingsGroupWidget.h>
#include <QTextInput.h>
#include <QToast.h>
#include <QToaster.h>

#include "testing.h"

#include <functional>

// Everything a host can take away while a widget of the library is busy: the widget's parent,
// the widget itself, or the host window around both; at once or by deleteLater().
enum Victim { Parent, Self, Host };
enum Way { Delete, DeleteLater };

// Deletes the victim of the row; self is what the subject shows at that stage.
using Strike = std::function<void(QObject* self)>;

// One asynchronous piece of the library. run() builds it on parent, drives it to the stage with
// that index, calls strike once, and may go on using whatever survived (through QPointer).
// A subject with a modal loop strikes from inside the loop and returns when the loop ends.
// To cover another widget, append a subject to subjects().
struct Subject
{
    QString name;
    QStringList stages;
    std::function<void(QWidget* parent, int stage, const Strike& strike)> run;
};

static void toasts(QWidget* parent, int stage, const Strike& strike, bool strikeToast)
{
    auto* toaster = new QToaster(parent, TopRight);
    QList<QPointer<QToast>> t;
    for (int i = 0; i < 3; ++i) {
        t << new QToast(parent, QStringLiteral("toast %1").arg(i), 3000, TopLeft);
        t.last()->autoClose(true);
        toaster->notify(t.last());
    }
    const auto self = [&](int k) -> QObject* { return strikeToast ? static_cast<QObject*>(t[k]) : toaster; };
    if (stage == 0)  // the last one slides down while the three fade in
        return strike(self(2));
    // A toast gone before its time fails here rather than crashing the run.
    QTRY_VERIFY(t[0] && t[2] && t[2]->y() - t[0]->y() == 2 * t[0]->height());
    if (stage == 1)
        return strike(self(1));
    QVERIFY(t[0] && t[1] && t[2]);
    const int y = t[2]->y();
    t[0]->close();
    QTRY_VERIFY(t[2] && t[2]->y() < y);  // the others slide up
    strike(self(2));
}

// A panel holding one file entry, on parent; its "..." shows the chooser.
static QSettingsGroupWidget* panel(QWidget* parent)
{
    auto* group = new QSettingsGroupWidget(QStringLiteral("files"), parent);
    group->addEntry(QSettingsEntry(QSettingsEntry::File, nullptr, nullptr, QStringLiteral("file")));
    group->show();
    return group;
}
static QFileDialog* openChooser(QWidget* panel) { return panel->findChild<QPushButton*>()->click(), shownWindow<QFileDialog>(); }

// The user picks a file in every chooser still open.
static void pickInOpenChoosers()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible())
            dialog->selectFile(QCoreApplication::applicationFilePath()), QMetaObject::invokeMethod(dialog, "accept");
}

// Runs a modal prompt and strikes from inside its loop, after pressing Ok on the empty field
// at stage 1.
template <typename Prompt>
static void modal(QWidget* parent, int stage, const Strike& strike, Prompt prompt)
{
    QTimer::singleShot(0, parent, [=] {
        QDialog* dialog = parent->findChild<QTextInputDialog*>();
        if (stage == 1)
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        strike(dialog);
    });
    bool ok = true;
    prompt(parent, &ok);
    QVERIFY(!ok);
}

// Colours every line, so that a layout keeps the highlighter busy too.
struct Red : QSyntaxHighlighter
{
    using QSyntaxHighlighter::QSyntaxHighlighter;
    void highlightBlock(const QString& text) override { setFormat(0, int(text.size()), QColor(Qt::red)); }
};

// The log viewer while its worker reads a file, while a worker lays the text out, and from
// inside the loop of its error box. The text is long enough to go to the worker.
static void logViewer(QWidget* parent, int stage, const Strike& strike)
{
    static QTemporaryDir dir;
    static const QString text = QString(99, QLatin1Char('x')).append(QLatin1Char('\n')).repeated(6000);
    static const QString path = [] {
        QFile file(dir.filePath(QStringLiteral("t.log")));
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0 ? file.fileName() : QString();
    }();
    const QPointer<QLogDialog> dialog = new QLogDialog(parent);
    dialog->setSyntaxHighlighter(new Red(parent->window())); // goes after the dialog
    if (stage == 1)
        dialog->onLogLoaded(text, path);
    else
        dialog->showLog(stage == 0 ? path : dir.filePath(QStringLiteral("missing")));
    bool struck = stage < 2;
    if (struck)
        strike(dialog);
    QTimer poll; // the box runs a loop of its own
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!struck && qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            struck = true, strike(dialog);
    });
    poll.start(5);
    QTRY_VERIFY(struck);
    QTRY_VERIFY(!qApp->findChild<QThread*>());
}

static const QVector<Subject>& subjects()
{
    static const QVector<Subject> all = {
        {"toast", {"hidden", "fading in", "shown", "fading out", "closing"},
         [](QWidget* parent, int stage, const Strike& strike) {
             QPointer<QToast> toast = new QToast(parent, QStringLiteral("<b>busy</b>"), 300, TopLeft);
             toast->autoClose(true);
             toast->setOnClickListener(new QToastListener([](QToastEvent&) {}), true);
             if (stage > 0)
                 toast->show();
             if (stage > 1)
                 QTRY_COMPARE(toast->getOpacity(), 1.0f);
             if (stage == 3) {
                 toast->close();
                 QTRY_VERIFY(toast->getOpacity() < 1.0f);
             }
             if (stage < 4)
                 return strike(toast);
             // Between closed() and the deletion it queues.
             bool struck = false;
             QObject::connect(toast, &QToast::closed, qApp, [&] {
                 QMetaObject::invokeMethod(qApp, [&] { struck = true, strike(toast); }, Qt::QueuedConnection);
             });
             toast->close();
             QTRY_VERIFY(struck);
         }},
        {"toaster", {"sliding in", "stacked", "restacking"},
         [](QWidget* parent, int stage, const Strike& strike) { toasts(parent, stage, strike, false); }},
        {"toast in a toaster", {"sliding in", "stacked", "restacking"},
         [](QWidget* parent, int stage, const Strike& strike) { toasts(parent, stage, strike, true); }},
        {"file chooser", {"open", "closing"},
         [](QWidget* parent, int stage, const Strike& strike) {
             const QPointer<QFileDialog> dialog = openChooser(panel(parent));
             QVERIFY(dialog);
             if (stage == 1)
                 dialog->reject();  // deletes itself on the next pass of the event loop
             strike(dialog);
             pickInOpenChoosers();
         }},
        {"file chooser's editor", {"idle", "open"},
         [](QWidget* parent, int stage, const Strike& strike) {
             const QPointer<QWidget> group = panel(parent);
             if (stage == 1)
                 QVERIFY(openChooser(group));
             strike(group->findChild<QLineEdit*>());
             if (group)
                 openChooser(group);
             pickInOpenChoosers();
         }},
        {"text input", {"open", "refused"},
         [](QWidget* parent, int stage, const Strike& strike) {
             modal(parent, stage, strike, [](QWidget* p, bool* ok) {
                 QTextInput::getText(p, QStringLiteral("Name"), QStringLiteral("Name:"), QTextInputDialog::Alphabetic, ok, {QStringLiteral("taken")});
             });
         }},
        {"item input", {"open"},
         [](QWidget* parent, int stage, const Strike& strike) {
             modal(parent, stage, strike, [](QWidget* p, bool* ok) {
                 QTextInput::getItem(p, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("Pick"), QStringLiteral("Item:"), ok);
             });
         }},
        {"settings dialog", {"open", "chooser open"},
         [](QWidget* parent, int stage, const Strike& strike) {
             static QSettingsCategory files(QStringLiteral("Files"), QPixmap());  // outlives every dialog
             const QPointer<QSettingsDialog> dialog = new QSettingsDialog({QSettingsEntry(QSettingsEntry::File, nullptr, &files, QStringLiteral("file"))});
             QTimer::singleShot(0, parent, [=] {
                 if (stage == 1)
                     openChooser(dialog->findChild<QSettingsGroupWidget*>());
                 strike(dialog);
                 pickInOpenChoosers();
             });
             dialog->execSettings(parent);
             delete dialog;
         }},
        {"log viewer", {"reading", "layout", "error box"}, logViewer},
    };
    return all;
}

// Widgets still alive; the desktop stand-in of Qt 5 does not count.
static QStringList strays()
{
    QStringList names;
    for (QWidget* w : QApplication::allWidgets())
        if (w->windowType() != Qt::Desktop)
            names << QString::fromLatin1(w->metaObject()->className());
    return names;
}

class TestTeardown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietOffscreen(); }

    void teardown_data()
    {
        QTest::addColumn<int>("subject");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("victim");
        QTest::addColumn<int>("way");
        for (int s = 0; s < subjects().size(); ++s)
            for (int stage = 0; stage < subjects()[s].stages.size(); ++stage)
                for (int victim : {Parent, Self, Host})
                    for (int way : {Delete, DeleteLater})
                        QTest::addRow("%s / %s / %s / %s", qPrintable(subjects()[s].name), qPrintable(subjects()[s].stages[stage]),
                                      victim == Parent ? "parent" : victim == Self ? "itself" : "host", way == Delete ? "delete" : "deleteLater")
                            << s << stage << victim << way;
    }
    // Whatever goes, and however, nothing crashes, hangs, leaks or stays on screen; the rest
    // of the subject keeps working with what is left.
    void teardown()
    {
        QFETCH(int, subject);
        QFETCH(int, stage);
        QFETCH(int, victim);
        QFETCH(int, way);
        QPointer<QWidget> host = new QWidget;
        host->setGeometry(100, 100, 400, 300);
        QPointer<QWidget> parent = new QWidget(host);
        parent->setGeometry(20, 30, 300, 200);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));

        // A modal loop that the strike failed to end is closed after a while, and the row fails.
        bool hung = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&hung] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                hung = true, dialog->reject();
        });
        watchdog.start(5000);

        int strikes = 0;
        bool missing = false;
        subjects()[subject].run(parent, stage, [&](QObject* self) {
            ++strikes;
            QObject* target = victim == Self ? self : victim == Parent ? static_cast<QObject*>(parent) : host.data();
            if (!target)
                missing = true;
            else if (way == Delete)
                delete target;
            else
                target->deleteLater();
        });
        watchdog.stop();
        QVERIFY(!hung);
        QCOMPARE(strikes, 1);
        QVERIFY(!missing);

        delete host;
        QTRY_VERIFY2(strays().isEmpty(), qPrintable(strays().join(QLatin1Char(' '))));
    }

    // Timers and animations that outlived their rows must find nothing to touch.
    void cleanupTestCase() { QTest::qWait(500); }
};

QTEST_MAIN(TestTeardown)
#include "tst_teardown.moc"
