#include <QToast.h>
#include <QToaster.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

#include <memory>

namespace {

const QColor kPanel(131, 61, 150);

QtMessageHandler g_testHandler = nullptr;

// The offscreen platform cannot make windows translucent and says so on every fade step.
void quietOpacity(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("does not support setting window opacity")))
        g_testHandler(type, context, message);
}

// A top-level parent at a known place on the offscreen screen, with a nested child.
struct Host
{
    Host()
    {
        window.setGeometry(100, 50, 400, 300);
        nested = new QWidget(&window);
        nested->setGeometry(30, 40, 200, 100);
        window.show();
    }
    QWidget window;
    QWidget* nested = nullptr;
};

} // namespace

class TestToast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { g_testHandler = qInstallMessageHandler(quietOpacity); }
    void cleanupTestCase() { qInstallMessageHandler(g_testHandler); }

    // The display time starts once the toast is opaque; the toast then fades, reports its
    // close once and deletes itself. A toast without auto-close outlives it.
    void fadeAndAutoClose()
    {
        Host host;
        QPointer<QToast> toast = new QToast(&host.window, QStringLiteral("hi"), 400, TopLeft);
        QPointer<QToast> stays = new QToast(&host.window, QStringLiteral("stay"), 1, TopLeft);
        toast->autoClose(true);
        QSignalSpy closed(toast.data(), &QToast::closed);
        QToast* const raw = toast.data();
        QToast* reported = nullptr;
        connect(toast.data(), &QToast::closed, this, [&](QToast* t) { reported = t; });
        toast->show();
        stays->show();
        QCOMPARE(toast->getOpacity(), 0.0f);
        QVERIFY(toast->isVisible());
        QTRY_COMPARE(toast->getOpacity(), 1.0f);
        QElapsedTimer opaque;
        opaque.start();
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 5000);
        // Coarse timers may fire up to 5 % early.
        QVERIFY2(opaque.elapsed() >= 380, qPrintable(QString::number(opaque.elapsed())));
        QCOMPARE(reported, raw);
        QTRY_VERIFY(toast.isNull());
        QCOMPARE(closed.count(), 1);
        QVERIFY(stays);
        QCOMPARE(stays->getOpacity(), 1.0f);
    }

    // Reaching 1.0 by hand arms the timer too; 0.0 without close() is just transparent.
    void manualOpacity()
    {
        QPointer<QToast> toast = new QToast(nullptr, QStringLiteral("x"), 10, TopLeft);
        QSignalSpy closed(toast.data(), &QToast::closed);
        toast->setOpacity(0.0f);
        QTest::qWait(50);
        QVERIFY(toast);
        QCOMPARE(closed.count(), 0);
        toast->autoClose(true);
        toast->setOpacity(1.0f);
        QTRY_VERIFY(toast.isNull());
        QCOMPARE(closed.count(), 1);
    }

    void clicks_data()
    {
        QTest::addColumn<bool>("withListener");
        QTest::addColumn<bool>("closeOnClick");
        QTest::addColumn<bool>("onCross");
        QTest::addColumn<int>("buttonValue");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("closes");
        QTest::newRow("body, listener") << true << false << false << int(Qt::LeftButton) << 1 << false;
        QTest::newRow("body, listener, close") << true << true << false << int(Qt::LeftButton) << 1 << true;
        QTest::newRow("body, no listener, close") << false << true << false << int(Qt::LeftButton) << 0 << true;
        QTest::newRow("body, nothing") << false << false << false << int(Qt::LeftButton) << 0 << false;
        QTest::newRow("cross, listener") << true << false << true << int(Qt::LeftButton) << 0 << true;
        QTest::newRow("cross, listener, close") << true << true << true << int(Qt::LeftButton) << 0 << true;
        QTest::newRow("right on body") << true << true << false << int(Qt::RightButton) << 0 << false;
        QTest::newRow("middle on cross") << true << true << true << int(Qt::MiddleButton) << 0 << false;
    }
    // The release position is not tested: a press decides what the release does.
    void clicks()
    {
        QFETCH(bool, withListener);
        QFETCH(bool, closeOnClick);
        QFETCH(bool, onCross);
        QFETCH(int, buttonValue);
        const auto button = static_cast<Qt::MouseButton>(buttonValue);
        QFETCH(int, calls);
        QFETCH(bool, closes);
        Host host;
        QPointer<QToast> toast = new QToast(&host.window, QStringLiteral("click me"), 0, TopLeft);
        int fired = 0;
        QWidget* seenParent = nullptr;
        auto* listener = withListener ? new QToastListener([&](QToastEvent& e) {
            ++fired;
            seenParent = e.parent;
        }) : nullptr;
        toast->setOnClickListener(listener, closeOnClick);
        toast->show();
        toast->grab();  // the cross is placed by painting
        QSignalSpy closed(toast.data(), &QToast::closed);
        const QPoint press = onCross ? QPoint(toast->width() - 10, 9) : QPoint(8, toast->height() / 2);
        QTest::mousePress(toast, button, Qt::NoModifier, press);
        QTest::mouseRelease(toast, button, Qt::NoModifier, QPoint(-20, 500));
        QCOMPARE(fired, calls);
        if (calls)
            QCOMPARE(seenParent, &host.window);
        if (closes) {
            QTRY_COMPARE(closed.count(), 1);
            QTRY_VERIFY(toast.isNull());
        } else {
            QTest::qWait(300);
            QCOMPARE(closed.count(), 0);
            QVERIFY(toast);
        }
    }

    void placement_data()
    {
        QTest::addColumn<bool>("nested");
        QTest::addColumn<int>("gravity");
        QTest::addColumn<int>("left");   // the parent's left edge on screen
        QTest::addColumn<int>("right");  // and its right edge, exclusive
        QTest::addColumn<int>("top");
        QTest::newRow("window, top left") << false << int(TopLeft) << 100 << 500 << 50;
        QTest::newRow("window, top right") << false << int(TopRight) << 100 << 500 << 50;
        QTest::newRow("nested, top left") << true << int(TopLeft) << 130 << 330 << 90;
        QTest::newRow("nested, top right") << true << int(TopRight) << 130 << 330 << 90;
        QTest::newRow("unknown gravity") << false << 7 << 0 << 0 << 0;
    }
    void placement()
    {
        QFETCH(bool, nested);
        QFETCH(int, gravity);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, top);
        Host host;
        auto* toast = new QToast(nested ? host.nested : &host.window, QStringLiteral("where"), 0,
                                 static_cast<QToastGravity>(gravity));
        toast->move(3, 4);
        toast->show();
        const QRect g = toast->geometry();
        if (gravity == TopLeft)
            QCOMPARE(g.topLeft(), QPoint(left, top));
        else if (gravity == TopRight)
            QCOMPARE(g.topLeft(), QPoint(right - g.width(), top));
        else
            QCOMPARE(g.topLeft(), QPoint(3, 4));
    }

    // Panel in the purple inside a transparent 3-pixel margin, and the white cross.
    void paintedPixels()
    {
        QToast toast(nullptr, QStringLiteral("paint"), 0, TopLeft);
        toast.setAttribute(Qt::WA_DeleteOnClose, false);
        const QImage img = toast.grab().toImage();
        const int w = img.width(), h = img.height();
        QVERIFY(w > 20 && h > 16);
        for (const QPoint& p : {QPoint(3, 3), QPoint(w - 4, h - 4), QPoint(4, h / 2), QPoint(w / 2, h - 5)})
            QCOMPARE(img.pixelColor(p), kPanel);
        for (const QPoint& p : {QPoint(2, h / 2), QPoint(w - 3, h / 2), QPoint(w / 2, 2), QPoint(w / 2, h - 3)})
            QCOMPARE(img.pixelColor(p).alpha(), 0);
        for (const QPoint& p : {QPoint(w - 11, 9), QPoint(w - 13, 7), QPoint(w - 8, 12), QPoint(w - 8, 6), QPoint(w - 13, 11)})
            QCOMPARE(img.pixelColor(p), QColor(Qt::white));
        QCOMPARE(img.pixelColor(w - 11, 6), kPanel);  // between the arms of the cross
    }

    // Markup goes in as rich text, and a long message still fits in 350 pixels.
    void richTextAndMaximumHeight()
    {
        QToast toast(nullptr, QString("<b>a</b>").append(QString("<br>line").repeated(60)), 0, TopLeft);
        QVERIFY(toast.height() <= 350);
        const QLabel* label = toast.findChild<QLabel*>();
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::RichText);
        QVERIFY(label->text().startsWith("<font color ='white'><b>a</b><br>"));
    }
};

