#include <QTextInput.h>
#include <QTextInputDialog.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <functional>

using IT = QTextInputDialog::InputType;

namespace {

QComboBox* combo(QDialog* d) { return d->findChild<QComboBox*>(); }
QStatusBar* statusBar(QDialog* d) { return d->findChild<QStatusBar*>(); }
void type(QDialog* d, const QString& text) { QTest::keyClicks(combo(d)->lineEdit(), text); }
void press(QDialog* d, QDialogButtonBox::StandardButton which)
{
    QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
}

// Runs body against the modal dialog once its nested event loop is up.
void whenModal(std::function<void(QTextInputDialog*)> body)
{
    QTimer::singleShot(0, [body] {
        auto* dialog = qobject_cast<QTextInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        body(dialog);
    });
}

} // namespace

class TestTextInput : public QObject
{
    Q_OBJECT

private slots:
    void operatorOr()
    {
        const IT all = QTextInputDialog::Alphabetic | QTextInputDialog::Numeric
                       | QTextInputDialog::Reserved | QTextInputDialog::WhiteSpace;
        QCOMPARE(int(all), 15);
        QCOMPARE(QTextInputDialog().inputTypes(), IT(7));
    }

    void typing_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        const QString mixed = QStringLiteral("aZ 9-_!+.");
        QTest::newRow("default") << 7 << mixed << "aZ9-_";
        QTest::newRow("alphabetic") << 1 << mixed << "aZ-_";
        QTest::newRow("numeric") << 2 << mixed << "9-_";
        QTest::newRow("none") << 0 << mixed << "-_";
        QTest::newRow("reserved only") << 4 << mixed << "-_";
        QTest::newRow("alpha + white") << 9 << "two words" << "two words";
        QTest::newRow("alpha without white") << 1 << "two words" << "twowords";
        QTest::newRow("numeric + white") << 10 << mixed << " 9-_";
        QTest::newRow("white only") << 8 << mixed << " -_";
        QTest::newRow("30 characters") << 7 << QString(35, 'x') << QString(30, 'x');
        QTest::newRow("30 with blanks") << 15 << QString(20, ' ') + QString(15, '7')
                                        << QString(20, ' ') + QString(10, '7');
    }
    // Keystrokes go through the field's validator, for a dialog built with the flags and for
    // one whose flags are changed after construction.
    void typing()
    {
        QFETCH(int, flags);
        QFETCH(QString, keys);
        QFETCH(QString, expected);

        QTextInputDialog built(IT{flags});
        QTextInputDialog changed;
        changed.setInputTypes(IT{flags});
        for (QTextInputDialog* dialog : {&built, &changed}) {
            dialog->show();
            QVERIFY(combo(dialog)->isEditable());
            type(dialog, keys);
            QCOMPARE(dialog->getInputText(), expected);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("comparisons");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // null: accepted
        const QStringList taken{QStringLiteral("alpha"), QStringLiteral("Beta")};
        QTest::newRow("empty") << taken << "Taken" << "" << "Input cannot be empty.";
        QTest::newRow("empty, no comparisons") << QStringList() << "" << "" << "Input cannot be empty.";
        QTest::newRow("case differs") << taken << "Taken" << "BETA" << "Taken";
        QTest::newRow("exact") << taken << "Taken" << "alpha" << "Taken";
        QTest::newRow("no message set") << taken << "" << "Alpha" << "";
        QTest::newRow("one more character") << taken << "Taken" << "alphas" << QString();
        QTest::newRow("no comparisons") << QStringList() << "" << "x" << QString();
    }
    void refusals()
    {
        QFETCH(QStringList, comparisons);
        QFETCH(QString, message);
        QFETCH(QString, typed);
        QFETCH(QString, shown);

        QTextInputDialog dialog;
        dialog.setInputTextComparisons(comparisons);
        dialog.setMatchErrorMessage(message);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QStatusBar* bar = statusBar(&dialog);
        QVERIFY(!bar->isVisible());

        type(&dialog, typed);
        press(&dialog, QDialogButtonBox::Ok);
        if (shown.isNull()) {
            QCOMPARE(accepted.count(), 1);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
            return;
        }
        QCOMPARE(accepted.count(), 0);
        QVERIFY(dialog.isVisible());
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->currentMessage(), shown);
        QCOMPARE(bar->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(bar->palette().color(QPalette::Inactive, QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(bar->styleSheet(), QStringLiteral("color: red"));
        QVERIFY(!bar->isSizeGripEnabled());

        // The next edit clears the complaint; a second OK after fixing it goes through.
        type(&dialog, QStringLiteral("2"));
        QVERIFY(!bar->isVisible());
        QCOMPARE(bar->currentMessage(), QString());
        press(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(accepted.count(), 1);
    }

    void getText_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("ok");
        QTest::newRow("accepted") << 7 << "abc" << true << "abc" << true;
        QTest::newRow("cancelled keeps the text") << 7 << "abc" << false << "abc" << false;
        QTest::newRow("taken, then changed") << 7 << "TAKEN" << true << "TAKEN1" << true;
        QTest::newRow("ruled by the flags") << 2 << "a1 b2" << true << "12" << true;
        QTest::newRow("cancelled empty") << 7 << "" << false << "" << false;
    }
    void getText()
    {
        QFETCH(int, flags);
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QString, result);
        QFETCH(bool, ok);

        QWidget parent;
        QString seenTitle, seenLabel;
        whenModal([&](QTextInputDialog* dialog) {
            seenTitle = dialog->windowTitle();
            seenLabel = dialog->findChild<QLabel*>()->text();
            type(dialog, typed);
            if (accept) {
                press(dialog, QDialogButtonBox::Ok);
                if (dialog->isVisible()) { // refused: fix it up and try again
                    QCOMPARE(statusBar(dialog)->currentMessage(), QStringLiteral("in use"));
                    type(dialog, QStringLiteral("1"));
                    press(dialog, QDialogButtonBox::Ok);
                }
            } else {
                press(dialog, QDialogButtonBox::Cancel);
            }
        });
        bool okFlag = !ok;
        const QString text = QTextInput::getText(&parent, QStringLiteral("Rename"),
                                                 QStringLiteral("New name:"), IT{flags}, &okFlag,
                                                 {QStringLiteral("taken")}, QStringLiteral("in use"));
        QCOMPARE(text, result);
        QCOMPARE(okFlag, ok);
        QCOMPARE(seenTitle, QStringLiteral("Rename"));
        QCOMPARE(seenLabel, QStringLiteral("New name:"));
        QVERIFY(parent.findChildren<QTextInputDialog*>().isEmpty());
    }

    void getItem_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("choose"); // -1: type "a1" into a free field
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("ok");
        const QStringList items{QStringLiteral("first item!"), QString(), QStringLiteral("third")};
        QTest::newRow("first, unrestricted by flags") << items << 0 << "first item!" << true;
        QTest::newRow("third") << items << 2 << "third" << true;
        QTest::newRow("empty item refused") << items << 1 << "" << false;
        QTest::newRow("no items: free field") << QStringList() << -1 << "1" << true;
    }
    void getItem()
    {
        QFETCH(QStringList, items);
        QFETCH(int, choose);
        QFETCH(QString, result);
        QFETCH(bool, ok);

        bool editable = false;
        QString refusal;
        whenModal([&](QTextInputDialog* dialog) {
            editable = combo(dialog)->isEditable();
            if (choose < 0)
                type(dialog, QStringLiteral("a1"));
            else
                combo(dialog)->setCurrentIndex(choose);
            press(dialog, QDialogButtonBox::Ok);
            if (dialog->isVisible()) {
                refusal = statusBar(dialog)->currentMessage();
                press(dialog, QDialogButtonBox::Cancel);
            }
        });
        bool okFlag = !ok;
        const QString text = QTextInput::getItem(nullptr, items, QStringLiteral("Pick"),
                                                 QStringLiteral("Which one?"), &okFlag,
                                                 QTextInputDialog::Numeric);
        QCOMPARE(text, result);
        QCOMPARE(okFlag, ok);
        QCOMPARE(editable, items.isEmpty());
        QCOMPARE(refusal, ok ? QString() : QStringLiteral("Input cannot be empty."));
    }

    void nullOkFlag()
    {
        whenModal([](QTextInputDialog* dialog) {
            type(dialog, QStringLiteral("x"));
            press(dialog, QDialogButtonBox::Ok);
        });
        QCOMPARE(QTextInput::getText(nullptr, QString(), QString()), QStringLiteral("x"));
    }

    // The parent, and the dialog with it, may be destroyed while the modal loop runs.
    void parentDestroyedWhileRunning()
    {
        auto* parent = new QWidget;
        whenModal([parent](QTextInputDialog* dialog) {
            type(dialog, QStringLiteral("gone"));
            delete parent;
        });
        bool okFlag = true;
        const QString text = QTextInput::getText(parent, QString(), QString(), IT(7), &okFlag);
        QVERIFY(text.isEmpty());
        QVERIFY(!okFlag);
    }
};

QTEST_MAIN(TestTextInput)
#include "tst_textinput.moc"
