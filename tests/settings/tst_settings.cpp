#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsGroupWidget.h>
#include <QSettingsLoader.h>

#include "testing.h"

#include <vector>

using Type = QSettingsEntry::EntryType;

class TestSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    // Types as a user does: a line edit's or spin box's text is replaced, a combo box picks the
    // item whose text starts so, a space toggles a check box.
    static void type(QWidget* editor, const QString& text)
    {
        if (!qobject_cast<QComboBox*>(editor)) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Backspace);
        }
        QTest::keyClicks(editor, text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QLocale::setDefault(QLocale::c());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    // A loader writes under its key as given ("/" makes groups), reads an absent key as an
    // invalid value and another type as stored; without a store it does nothing. An owned store
    // goes at the next event-loop pass after the last copy of its loader.
    void loader()
    {
        QSettings store(m_dir.filePath("store.ini"), QSettings::IniFormat);
        QVERIFY(QSettingsLoader(&store, "a/b/value").save(2.5));
        store.setValue("n", "text");
        store.sync();
        QSettings reread(store.fileName(), QSettings::IniFormat);
        QCOMPARE(reread.childGroups(), QStringList("a"));
        QVariant v(42);
        QVERIFY(QSettingsLoader(&reread, "never/written").load(v) && !v.isValid());
        QVERIFY(QSettingsLoader(&reread, "n").load(v) && v == QVariant("text"));
        QSettingsLoader none(nullptr, "k");
        QVERIFY(!none.load(v) && !none.save(1) && !none.ownsSettings() && v == QVariant("text"));

        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        QPointer<QSettings> owned;
        {
            QSettingsLoader original("owned/key"), copy(original), assigned(nullptr, QString());
            assigned = original;
            owned = original.settings();
            QVERIFY(owned && assigned.ownsSettings() && copy.settings() == owned);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(owned && copy.save("v"));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!owned);
        // Entries are equal by type and name, ignoring case.
        using E = QSettingsEntry;
        QSettingsCategory c1("c", QPixmap()), c2("c", QPixmap());
        const E a(E::Integer, &none, &c1, "Pört", false, "tip", {{"maximum", 3}});
        QVERIFY(a == E(E::Integer, nullptr, &c2, "pÖRT", true) && !(a == E(E::Double, &none, &c1, "Pört")));
    }

    void storedValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("items"); // "currentData"
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("shown"); // combo: item count and current index; else the editor's value
        const QVariant bytes = QByteArray("ab\0cd", 5);
        const auto combo = [](int count, int index) { return QVariant(QPoint(count, index)); };
        const int choice = Type::StringChoice;
        QTest::newRow("bare text is no list") << choice << QVariant("abc") << QVariant("a") << combo(0, -1);
        QTest::newRow("bytes are no list") << choice << QVariant(QByteArray("abc")) << QVariant() << combo(0, -1);
        QTest::newRow("text list") << choice << QVariant(QStringList{"a", "b"}) << QVariant("b") << combo(2, 1);
        QTest::newRow("bytes match their text") << choice << QVariant(QVariantList{"x", "abc"}) << QVariant(QByteArray("abc")) << combo(2, 1);
        QTest::newRow("2.5 is \"2.5\", not \"2.50\"") << choice << QVariant(QVariantList{"2.50", "2.5"}) << QVariant(2.5) << combo(2, 1);
        QTest::newRow("true is \"true\", not \"1\"") << choice << QVariant(QVariantList{"1", "true"}) << QVariant(true) << combo(2, 1);
        QTest::newRow("\"2.50\" read as a number") << choice << QVariant(QVariantList{2.0, 2.5}) << QVariant("2.50") << combo(2, 1);
        QTest::newRow("numbers as numbers") << choice << QVariant(QVariantList{true, 2}) << QVariant(2.0) << combo(2, 1);
        QTest::newRow("no match") << choice << QVariant(QVariantList{"a", "c"}) << QVariant("b") << combo(2, 0); // the first stays current
        QTest::newRow("half rounds up") << int(Type::Integer) << QVariant() << QVariant(-2.5) << QVariant(-2);
        QTest::newRow("bytes end at zero") << int(Type::String) << QVariant() << bytes << QVariant("ab");
    }
    // What an editor makes of a stored value does not depend on the Qt the library is built with.
    void storedValues()
    {
        QFETCH(int, type);
        QFETCH(QVariant, items);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, shown);
        QSettings store(m_dir.filePath("values.ini"), QSettings::IniFormat);
        store.setValue("v", stored);
        QSettingsLoader loader(&store, "v");
        QSettingsCategory category("c", QPixmap());
        QSettingsGroupWidget group("g");
        QWidget* editor = group.addEntry({Type(type), &loader, &category, "v", false, {},
                                          {{"currentData", items}, {"minimum", -10}}});
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            QCOMPARE(QPoint(combo->count(), combo->currentIndex()), shown.toPoint());
        else
            QCOMPARE(editor->property(type == Type::Integer ? "value" : "text"), shown);
    }

    // One dialog through its whole life: every entry type under a key of its own (also its tool
    // tip), edited by typing or through the file chooser; closed by Cancel and Escape, then
    // confirmed by Ok. Around them: categories and sub-categories known by identity, a loader
    // shared by two entries, entries without loader, store or category. expected: the written
    // value, invalid when the stored one must stay; text: typed (null: left alone; "pick": chosen).
    void wholeDialog()
    {
        QSettings store(m_dir.filePath("types.ini"), QSettings::IniFormat);
        struct Case { Type type; QVariantHash props; QVariant stored, expected; QString text = {}; bool optional = false; };
        const QList<Case> cases = {
            {Type::Double, {{"decimals", 2}, {"maximum", 1000}}, 1.5, 12.25, "12.25"},
            {Type::Double, {{"toolTip", "replaced"}}, "wrong type", 0.0},
            {Type::Integer, {}, 150, 99}, // clamped to the default range...
            {Type::Integer, {{"maximum", 200}}, 150, 150}, // ...or to the one configured first
            {Type::String, {}, "old", "new text", "new text"},
            {Type::String, {}, "old", {}, ""}, // required: an empty text is not written
            {Type::String, {}, "old", QString(""), "", true},
            {Type::Boolean, {{"checked", true}}, false, true, " "},
            {Type::DoubleChoice, {{"currentData", QVariantList{0.5, 1.5, 2.5}}}, 1.5, 2.5, "2.5"},
            {Type::IntegerChoice, {{"CURRENTDATA", QVariantList{"10", "20"}}}, "10", 20, "20"},
            {Type::StringChoice, {{"currentdata", QVariantList{7}}, {"CurrentData", QVariantList{7}}}, {}, "7"},
            {Type::IntegerChoice, {}, 5, 0},
            {Type::IntegerChoice, {{"currentData", QVariantList{1.5, -2.5}}}, -2.5, -2}, // halves round up
            {Type::File, {}, "/old", QCoreApplication::applicationFilePath(), "pick"},
            {Type::Directory, {}, "/old", m_dir.path(), "pick"},
        };
        QSettingsCategory page("Page", QPixmap()), other("Other", QPixmap()), twin("Page", QPixmap());
        QSettingsCategory s1("S", QPixmap()), s2("S", QPixmap());
        QSettingsLoader shared(&store, "shared"), noStore(nullptr, "lost");
        const QVariantHash kept{{"text", "kept"}}, upTo500{{"maximum", 500}};
        QList<QSettingsEntry> entries = {{Type::Integer, &shared, &page, "Shared", false, {}, upTo500, &s1},
                                         {Type::String, nullptr, &page, "No loader", false, {}, kept, &s1},
                                         {Type::String, &noStore, &other, "No store", false, {}, kept},
                                         {Type::Integer, &shared, &twin, "Shared too", false, {}, upTo500},
                                         {Type::Boolean, &noStore, nullptr, "No category"}};
        std::vector<QSettingsLoader> loaders;
        loaders.reserve(cases.size()); // the entries point into it
        for (const Case& c : cases) {
            const QString key = QString("group/k%1").arg(loaders.size());
            if (c.stored.isValid())
                store.setValue(key, c.stored);
            loaders.emplace_back(&store, key);
            entries << QSettingsEntry(c.type, &loaders.back(), &page, key, c.optional, key, c.props);
        }
        entries << QSettingsEntry(Type::Boolean, &noStore, &page, "Other S", false, {}, {}, &s2);
        auto* dialog = new QSettingsDialog(entries);
        QList<QWidget*> editors; // in entry order
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (w->toolTip().startsWith("group/"))
                editors << w;
        QCOMPARE(editors.size(), cases.size());
        QCOMPARE(qobject_cast<QComboBox*>(editors[10])->count(), 2); // both keys add their items
        auto* list = dialog->findChild<QListWidget*>();
        auto* stack = dialog->findChild<QStackedWidget*>();
        auto* tabs = stack->widget(0)->findChild<QTabWidget*>();
        QCOMPARE(list->item(0)->text() + list->item(1)->text() + list->item(2)->text(), "PageOtherPage");
        QCOMPARE(tabs->tabText(0) + tabs->tabText(1) + tabs->tabText(2), "SPageS");
        QCOMPARE(stack->widget(1)->findChild<QLineEdit*>()->text(), "kept"); // no store: the property stays

        QPointer<QFileDialog> chooser; // Qt's own widget-based dialog, a window of its own
        auto choose = [&](int pathEntry, const QString& path) { // no path: cancel
            QTest::mouseClick(button(dialog, "...", pathEntry), Qt::LeftButton);
            chooser = shownWindow<QFileDialog>();
            // Keys typed before it is active (on Qt 6 a pass of the event loop later) go astray.
            QVERIFY(waitForActive(chooser));
            QTest::keyClicks(chooser->findChild<QLineEdit*>("fileNameEdit"), path);
            QTest::keyClick(chooser, path.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            QTRY_VERIFY(!chooser);
        };
        dialog->showSettings(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        type(tabs->widget(0)->findChild<QSpinBox*>(), "300"); // the first entry of the shared loader
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        for (int i = 0, pathEntry = 0; i < cases.size(); ++i)
            if (cases[i].text == "pick")
                choose(pathEntry++, cases[i].expected.toString());
            else if (!cases[i].text.isNull())
                type(editors[i], cases[i].text);
        choose(0, QString());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        QCOMPARE(stack->currentIndex(), 2);
        type(stack->widget(2)->findChild<QSpinBox*>(), "400"); // and the second

        QSignalSpy saved(dialog, &QSettingsDialog::saved), canceled(dialog, &QSettingsDialog::canceled);
        QTest::mouseClick(button(dialog, "Cancel"), Qt::LeftButton);
        dialog->showSettings(nullptr);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible() && canceled.count() == 1 && saved.isEmpty());
        QCOMPARE(store.value("group/k0"), QVariant(1.5));
        int resultInSaved = -1;
        connect(dialog, &QSettingsDialog::saved, this, [&] { resultInSaved = dialog->result(); });
        QTimer::singleShot(0, this, [&] { QTest::mouseClick(button(dialog, "Ok"), Qt::LeftButton); });
        dialog->execSettings(nullptr); // the edits made before Cancel are still there
        QVERIFY(saved.count() == 1 && resultInSaved == QDialog::Accepted);
        for (int i = 0; i < cases.size(); ++i) {
            const QVariant got = store.value(QString("group/k%1").arg(i)), want = cases[i].expected.isValid() ? cases[i].expected : cases[i].stored;
            QVERIFY2(got.userType() == want.userType() && got == want, qPrintable(QString::number(i)));
        }
        QVERIFY(QList<int>({300, 400}).contains(store.value("shared").toInt())); // from either entry
        QCOMPARE(store.allKeys().size(), cases.size() + 1); // nothing without loader or store

        // Deleted with its chooser open, the chooser goes too.
        dialog->showSettings(nullptr);
        QTest::mouseClick(button(dialog, "...", 1), Qt::LeftButton);
        QVERIFY(shownWindow<QFileDialog>());
        delete dialog;
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Under a modal execSettings the chooser, a parentless non-modal window, still takes the
    // user's keys.
    void chooserUnderModalDialog()
    {
        QSettingsLoader loader(nullptr, "path");
        QSettingsCategory page("Page", QPixmap());
        QSettingsDialog dialog({{Type::File, &loader, &page, "File"}});
        QTimer::singleShot(0, this, [&] {
            QTest::mouseClick(button(&dialog, "..."), Qt::LeftButton);
            QPointer<QFileDialog> chooser = shownWindow<QFileDialog>();
            QVERIFY(chooser && !chooser->parentWidget() && chooser->windowModality() == Qt::NonModal);
            QVERIFY(QTest::qWaitForWindowExposed(chooser));
            QTest::keyPress(chooser->windowHandle(), Qt::Key_Escape); // the release would find it gone
            QTRY_VERIFY(!chooser || !chooser->isVisible());
            QTest::mouseClick(button(&dialog, "Cancel"), Qt::LeftButton);
        });
        dialog.execSettings(nullptr);
        QVERIFY(!shownWindow<QFileDialog>());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