class TestToaster : public QObject
{
    Q_OBJECT

    static QToast* make(QWidget* parent, QToastGravity gravity = TopLeft)
    {
        return new QToast(parent, QStringLiteral("same text"), 0, gravity);
    }

private slots:
    void initTestCase() { g_testHandler = qInstallMessageHandler(quietOpacity); }
    void cleanupTestCase() { qInstallMessageHandler(g_testHandler); }

    // New toasts slide below the others; a closed one makes those below it slide up.
    void stackAndRestack()
    {
        Host host;
        QToaster toaster(&host.window, TopLeft);
        QPointer<QToast> a = make(&host.window), b = make(&host.window), c = make(&host.window);
        const int h = a->height();
        toaster.notify(a);
        QCOMPARE(a->pos(), QPoint(100, 50));
        toaster.notify(b);
        toaster.notify(c);
        QTRY_COMPARE(c->pos(), QPoint(100, 50 + 2 * h));
        QCOMPARE(b->pos(), QPoint(100, 50 + h));
        QCOMPARE(a->pos(), QPoint(100, 50));

        b->close();
        QTRY_VERIFY(b.isNull());
        QTRY_COMPARE(c->pos(), QPoint(100, 50 + h));
        toaster.onToastClosed(c);  // twice: must not move anything else
        toaster.onToastClosed(c);
        QTest::qWait(500);
        QCOMPARE(a->pos(), QPoint(100, 50));
    }

