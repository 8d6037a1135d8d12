#include <QPage.h>
#include <QPageWidget.h>
#include <QTextInput.h>
#include <QTextInputDialog.h>
#include <SplashScreen.h>

#include "testing.h"

#include <functional>

const QRgb kBar = qRgb(85, 185, 73), kWhite = qRgb(255, 255, 255), kPicture = qRgb(20, 40, 200), kStripe = qRgb(200, 120, 0);
struct Page : QPage { using QPage::QPage; void isCurrentPage() override {} };
using IT = QTextInputDialog::InputType;
using Btn = QDialogButtonBox;
static QComboBox* combo(QDialog* d) { return d->findChild<QComboBox*>(); }
static QStatusBar* bar(QDialog* d) { return d->findChild<QStatusBar*>(); }
static void type(QDialog* d, const QString& text) { QTest::keyClicks(combo(d)->lineEdit(), text); }
static void press(QDialog* d, Btn::StandardButton b) { QTest::mouseClick(d->findChild<Btn*>()->button(b), Qt::LeftButton); }

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    // The picture is scaled above a white band; the line ends at W * progress / maximum,
    // truncated and clipped, and without a positive maximum neither line nor text is drawn.
    // Only a value equal to the maximum closes the splash, after signalling it. At any scale
    // the sizes are logical pixels and the picture fills the device pixels. The band and the
    // line are drawn unblended: the line's rows are the device rows within one logical pixel
    // of y = H - 25, and along them it is solid from the left edge to the device pixel under
    // its logical end, its round cap reaching at most one logical pixel further.
    void splashProgress()
    {
        QTemporaryDir dir;
        QImage picture(1040, 600, QImage::Format_RGB32);
        for (int x = 0; x < picture.width(); ++x) // stripes one logical pixel wide, two at scale 2
            for (int y = 0; y < picture.height(); ++y)
                picture.setPixel(x, y, x / 2 % 2 ? kStripe : kPicture);
        QVERIFY(picture.save(dir.filePath("splash.png")));
        struct Row { int maximum, progress, end; }; // end: logical x of the line's end, clipped; 0 for none
        const Row rows[] = {{100, 0, 0}, {100, 25, 130}, {100, 99, 514}, {100, 100, 520}, {7, 3, 222}, {7, 6, 445}, {7, 7, 520},
                            {3, 1, 173}, {100, 250, 520}, {1, 2000000000, 520}, {100, -40, 0}, {0, 60, 0}, {-5, 60, 0}};
        for (const Row& row : rows) {
            SplashScreen splash(dir.filePath("splash.png"));
            if (row.maximum != 100) // else the default
                splash.setProgressMax(row.maximum);
            splash.show();
            int closed = 0; // signals while still visible count 1, afterwards 100
            connect(&splash, &SplashScreen::onSplashClosed, this, [&] { closed += splash.isVisible() ? 1 : 100; });
            splash.updateProgress(row.progress);
            const QImage image = splash.grab().toImage();
            const qreal d = image.devicePixelRatio();
            const int band = qRound(300 * d), width = qRound(520 * d);
            const QByteArray where = QByteArray::number(row.progress) + " of " + QByteArray::number(row.maximum);
            QVERIFY2(closed == (row.progress == row.maximum) && splash.isVisible() == !closed, where);
            QVERIFY2(splash.size() == QSize(520, 340) && image.size() == QSize(width, qRound(340 * d)), where);
            // Sharp up to the band: the picture fills the device pixels rather than being
            // stretched from logical ones, so at a whole ratio each stripe comes out unblended.
            for (int x = 0; d == int(d) && x < width; ++x) {
                const QRgb stripe = x * 1040 / width / 2 % 2 ? kStripe : kPicture;
                QVERIFY2(image.pixel(x, 0) == stripe && image.pixel(x, band - 1) == stripe, where + " x " + QByteArray::number(x));
            }
            // The solid run of a line row covers the device pixel under the logical end and
            // stops within the cap's reach; a line ending at or left of x = 0 shows its cap only.
            const int cap = qCeil(d), body = qCeil(row.end * d) + 1;
            const int least = row.end > 0 ? qMin(body, width) : 0, most = row.end > 0 ? qMin(body + cap - 1, width) : cap;
            int marked = 0, lineRows = 0; // band pixels not white; rows of the line
            for (int y = band; y < image.height(); ++y) {
                if (y + 0.5 > 314 * d && y + 0.5 < 316 * d) {
                    int x = 0;
                    while (x < width && image.pixel(x, y) == kBar)
                        ++x;
                    ++lineRows;
                    QVERIFY2(x >= least && x <= most, where + " ends at " + QByteArray::number(x) + " in row " + QByteArray::number(y));
                } else {
                    QVERIFY2(image.pixel(0, y) == kWhite, where);
                }
                for (int x = 0; x < width; ++x)
                    marked += image.pixel(x, y) != kWhite;
            }
            QCOMPARE(lineRows, qRound(2 * d));
            QVERIFY2((marked > 0) == (row.maximum > 0) && image.pixel(width - 1, band) == kWhite && image.pixel(0, image.height() - 1) == kWhite, where);
        }
    }

    // An image that does not load gives a bare 0 x 40 band, and nothing on the console: neither
    // a message of the library nor one of Qt about what the library did with the null pixmap.
    void splashWithoutImage()
    {
        QTemporaryDir dir;
        const QString text = writeFile(dir.filePath("text.png"), "not an image");
        static QStringList messages;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { messages << m; });
        for (const QString& path : {QString(), dir.filePath("missing.png"), text}) {
            SplashScreen splash(path);
            splash.show();
            splash.updateProgress(50);
            const QSize size = splash.size();
            splash.updateProgress(100);
            QCoreApplication::processEvents();
            if (size != QSize(0, 40))
                messages << QString("%1: %2 x %3").arg(path).arg(size.width()).arg(size.height());
        }
        qInstallMessageHandler(previous);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    }

    // One walk forward and back. Each row is an action and the state it leaves: label, [group box
    // title], index shown, and the visible buttons ("next-": visible but disabled).
    void pageWidgetWalk()
    {
        const std::pair<const char*, const char*> steps[] = {
            {"start", "Step 1 of 3 [] 0 next-"},
            {"next", "Step 1 of 3 [] 0 next-"},   // not ready yet: the click does nothing
            {"ready x", "Step 1 of 3 [] 0 next-"}, // a page of no widget is ignored
            {"ready 0", "Step 1 of 3 [] 0 next"},
            {"reset x", "Step 1 of 3 [] 0 next"},
            {"ready 2", "Step 1 of 3 [] 0 next"},  // a hidden page's flag is only stored
            {"next", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"goto -1", "Step 2 of 3 [Page 1] 1 prev next-"},  // outside the range: nothing happens
            {"goto 3", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"ready 1", "Step 2 of 3 [Page 1] 1 prev next"},
            {"reset 1", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"ready 1", "Step 2 of 3 [Page 1] 1 prev next"},
            {"next", "Step 3 of 3 [Page 2] 2 prev"},   // last page: Next goes away
            {"reset 1", "Step 3 of 3 [Page 2] 2 prev"}, // from a hidden page
            {"prev", "Step 2 of 3 [Page 1] 1 prev next"},     // going back always allows forward again
            {"prev", "Step 1 of 3 [Page 0] 0 next"},
            {"prev", "Step 1 of 3 [Page 0] 0 next"},    // hidden button: nothing happens
            {"next", "Step 2 of 3 [Page 1] 1 prev next-"},    // the reset flag survived the walk
            {"add", "Step 2 of 4 [Page 1] 1 prev next-"},     // buttons untouched, title set
            {"ready 1", "Step 2 of 4 [Page 1] 1 prev next"},
            {"next", "Step 3 of 4 [Page 2] 2 prev next"},     // the old last page is a middle one, and ready
            {"next", "Step 4 of 4 [Page 3] 3 prev"},
            {"prev", "Step 3 of 4 [Page 2] 2 prev next"},
            {"goto 2", "Step 3 of 4 [Page 2] 2 prev"}, // the page already shown: Next hidden
        };
        QList<QPage*> pages;
        for (int i = 0; i < 3; ++i)
            pages << new Page(QStringLiteral("Page %1").arg(i));
        QPageWidget widget(pages);
        Page stranger(QStringLiteral("Stranger"));
        QToolButton *next = nullptr, *prev = nullptr;
        for (QToolButton* b : widget.findChildren<QToolButton*>())
            (b->text() == "Next" ? next : prev) = b;
        widget.show();
        for (const auto& [step, expected] : steps) {
            const QByteArray action(step), arg = action.mid(6);
            QPage* page = arg == "x" ? &stranger : pages.value(arg.toInt());
            if (action == "next" || action == "prev")
                QTest::mouseClick(action == "next" ? next : prev, Qt::LeftButton);
            else if (action == "add")
                widget.addPage((pages << new Page(QStringLiteral("Page 3"))).last());
            else if (action.startsWith("goto"))
                QMetaObject::invokeMethod(&widget, "goToPage", Q_ARG(int, action.mid(5).toInt()));
            else if (page == &stranger) // reachable only through the meta-object system
                QMetaObject::invokeMethod(&widget, action.startsWith("ready") ? "onPageReadyToProceed" : "onPageRequestReset", Q_ARG(QPage*, page));
            else if (action != "start")
                action.startsWith("ready") ? page->readyToProceed(page) : page->resetReadyToProceed(page);
            const QString state = QStringLiteral("%1 [%2] %3 %4").arg(widget.findChild<QLabel*>()->text(), widget.findChild<QGroupBox*>()->title())
                    .arg(widget.findChild<QStackedWidget*>()->currentIndex()).arg(QStringList{prev->isVisible() ? "prev" : "",
                    next->isVisible() ? (next->isEnabled() ? "next" : "next-") : ""}.join(' ').trimmed());
            QVERIFY2(state == expected, qPrintable(action + " left " + state));
        }
    }

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

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
