#include <QTextInput.h>
#include <QTextInputDialog.h>

#include <QtTest>
#include <QtWidgets>

using IT = QTextInputDialog::InputType;
using Btn = QDialogButtonBox;

static QComboBox* combo(QDialog* d) { return d->findChild<QComboBox*>(); }
static QStatusBar* bar(QDialog* d) { return d->findChild<QStatusBar*>(); }
static void type(QDialog* d, const QString& text) { QTest::keyClicks(combo(d)->lineEdit(), text); }
static void press(QDialog* d, Btn::StandardButton b) { QTest::mouseClick(d->findChild<Btn*>()->button(b), Qt::LeftButton); }

class TestTextInput : public QObject
{
    Q_OBJECT

private slots:
    // Keystrokes go through the validator, whether the flags come with the dialog or later.
    void typing()
    {
        struct Row { int flags; QString keys, expected; };
        const QString mixed = QStringLiteral("aZ 9-_!+.");
        const Row rows[] = {{7, mixed, "aZ9-_"}, {1, mixed, "aZ-_"}, {2, mixed, "9-_"}, {0, mixed, "-_"}, {4, mixed, "-_"},
                            {9, mixed, "aZ -_"}, {10, mixed, " 9-_"}, {8, mixed, " -_"}, {7, QString(35, 'x'), QString(30, 'x')},
                            {15, QString(20, ' ') + QString(15, '7'), QString(20, ' ') + QString(10, '7')}};
        for (const Row& row : rows) {
            QTextInputDialog built(IT{row.flags}), changed;
            changed.setInputTypes(IT{row.flags});
            for (QTextInputDialog* dialog : {&built, &changed}) {
                type(dialog, row.keys);
                QVERIFY2(dialog->getInputText() == row.expected, qPrintable(QString::number(row.flags) + ": " + dialog->getInputText()));
            }
        }
    }

    // The helpers run the dialog modally and give its text, suffixed " !ok" unless ok was set.
    // OK refuses an empty or taken text (any case) in a red status bar, hidden by the next edit.
    void getTextAndItem()
    {
        QString seen; // title|label, then the refusal if any
        // Types or picks in the modal dialog and clicks; if refused, types "1" and clicks OK if the
        // complaint is gone, else Cancel.
        const auto run = [&seen](const QString& typed, int pick, Btn::StandardButton button, std::function<QString(bool*)> call) {
            QTimer::singleShot(0, [&seen, typed, pick, button] {
                auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                seen = d->windowTitle() + '|' + d->findChild<QLabel*>()->text() + (bar(d)->isVisible() ? "|bar" : "");
                pick < 0 ? type(d, typed) : combo(d)->setCurrentIndex(pick);
                press(d, button);
                if (d->isVisible()) {
                    const bool red = bar(d)->palette().color(QPalette::Inactive, QPalette::Text) == Qt::red;
                    seen += '|' + bar(d)->currentMessage() + (bar(d)->isVisible() && red ? " in red" : " unseen");
                    if (pick < 0)
                        type(d, "1");
                    press(d, bar(d)->isVisible() ? Btn::Cancel : Btn::Ok);
                }
            });
            bool ok = button != Btn::Ok;
            const QString text = call(&ok);
            return text + (ok ? "" : " !ok");
        };
        const auto getText = [](int flags) {
            return [flags](bool* ok) { return QTextInput::getText(nullptr, "Rename", "New name:", IT{flags}, ok, {"taken"}, "in use"); };
        };
        const auto getItem = [](const QStringList& items) {
            return [items](bool* ok) { return QTextInput::getItem(nullptr, items, "Pick", "Which?", ok, QTextInputDialog::Numeric); };
        };
        QCOMPARE(run("abc", -1, Btn::Ok, getText(7)), "abc");
        QCOMPARE(seen, "Rename|New name:");
        QCOMPARE(run("abc", -1, Btn::Cancel, getText(7)), "abc !ok"); // the text is kept
        QCOMPARE(run("TAKEN", -1, Btn::Ok, getText(7)), "TAKEN1");
        QCOMPARE(seen, "Rename|New name:|in use in red");
        QCOMPARE(run("", -1, Btn::Ok, getText(7)), "1");
        QCOMPARE(seen, "Rename|New name:|Input cannot be empty. in red");
        QCOMPARE(run("a1 b2", -1, Btn::Ok, getText(2)), "12");
        QCOMPARE(run("x", -1, Btn::Ok, [](bool*) { return QTextInput::getText(nullptr, "", ""); }), "x !ok"); // no ok pointer given
        const QStringList items{"first item!", QString()};
        QCOMPARE(run({}, 0, Btn::Ok, getItem(items)), "first item!"); // items are not held to the flags
        QCOMPARE(run({}, 1, Btn::Ok, getItem(items)), " !ok"); // an empty item is refused
        QCOMPARE(seen, "Pick|Which?|Input cannot be empty. in red");
        QCOMPARE(run("a1", -1, Btn::Ok, getItem({})), "1"); // no items: a free field under the flags
    }

    // A refusal longer than the narrow dialog makes it grow until the whole message shows;
    // a short one leaves the size alone.
    void refusalFits()
    {
        const QString longMessage = "A study with that name already exists in this series; choose another.";
        for (const QString& message : {longMessage, QString("Taken.")}) {
            QTextInputDialog dialog;
            dialog.setInputTextComparisons({"study"});
            dialog.setMatchErrorMessage(message);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const int before = dialog.width();
            type(&dialog, "Study");
            press(&dialog, Btn::Ok);
            QTRY_VERIFY(bar(&dialog)->isVisible());
            QCOMPARE(bar(&dialog)->currentMessage(), message);
            // The status bar draws its message from 6 pixels in to 12 pixels short of its edge,
            // and lies within the dialog.
            QTRY_VERIFY2(bar(&dialog)->width() - 18 >= bar(&dialog)->fontMetrics().horizontalAdvance(message)
                         && bar(&dialog)->geometry().right() < dialog.width(),
                         qPrintable(QString("%1 px wide").arg(dialog.width())));
            QVERIFY2((dialog.width() > before) == (message == longMessage), qPrintable(QString("%1 -> %2").arg(before).arg(dialog.width())));
        }
    }
};

QTEST_MAIN(TestTextInput)
#include "tst_textinput.moc"