    // A second close while the first re-stack is still sliding ends on the stack's places.
    void closesInQuickSuccession()
    {
        Host host;
        QToaster toaster(&host.window, TopLeft);
        QList<QPointer<QToast>> t;
        for (int i = 0; i < 4; ++i) {
            t << make(&host.window);
            toaster.notify(t.last());
        }
        const int h = t[0]->height();
        QTRY_COMPARE(t[3]->pos(), QPoint(100, 50 + 3 * h));
        t[0]->close();
        QTRY_VERIFY(t[0].isNull());
        QTest::qWait(100);
        t[1]->close();
        QTRY_VERIFY(t[1].isNull());
        QTRY_COMPARE(t[3]->pos(), QPoint(100, 50 + h));
        QCOMPARE(t[2]->pos(), QPoint(100, 50));
    }

    // The toaster's gravity wins over the toast's own.
    void gravityOverride()
    {
        Host host;
        QToaster toaster(&host.window, TopRight);
        QToast* t = make(&host.window, TopLeft);
        toaster.notify(t);
        QCOMPARE(t->gravity(), TopRight);
        QCOMPARE(t->geometry().right() + 1, 500);
    }

    // A toast deleted without a fade-out leaves the stack; later notifications and closes work.
    void hostDeletesToast()
    {
        Host host;
        QToaster toaster(&host.window, TopLeft);
        QPointer<QToast> a = make(&host.window), b = make(&host.window), c = make(&host.window);
        const int h = a->height();
        toaster.notify(a);
        toaster.notify(b);
        toaster.notify(c);
        delete b;
        QTRY_COMPARE(c->pos(), QPoint(100, 50 + h));
        QPointer<QToast> d = make(&host.window);
        toaster.notify(d);
        QTRY_COMPARE(d->pos(), QPoint(100, 50 + 2 * h));
        a->close();
        QTRY_COMPARE(d->pos(), QPoint(100, 50 + h));
        QCOMPARE(c->pos(), QPoint(100, 50));
    }

    // Destroying the parent mid-fade and mid-slide takes the toasts and their animations along.
    void parentDestroyedWhileAnimating()
    {
        auto host = std::make_unique<Host>();
        auto* toaster = new QToaster(&host->window, TopLeft);
        QList<QPointer<QToast>> toasts;
        for (int i = 0; i < 4; ++i) {
            toasts << make(&host->window);
            toaster->notify(toasts.last());
        }
        QTest::qWait(200);
        toasts.first()->close();
        QTest::qWait(250);  // the others are sliding up now
        host.reset();
        for (const auto& t : toasts)
            QVERIFY(t.isNull());
        QTest::qWait(450);
    }

    // A burst of self-closing toasts all go away (the sanitizer build checks for leaks).
    void burstClosesAll()
    {
        Host host;
        QToaster toaster(&host.window, TopRight);
        QList<QPointer<QToast>> toasts;
        for (int i = 0; i < 30; ++i) {
            auto* t = new QToast(&host.window, QString::number(i), 20 + i, TopLeft);
            t->autoClose(true);
            t->setOnClickListener(new QToastListener([](QToastEvent&) {}), true);
            toasts << t;
            toaster.notify(t);
        }
        toaster.notify(QStringLiteral("text only"));
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(toasts.begin(), toasts.end(), [](const QPointer<QToast>& t) {
            return t.isNull();
        }), 10000);
        // The text toast closes itself 3000 ms after its fade-in.
        QCOMPARE(host.window.findChildren<QToast*>().size(), 1);
        QTest::qWait(2000);
        QCOMPARE(host.window.findChildren<QToast*>().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(host.window.findChildren<QToast*>().size(), 0, 4000);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    TestToast toast;
    status |= QTest::qExec(&toast, argc, argv);
    TestToaster toaster;
    status |= QTest::qExec(&toaster, argc, argv);
    return status;
}

#include "tst_toast.moc"
