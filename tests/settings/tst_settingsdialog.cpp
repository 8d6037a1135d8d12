#include <QSettingsCategory.h>
#include <QSettingsCategoryWidget.h>
#include <QSettingsDialog.h>
#include <QSettingsEntry.h>
#include <QSettingsGroupWidget.h>
#include <QSettingsLoader.h>

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using Type = QSettingsEntry::EntryType;

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    QString newIni() { return m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_files)); }

    static QPushButton* button(QWidget* dialog, const QString& text)
    {
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }

    // Acts on an editor the way a user does: "type:TEXT" replaces its text, "clear" empties
    // it, "click" toggles it, "down:N" presses the down arrow N times.
    static void act(QWidget* editor, const QString& action)
    {
        editor->setFocus();
        const QString arg = action.section(':', 1);
        if (action.startsWith("type") || action == "clear") {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Backspace);
            QTest::keyClicks(editor, arg);
        } else if (action == "click") {
            QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
        } else if (action.startsWith("down")) {
            for (int i = 0; i < arg.toInt(); ++i)
                QTest::keyClick(editor, Qt::Key_Down);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QLocale::setDefault(QLocale::c());
    }

    void entryTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("optional");
        QTest::addColumn<QVariantHash>("props");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QVariant>("expected"); // invalid: the stored value must stay
        QTest::addColumn<int>("items");         // combo items expected, -1 for other editors

        const QVariant none;
        QTest::newRow("double typed") << int(Type::Double) << false
            << QVariantHash{{"decimals", 2}, {"maximum", 1000}} << QVariant(1.5)
            << "type:12.25" << QVariant(12.25) << -1;
        QTest::newRow("double untouched") << int(Type::Double) << false << QVariantHash{}
            << QVariant(2.5) << "" << QVariant(2.5) << -1;
        QTest::newRow("int clamped to default range") << int(Type::Integer) << false
            << QVariantHash{} << QVariant(150) << "" << QVariant(99) << -1;
        QTest::newRow("int in configured range") << int(Type::Integer) << false
            << QVariantHash{{"maximum", 200}} << QVariant(150) << "" << QVariant(150) << -1;
        QTest::newRow("int typed") << int(Type::Integer) << false
            << QVariantHash{{"minimum", -50}} << QVariant(3) << "type:-42" << QVariant(-42) << -1;
        QTest::newRow("absent key resets start value") << int(Type::Integer) << false
            << QVariantHash{{"value", 7}} << none << "" << QVariant(0) << -1;
        QTest::newRow("string typed") << int(Type::String) << false << QVariantHash{}
            << QVariant("old") << "type:new text" << QVariant("new text") << -1;
        QTest::newRow("required string emptied") << int(Type::String) << false << QVariantHash{}
            << QVariant("old") << "clear" << none << -1;
        QTest::newRow("optional string emptied") << int(Type::String) << true << QVariantHash{}
            << QVariant("old") << "clear" << QVariant(QString("")) << -1;
        QTest::newRow("bool toggled") << int(Type::Boolean) << false << QVariantHash{}
            << QVariant(false) << "click" << QVariant(true) << -1;
        QTest::newRow("bool absent key") << int(Type::Boolean) << false
            << QVariantHash{{"checked", true}} << none << "" << QVariant(false) << -1;
        QTest::newRow("double choice") << int(Type::DoubleChoice) << false
            << QVariantHash{{"currentData", QVariantList{0.5, 1.5, 2.5}}} << QVariant(1.5)
            << "down:1" << QVariant(2.5) << 3;
        QTest::newRow("int choice, digit strings, upper-case key") << int(Type::IntegerChoice)
            << false << QVariantHash{{"CURRENTDATA", QVariantList{"10", "20"}}} << QVariant("10")
            << "down:1" << QVariant(20) << 2;
        QTest::newRow("string choice, int data, two keys") << int(Type::StringChoice) << false
            << QVariantHash{{"currentdata", QVariantList{7}}, {"CurrentData", QVariantList{7}}}
            << none << "down:1" << QVariant("7") << 2;
        QTest::newRow("int choice without items") << int(Type::IntegerChoice) << false
            << QVariantHash{} << QVariant(5) << "down:1" << QVariant(0) << 0;
        QTest::newRow("double choice without items") << int(Type::DoubleChoice) << false
            << QVariantHash{} << none << "" << QVariant(0.0) << 0;
        QTest::newRow("string choice without items") << int(Type::StringChoice) << false
            << QVariantHash{} << QVariant("x") << "" << QVariant(QString("")) << 0;
        QTest::newRow("file, no such path") << int(Type::File) << false << QVariantHash{}
            << QVariant("/old") << "type:/no/such/file" << QVariant("/no/such/file") << -1;
        QTest::newRow("required directory emptied") << int(Type::Directory) << false
            << QVariantHash{} << QVariant("/old") << "clear" << QVariant(QString("")) << -1;
    }

    // One entry per dialog: edit it, press Ok, check the type held by the store and the text
    // that reached the INI file.
    void entryTypes()
    {
        QFETCH(int, type);
        QFETCH(bool, optional);
        QFETCH(QVariantHash, props);
        QFETCH(QVariant, stored);
        QFETCH(QString, action);
        QFETCH(QVariant, expected);
        QFETCH(int, items);

        const QString path = newIni();
        QSettings store(path, QSettings::IniFormat);
        if (stored.isValid())
            store.setValue("group/key", stored);
        QSettingsCategory page("Page", QPixmap());
        QSettingsLoader loader(&store, "group/key");
        QSettingsDialog dialog({QSettingsEntry(Type(type), &loader, &page, "Entry", optional,
                                               QString(), props)});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        auto* group = dialog.findChild<QSettingsGroupWidget*>();
        QVERIFY(group);
        QWidget* editor = nullptr;
        for (QWidget* w : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!qobject_cast<QLabel*>(w) && !qobject_cast<QPushButton*>(w))
                editor = w;
        QVERIFY(editor);
        if (items >= 0)
            QCOMPARE(qobject_cast<QComboBox*>(editor)->count(), items);
        act(editor, action);

        QTest::mouseClick(button(&dialog, "Ok"), Qt::LeftButton);
        const QVariant written = store.value("group/key");
        if (!expected.isValid()) {
            QCOMPARE(written, stored);
            return;
        }
        QCOMPARE(written.userType(), expected.userType());
        QCOMPARE(written, expected);
        store.sync();
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("group/key").toString(),
                 expected.toString());
    }

    void rowsAndUnusualEntries()
    {
        QSettings store(newIni(), QSettings::IniFormat);
        store.setValue("shared", 1);
        QSettingsCategory page("Page", QPixmap());
        QSettingsLoader shared(&store, "shared"), noStore(nullptr, "lost"),
            other(&store, "other");
        QSettingsDialog dialog({
            QSettingsEntry(Type::Integer, &shared, &page, "First", false, "tip",
                           {{"toolTip", "from properties"}, {"maximum", 500}}),
            QSettingsEntry(Type(42), &other, &page, "Unknown"),
            QSettingsEntry(Type::Boolean, &other, nullptr, "No page"),
            QSettingsEntry(Type::String, nullptr, &page, "No loader", false, QString(),
                           {{"text", "kept"}}),
            QSettingsEntry(Type::String, &noStore, &page, "No store", true, QString(),
                           {{"text", "shown"}, {"cuRRentData", QVariantList{1}}}),
            QSettingsEntry(Type::Integer, &shared, &page, "Second", false, QString(),
                           {{"maximum", 500}}),
            QSettingsEntry(Type::Boolean, &other, &page, "Check"),
        });
        auto* group = dialog.findChild<QSettingsGroupWidget*>();
        QVERIFY(group);
        auto* layout = qobject_cast<QBoxLayout*>(group->layout());
        QCOMPARE(layout->count(), 6); // the entry without a page has no row
        QCOMPARE(layout->itemAt(1)->layout()->count(), 0);
        QCOMPARE(layout->itemAt(0)->layout()->alignment(), Qt::AlignTop);

        QStringList labels;
        for (QLabel* label : group->findChildren<QLabel*>()) {
            labels << label->text();
            QCOMPARE(label->maximumWidth(), 100);
        }
        QCOMPARE(labels, QStringList({"First:", "No loader:", "No store:", "Second:"}));
        QCOMPARE(group->findChild<QCheckBox*>()->text(), QString("Check"));

        const QList<QLineEdit*> edits = group->findChildren<QLineEdit*>(
            QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(edits.at(0)->text(), QString("kept"));
        QCOMPARE(edits.at(1)->text(), QString("shown"));
        QVERIFY(edits.at(1)->dynamicPropertyNames().isEmpty()); // "currentData" is combo-only
        const QList<QSpinBox*> spins = group->findChildren<QSpinBox*>();
        QCOMPARE(spins.at(0)->toolTip(), QString("tip"));
        QCOMPARE(spins.at(1)->toolTip(), QString());

        // Both entries of the shared loader are collected; the later one in the list wins
        // and the loader writes once.
        spins.at(0)->setValue(300);
        spins.at(1)->setValue(400);
        QSignalSpy saved(&dialog, &QSettingsDialog::saved);
        QTest::mouseClick(button(&dialog, "Ok"), Qt::LeftButton);
        QCOMPARE(saved.count(), 1);
        QCOMPARE(store.value("shared"), QVariant(400));
        QCOMPARE(store.value("other"), QVariant(false));
        QCOMPARE(store.allKeys().size(), 2);
    }

    void categoriesAndTabs()
    {
        QSettings store(newIni(), QSettings::IniFormat);
        QSettingsLoader loader(&store, "k");
        QSettingsCategory a("A", QPixmap()), b("B", QPixmap()), twin("A", QPixmap());
        QSettingsCategory s1("S", QPixmap()), s2("S", QPixmap());
        auto entry = [&](QSettingsCategory* cat, QSettingsCategory* sub, const QString& name) {
            return QSettingsEntry(Type::String, &loader, cat, name, false, QString(), {}, sub);
        };
        QSettingsDialog dialog({entry(&a, &s1, "a1"), entry(&b, nullptr, "b1"),
                                entry(&a, nullptr, "a2"), entry(&twin, nullptr, "t1"),
                                entry(&a, &s1, "a3"), entry(&a, &s2, "a4")});
        auto* list = dialog.findChild<QListWidget*>();
        auto* stack = dialog.findChild<QStackedWidget*>();
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        QCOMPARE(rows, QStringList({"A", "B", "A"}));
        QCOMPARE(stack->count(), 3);

        auto* pageA = qobject_cast<QSettingsCategoryWidget*>(stack->widget(0));
        QCOMPARE(pageA->title(), QString("A"));
        pageA->setTitle("Renamed");
        auto* tabs = pageA->findChild<QTabWidget*>();
        QStringList tabTexts;
        for (int i = 0; i < tabs->count(); ++i)
            tabTexts << tabs->tabText(i);
        QCOMPARE(tabTexts, QStringList({"S", "A", "S"}));
        QCOMPARE(pageA->findChild<QLabel*>()->text(), QString("Renamed"));
        QCOMPARE(tabs->widget(0)->findChildren<QLineEdit*>().size(), 2);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(stack->currentIndex(), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QCOMPARE(stack->currentIndex(), 2);
        list->setCurrentRow(-1);
        QCOMPARE(stack->currentIndex(), 2);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("savedCount");
        QTest::addColumn<int>("canceledCount");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ok") << "Ok" << 1 << 0 << "edited";
        QTest::newRow("cancel") << "Cancel" << 0 << 1 << "orig";
        QTest::newRow("escape") << "Escape" << 0 << 0 << "orig";
    }

    // Run modally as a host would; every way out ends exec() with Rejected, and only saved()
    // and canceled() tell them apart.
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, savedCount);
        QFETCH(int, canceledCount);
        QFETCH(QString, stored);

        QSettings store(newIni(), QSettings::IniFormat);
        store.setValue("name", "orig");
        QSettingsCategory page("Page", QPixmap());
        QSettingsLoader loader(&store, "name");
        QSettingsDialog dialog({QSettingsEntry(Type::String, &loader, &page, "Name")});
        QSignalSpy saved(&dialog, &QSettingsDialog::saved);
        QSignalSpy canceled(&dialog, &QSettingsDialog::canceled);
        QSignalSpy finished(&dialog, &QDialog::finished);
        int resultSeenBySaved = -1;
        connect(&dialog, &QSettingsDialog::saved, this, [&] { resultSeenBySaved = dialog.result(); });
        auto* edit = dialog.findChild<QLineEdit*>();

        QTimer::singleShot(0, this, [&] {
            act(edit, "type:edited");
            if (how == "Escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(button(&dialog, how), Qt::LeftButton);
        });
        dialog.execSettings(nullptr);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(saved.count(), savedCount);
        if (savedCount) {
            QCOMPARE(saved.at(0).at(0), QVariant(true));
            QCOMPARE(resultSeenBySaved, int(QDialog::Accepted));
        }
        QCOMPARE(canceled.count(), canceledCount);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0), QVariant(0));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(store.value("name").toString(), stored);

        dialog.showSettings(nullptr); // shown again: the editor still holds what was typed
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit->text(), QString("edited"));
    }

    void emptyDialog()
    {
        QSettingsDialog dialog({});
        QCOMPARE(dialog.minimumSize(), QSize(600, 400));
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        QCOMPARE(dialog.findChild<QListWidget*>()->count(), 0);
        QSignalSpy saved(&dialog, &QSettingsDialog::saved);
        button(&dialog, "Ok")->click();
        QCOMPARE(saved.count(), 1);
    }

    void chooser_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("answer"); // "accept", "cancel" or "abandon"
        QTest::newRow("file chosen") << int(Type::File) << "accept";
        QTest::newRow("directory chosen") << int(Type::Directory) << "accept";
        QTest::newRow("file cancelled") << int(Type::File) << "cancel";
        QTest::newRow("panel destroyed while open") << int(Type::Directory) << "abandon";
    }

    // The chooser is Qt's own widget-based QFileDialog (the offscreen platform has no native
    // one), a window of its own that the test finds among the top-level widgets and answers
    // by typing a path into it.
    void chooser()
    {
        QFETCH(int, type);
        QFETCH(QString, answer);
        QDir(m_dir.path()).mkpath("picked dir");
        QFile file(m_dir.filePath("picked file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString picked = m_dir.filePath(type == Type::File ? "picked file.txt" : "picked dir");

        QSettings store(newIni(), QSettings::IniFormat);
        store.setValue("path", "/old");
        QSettingsLoader loader(&store, "path");
        QSettingsCategory page("Page", QPixmap());
        auto* dialog = new QSettingsDialog({QSettingsEntry(Type(type), &loader, &page, "Path")});
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::mouseClick(button(dialog, "..."), Qt::LeftButton);

        QPointer<QFileDialog> chooser;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* fd = qobject_cast<QFileDialog*>(w))
                chooser = fd;
        QVERIFY(chooser);
        QVERIFY(chooser->isVisible());
        QCOMPARE(chooser->windowFilePath(), QString("/old"));
        QCOMPARE(chooser->fileMode(),
                 type == Type::File ? QFileDialog::ExistingFile : QFileDialog::Directory);
        QCOMPARE(chooser->testOption(QFileDialog::ShowDirsOnly), type == Type::Directory);

        if (answer == "abandon") {
            delete dialog;
            QTRY_VERIFY(chooser.isNull());
            return;
        }
        auto* nameEdit = chooser->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(nameEdit);
        if (answer == "accept") {
            nameEdit->setFocus();
            QTest::keyClicks(nameEdit, picked);
            QTest::keyClick(nameEdit, Qt::Key_Return);
        } else {
            QTest::keyClick(chooser, Qt::Key_Escape);
        }
        QTRY_VERIFY(chooser.isNull());
        QCOMPARE(edit->text(), answer == "accept" ? picked : QString("/old"));
        delete dialog;
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
