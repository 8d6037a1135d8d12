#include <QPage.h>
#include <QPageWidget.h>
#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsGroupWidget.h>
#include <QSettingsLoader.h>
#include <QTextInputDialog.h>
#include <QToast.h>
#include <QWindowLevelGraphicsScene.h>

#include "testing.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// What assistive technology was told: event type, object, and the object's name at that moment.
struct Heard { QAccessible::Event type; QObject* object; QString name; };
static QVector<Heard> heard;
static QString nameOf(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }
static bool wasHeard(QAccessible::Event type, QObject* object, const QString& name = {})
{
    return std::any_of(heard.cbegin(), heard.cend(), [&](const Heard& h) { return h.type == type && h.object == object && (name.isNull() || h.name == name); });
}

struct Page : QPage { using QPage::QPage; void isCurrentPage() override { Q_EMIT readyToProceed(this); } };

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // No bridge runs offscreen; without this no event reaches the handler.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
            QAccessibleInterface* iface = e->accessibleInterface();
            heard.append({e->type(), e->object(), iface ? iface->text(QAccessible::Name) : QString()});
        });
    }

    // Names and announcements: each settings editor by its entry's name (a host's own wins), each
    // "..." by what it chooses; a toast as an alert without markup; the window and level on the
    // view, announced on change; the wizard's step; the input dialog's refusal.
    void accessibility()
    {
        QSettingsLoader loader(nullptr, "k");
        QSettingsCategory general("General", QPixmap());
        QSettingsDialog dialog({{QSettingsEntry::Integer, &loader, &general, "Frames"}, {QSettingsEntry::Boolean, &loader, &general, "Smooth"},
                                {QSettingsEntry::File, &loader, &general, "Log file"}, {QSettingsEntry::Directory, &loader, &general, "Output"},
                                {QSettingsEntry::String, &loader, &general, "Plain", false, {}, {{"accessibleName", "Host name"}}}}, nullptr);
        QStringList read;
        for (QObject* child : dialog.findChild<QSettingsGroupWidget*>()->children())
            if (auto* w = qobject_cast<QWidget*>(child))
                read << nameOf(w);
        QCOMPARE(read, QStringList({"Frames:", "Frames", "Smooth", "Log file:", "Log file", "Choose file for Log file",
                                    "Output:", "Output", "Choose folder for Output", "Plain:", "Host name"}));

        QWidget parent;
        parent.show();
        QPointer<QToast> toast = new QToast(&parent, "Saved <b>report.pdf</b>", 5000, TopLeft);
        toast->show();
        QVERIFY(wasHeard(QAccessible::Alert, toast, "Saved report.pdf"));
        QCOMPARE(QAccessible::queryAccessibleInterface(toast)->role(), QAccessible::AlertMessage);

        QWindowLevelGraphicsScene scene(400, 100, 0, 1000, 0, 1000, nullptr);
        QGraphicsView view(&scene);
        scene.setGraphicsView(&view);
        scene.setLevel(120);
        QCOMPARE(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Description), QString("Window 400, level 120"));
        QVERIFY(wasHeard(QAccessible::DescriptionChanged, &view));

        QPageWidget wizard({new Page("Name"), new Page("Done")});
        QCOMPARE(nameOf(wizard.findChild<QLabel*>()), QString("Step 1 of 2"));

        QTextInputDialog input;
        input.setInputTextComparisons({"base"});
        input.setMatchErrorMessage("That name is taken.");
        input.open();
        input.findChild<QComboBox*>()->setEditText("BASE");
        input.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(wasHeard(QAccessible::Alert, input.findChild<QStatusBar*>(), "That name is taken."));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
