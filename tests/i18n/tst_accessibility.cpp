#include <QPage.h>
#include <QPageWidget.h>
#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsEntry.h>
#include <QSettingsGroupWidget.h>
#include <QSettingsLoader.h>
#include <QTextInputDialog.h>
#include <QToast.h>
#include <QWindowLevelGraphicsScene.h>

#include "testing.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// What assistive technology was told, as it was told: event type, object, and the role and
// name the object had at that moment.
struct Heard
{
    QAccessible::Event type;
    QObject* object;
    QAccessible::Role role;
    QString name;
};
static QVector<Heard> heard;
static void listen(QAccessibleEvent* event)
{
    QAccessibleInterface* iface = event->accessibleInterface();
    heard.append({event->type(), event->object(), iface ? iface->role() : QAccessible::NoRole,
                  iface ? iface->text(QAccessible::Name) : QString()});
}

static QAccessibleInterface* a11y(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
static QString nameOf(QObject* object) { return a11y(object)->text(QAccessible::Name); }

// Tabs (or back-tabs) to target, failing after a lap, then presses keys where the focus is, as
// the user's keyboard would. A null target presses the keys where the focus already is.
static bool go(QWidget* target, std::initializer_list<int> keys = {}, bool back = false)
{
    for (int i = 0; target && i < 40 && QApplication::focusWidget() != target; ++i)
        if (QApplication::focusWidget())
            QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab);
    if (!QApplication::focusWidget() || (target && QApplication::focusWidget() != target))
        return false;
    for (int k : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k));
    return true;
}

struct Page : QPage
{
    QLineEdit* edit = new QLineEdit(this);
    explicit Page(const QString& title) : QPage(title)
    {
        (new QVBoxLayout(this))->addWidget(edit);
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            text.isEmpty() ? emit resetReadyToProceed(this) : emit readyToProceed(this);
        });
    }
    void isCurrentPage() override {}
};

class TestAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // No bridge runs offscreen; without this no event reaches the handler.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
        QAccessible::installUpdateHandler(listen);
    }
    void init() { heard.clear(); }

    // Every editor is announced by its entry's name, a host's own name wins, and each "..."
    // says what it chooses; the visible labels are as before.
    void settingsEditorNames()
    {
        QSettings store(m_dir.filePath("names.ini"), QSettings::IniFormat);
        QSettingsLoader loader(&store, "k");
        QSettingsCategory general("General", QPixmap());
        const QList<std::pair<QSettingsEntry::EntryType, QString>> rows{
            {QSettingsEntry::Double, "Gain"}, {QSettingsEntry::Integer, "Frames"},
            {QSettingsEntry::String, "Title"}, {QSettingsEntry::Boolean, "Smooth"},
            {QSettingsEntry::StringChoice, "Palette"}, {QSettingsEntry::File, "Log file"},
            {QSettingsEntry::Directory, "Output"}};
        QList<QSettingsEntry> entries;
        for (const auto& [type, name] : rows)
            entries << QSettingsEntry(type, &loader, &general, name);
        entries << QSettingsEntry(QSettingsEntry::String, &loader, &general, "Plain", false, QString(),
                                  {{"accessibleName", "Host name"}});
        QSettingsDialog dialog(entries, nullptr);
        // Row by row, what a screen reader reads for each widget (a label reads its text).
        QStringList read;
        for (QObject* child : dialog.findChild<QSettingsGroupWidget*>()->children())
            if (auto* w = qobject_cast<QWidget*>(child))
                read << nameOf(w);
        QCOMPARE(read, QStringList({"Gain:", "Gain", "Frames:", "Frames", "Title:", "Title", "Smooth",
                                    "Palette:", "Palette", "Log file:", "Log file", "Choose file for Log file",
                                    "Output:", "Output", "Choose folder for Output", "Plain:", "Host name"}));
        for (QPushButton* b : dialog.findChild<QSettingsGroupWidget*>()->findChildren<QPushButton*>())
            QCOMPARE(b->text(), QString("..."));
    }

    // The whole dialog from the keyboard: pick the second category, edit on both pages, and
    // confirm with Ok; then once more, leaving with Cancel and with Escape.
    void settingsByKeyboard()
    {
        QSettings store(m_dir.filePath("keys.ini"), QSettings::IniFormat);
        QSettingsLoader count(&store, "count"), name(&store, "name"), smooth(&store, "smooth"), mode(&store, "mode"),
            scale(&store, "scale");
        QSettingsCategory first("First", QPixmap()), second("Second", QPixmap()), advanced("Advanced", QPixmap());
        const QList<QSettingsEntry> entries{
            QSettingsEntry(QSettingsEntry::Integer, &count, &first, "Count"),
            QSettingsEntry(QSettingsEntry::String, &name, &first, "Name"),
            QSettingsEntry(QSettingsEntry::Double, &scale, &first, "Scale", false, QString(), {}, &advanced),
            QSettingsEntry(QSettingsEntry::Boolean, &smooth, &second, "Smooth"),
            QSettingsEntry(QSettingsEntry::StringChoice, &mode, &second, "Mode", false, QString(),
                           {{"currentData", QStringList{"fast", "exact"}}})};
        QSettingsDialog dialog(entries, nullptr);
        QSignalSpy saved(&dialog, &QSettingsDialog::saved);
        auto editor = [&](const QString& accessibleName) {
            for (QWidget* w : dialog.findChildren<QWidget*>())
                if (w->accessibleName() == accessibleName)
                    return w;
            return static_cast<QWidget*>(nullptr);
        };
        auto* list = dialog.findChild<QListWidget*>();
        auto* stack = dialog.findChild<QStackedWidget*>();
        QPushButton *ok = button(&dialog, "Ok"), *cancel = button(&dialog, "Cancel");

        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), list); // the keyboard starts at the categories
        QVERIFY(go(editor("Count"), {Qt::Key_Up, Qt::Key_Up}) && go(editor("Name"), {Qt::Key_A, Qt::Key_D, Qt::Key_A}));
        QVERIFY(go(stack->widget(0)->findChild<QTabBar*>(), {Qt::Key_Right}) && go(editor("Scale"), {Qt::Key_Up})); // sub-category tabs
        QVERIFY(go(list, {Qt::Key_Down}, true));
        QCOMPARE(stack->currentIndex(), 1);
        QVERIFY(go(editor("Smooth"), {Qt::Key_Space}) && go(editor("Mode"), {Qt::Key_Down}) && go(ok));
        QCOMPARE(QApplication::focusWidget()->nextInFocusChain(), cancel); // Ok, Cancel come last
        QVERIFY(go(nullptr, {Qt::Key_Return}));
        QCOMPARE(saved.count(), 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(store.value("count").toInt(), 2);
        QCOMPARE(store.value("name").toString(), QString("ada"));
        QCOMPARE(store.value("smooth").toBool(), true);
        QCOMPARE(store.value("mode").toString(), QString("exact"));
        QCOMPARE(store.value("scale").toDouble(), 1.0);

        // The keyboard starts at the categories also with no entries, or a compound editor last.
        for (const auto& list : {QList<QSettingsEntry>{}, entries.mid(0, 1)}) {
            QSettingsDialog other(list, nullptr);
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QCOMPARE(QApplication::focusWidget(), other.findChild<QListWidget*>());
            QVERIFY(go(nullptr, {Qt::Key_Backtab}));
            QCOMPARE(QApplication::focusWidget(), other.findChildren<QPushButton*>().value(1));
        }

        // Cancel and Escape, each on a dialog of its own: both leave the store alone.
        for (int k : {Qt::Key_Space, Qt::Key_Escape}) {
            QSettingsDialog again(entries, nullptr);
            QSignalSpy canceled(&again, &QSettingsDialog::canceled);
            again.show();
            QVERIFY(QTest::qWaitForWindowActive(&again));
            QVERIFY(go(k == Qt::Key_Space ? button(&again, "Cancel") : nullptr, {k}, true));
            QVERIFY(!again.isVisible());
            QCOMPARE(canceled.count(), k == Qt::Key_Space ? 1 : 0);
        }
        QCOMPARE(saved.count(), 1);
        QCOMPARE(store.value("count").toInt(), 2);
    }

    // A toast is heard the moment it appears, as an alert named by its text without markup;
    // a host's own accessible name wins.
    void toastAlert()
    {
        QWidget parent;
        parent.resize(400, 300);
        parent.show();
        QPointer<QToast> toast = new QToast(&parent, "Saved <b>report.pdf</b>", 5000, TopLeft);
        QCOMPARE(a11y(toast)->role(), QAccessible::AlertMessage);
        toast->show();
        QVector<Heard> alerts;
        for (const Heard& h : qAsConst(heard))
            if (h.type == QAccessible::Alert)
                alerts << h;
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].object, toast.data());
        QCOMPARE(alerts[0].role, QAccessible::AlertMessage);
        QCOMPARE(alerts[0].name, QString("Saved report.pdf"));
        toast->setAccessibleName("Report saved");
        QCOMPARE(nameOf(toast), QString("Report saved"));
        toast->close();
        QTRY_VERIFY(toast.isNull());
    }

    // The current window and level are readable on the view, and a change is announced,
    // whether it comes from the host or from a drag.
    void windowLevelDescribed()
    {
        QWindowLevelGraphicsScene scene(400, 100, 0, 1000, 0, 1000, nullptr);
        QGraphicsView view(&scene);
        scene.setGraphicsView(&view);
        QCOMPARE(a11y(&view)->text(QAccessible::Description), QString("Window 400, level 100"));
        scene.setLevel(120);
        QCOMPARE(a11y(&view)->text(QAccessible::Description), QString("Window 400, level 120"));
        QVERIFY(std::any_of(heard.cbegin(), heard.cend(), [&](const Heard& h) {
            return h.type == QAccessible::DescriptionChanged && h.object == &view;
        }));

        QImage image(500, 500, QImage::Format_RGB32);
        image.fill(Qt::gray);
        scene.setImage(image);
        scene.setSceneRect(0, 0, 500, 500);
        auto send = [&](QEvent::Type type, QPointF from, QPointF to) {
            QGraphicsSceneMouseEvent event(type);
            event.setButton(Qt::LeftButton);
            event.setButtons(Qt::LeftButton);
            event.setLastScenePos(from);
            event.setScenePos(to);
            type == QEvent::GraphicsSceneMousePress ? scene.mousePressEvent(&event) : scene.mouseMoveEvent(&event);
        };
        send(QEvent::GraphicsSceneMousePress, {100, 100}, {100, 100});
        send(QEvent::GraphicsSceneMouseMove, {100, 100}, {120, 100});
        send(QEvent::GraphicsSceneMouseMove, {120, 100}, {130, 100});
        QCOMPARE(scene.currentWindow(), 410);
        QCOMPARE(a11y(&view)->text(QAccessible::Description), QString("Window 410, level 120"));
    }

    // Next and Previous by keyboard alone, with the step label, the group box and both
    // buttons readable on the way.
    void pageWidgetByKeyboard()
    {
        QList<QPage*> pages{new Page("Name"), new Page("Details"), new Page("Done")};
        QPageWidget widget(pages);
        QToolButton *next = nullptr, *prev = nullptr;
        for (QToolButton* b : widget.findChildren<QToolButton*>())
            (b->text() == "Next" ? next : prev) = b;
        auto step = [&] {
            QStringList texts;
            QAccessibleInterface* root = a11y(&widget);
            for (int i = 0; i < root->childCount(); ++i)
                if (root->child(i)->role() == QAccessible::StaticText)
                    texts << root->child(i)->text(QAccessible::Name);
            return texts.join(',');
        };
        widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&widget));
        QCOMPARE(step(), QString("Step 1 of 3"));
        QCOMPARE(nameOf(next), QString("Next"));
        QCOMPARE(a11y(next)->role(), QAccessible::Button);

        static_cast<Page*>(pages[0])->edit->setFocus();
        QVERIFY(go(nullptr, {Qt::Key_X}) && go(next, {Qt::Key_Space}));
        QCOMPARE(step(), QString("Step 2 of 3"));
        QCOMPARE(a11y(widget.findChild<QGroupBox*>())->text(QAccessible::Name), QString("Details"));
        // Next is disabled on an unready page: the keyboard is not left stranded on it.
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isEnabled());
        QVERIFY(go(static_cast<Page*>(pages[1])->edit, {Qt::Key_Y}) && go(next, {Qt::Key_Space}));
        QCOMPARE(step(), QString("Step 3 of 3"));
        QVERIFY(next->isHidden());
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
        QCOMPARE(nameOf(prev), QString("Previous"));
        QVERIFY(go(prev, {Qt::Key_Space, Qt::Key_Space}));
        QCOMPARE(step(), QString("Step 1 of 3"));
        QVERIFY(prev->isHidden());
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
    }

    // Typed, refused, corrected and confirmed from the keyboard; the prompt and the refusal can
    // be read, and the refusal is announced.
    void textInputByKeyboard()
    {
        QTextInputDialog dialog;
        dialog.setLabelText("Layer name:");
        dialog.setInputTextComparisons({"base"});
        dialog.setMatchErrorMessage("That name is taken.");
        auto* status = dialog.findChild<QStatusBar*>();
        dialog.open();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(nameOf(dialog.findChild<QLabel*>()), QString("Layer name:"));
        QVERIFY(qobject_cast<QComboBox*>(QApplication::focusWidget()->parentWidget())
                || qobject_cast<QComboBox*>(QApplication::focusWidget()));

        QVERIFY(go(nullptr, {Qt::Key_Return}) && dialog.isVisible());
        QCOMPARE(a11y(status)->role(), QAccessible::StatusBar);
        QCOMPARE(nameOf(status), QString("Input cannot be empty."));
        QTest::keyClicks(QApplication::focusWidget(), "BASE");
        QVERIFY(status->isHidden());
        heard.clear();
        QVERIFY(go(nullptr, {Qt::Key_Return}));
        QCOMPARE(nameOf(status), QString("That name is taken."));
        QVERIFY(std::any_of(heard.cbegin(), heard.cend(), [&](const Heard& h) {
            return h.type == QAccessible::Alert && h.object == status && h.name == "That name is taken.";
        }));
        QVERIFY(go(nullptr, {Qt::Key_Backspace, Qt::Key_Return}));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.getInputText(), QString("BAS"));

        QTextInputDialog second;
        second.open();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        QPushButton* cancel = second.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        QCOMPARE(nameOf(cancel), QString("Cancel"));
        QVERIFY(go(cancel, {Qt::Key_Space}));
        QVERIFY(!second.isVisible());
        QCOMPARE(second.result(), int(QDialog::Rejected));

    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
