#include <QToast.h>
#include <QToaster.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

#include <memory>

namespace {

QtMessageHandler g_testHandler = nullptr;

// The offscreen platform cannot make windows translucent and says so on every fade step.
void quietOpacity(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("does not support setting window opacity")))
        g_testHandler(type, context, message);
}

// A top-level parent at (100, 50), 400 x 300 on the offscreen screen, with a nested child
// at (30, 40) inside it, 200 x 100.
struct Host
{
    Host() : nested(new QWidget(&window))
    {
        window.setGeometry(100, 50, 400, 300);
        nested->setGeometry(30, 40, 200, 100);
        window.show();
    }
    QWidget window;
    QWidget* nested;
};

QToast* make(QWidget* parent, QToastGravity gravity = TopLeft, long duration = 0)
{
    return new QToast(parent, QStringLiteral("same text"), duration, gravity);
}

} // namespace

class TestToast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { g_testHandler = qInstallMessageHandler(quietOpacity); }
    void cleanupTestCase() { qInstallMessageHandler(g_testHandler); }

    // The display time starts once the toast is opaque; it then fades, reports its close
    // once and deletes itself. A toast without auto-close outlives it.
    void fadeAndAutoClose()
    {
        Host host;
        QPointer<QToast> toast = make(&host.window, TopLeft, 400);
        QPointer<QToast> stays = make(&host.window, TopLeft, 1);
        toast->autoClose(true);
        QList<QToast*> reported;
        connect(toast.data(), &QToast::closed, this, [&](QToast* t) { reported << t; });
        QToast* const raw = toast;
        toast->show();
        stays->show();
        QCOMPARE(toast->getOpacity(), 0.0f);
        QTRY_COMPARE(toast->getOpacity(), 1.0f);
        QElapsedTimer opaque;
        opaque.start();
        QTRY_VERIFY(toast.isNull());
        QVERIFY2(opaque.elapsed() >= 380, qPrintable(QString::number(opaque.elapsed())));  // coarse timers: 5 %
        QCOMPARE(reported, QList<QToast*>{raw});
        QCOMPARE(stays->getOpacity(), 1.0f);

        // Reaching 1.0 by hand arms the timer too, even one shorter than the fade;
        // 0.0 without close() is just transparent.
        stays->setOpacity(0.0f);
        QTest::qWait(50);
        QVERIFY(stays);
        stays->autoClose(true);
        stays->setOpacity(1.0f);
        QTRY_VERIFY(stays.isNull());
    }

    void clicks_data()
    {
        QTest::addColumn<bool>("withListener");
        QTest::addColumn<bool>("closeOnClick");
        QTest::addColumn<bool>("onCross");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("closes");
        const int left = Qt::LeftButton;
        QTest::newRow("body, listener") << true << false << false << left << 1 << false;
        QTest::newRow("body, listener, close") << true << true << false << left << 1 << true;
        QTest::newRow("body, no listener, close") << false << true << false << left << 0 << true;
        QTest::newRow("body, nothing") << false << false << false << left << 0 << false;
        QTest::newRow("cross, listener") << true << false << true << left << 0 << true;
        QTest::newRow("right on body") << true << true << false << int(Qt::RightButton) << 0 << false;
        QTest::newRow("middle on cross") << true << true << true << int(Qt::MiddleButton) << 0 << false;
    }
    // The press decides what the release does, wherever the release lands.
    void clicks()
    {
        QFETCH(bool, withListener);
        QFETCH(bool, closeOnClick);
        QFETCH(bool, onCross);
        QFETCH(int, button);
        QFETCH(int, calls);
        QFETCH(bool, closes);
        Host host;
        QPointer<QToast> toast = make(&host.window);
        int fired = 0;
        QWidget* seenParent = nullptr;
        toast->setOnClickListener(withListener ? new QToastListener([&](QToastEvent& e) {
            ++fired;
            seenParent = e.parent;
        }) : nullptr, closeOnClick);
        toast->show();
        toast->grab();  // the cross is placed by painting
        QSignalSpy closed(toast.data(), &QToast::closed);
        const auto b = Qt::MouseButton(button);
        QTest::mousePress(toast, b, {}, onCross ? QPoint(toast->width() - 10, 9) : QPoint(8, 8));
        QTest::mouseRelease(toast, b, {}, QPoint(-20, 500));
        QCOMPARE(fired, calls);
        QCOMPARE(seenParent, calls ? &host.window : nullptr);
        if (closes) {
            QTRY_VERIFY(toast.isNull());
            QCOMPARE(closed.count(), 1);
        } else {
            QTest::qWait(300);
            QVERIFY(toast);
        }
    }

    void placement_data()
    {
        QTest::addColumn<bool>("nested");
        QTest::addColumn<int>("gravity");
        QTest::addColumn<QPoint>("corner");  // the toast's top-left or top-right corner
        QTest::newRow("window, top left") << false << int(TopLeft) << QPoint(100, 50);
        QTest::newRow("window, top right") << false << int(TopRight) << QPoint(500, 50);
        QTest::newRow("nested, top left") << true << int(TopLeft) << QPoint(130, 90);
        QTest::newRow("nested, top right") << true << int(TopRight) << QPoint(330, 90);
        QTest::newRow("unknown gravity stays put") << false << 7 << QPoint(3, 4);
    }
    void placement()
    {
        QFETCH(bool, nested);
        QFETCH(int, gravity);
        QFETCH(QPoint, corner);
        Host host;
        QToast* toast = make(nested ? host.nested : &host.window, QToastGravity(gravity));
        toast->move(3, 4);
        toast->show();
        const QRect g = toast->geometry();
        QCOMPARE(gravity == TopRight ? QPoint(g.right() + 1, g.top()) : g.topLeft(), corner);
    }

    // Purple panel inside a transparent 3-pixel margin, white cross, markup rendered as rich
    // text, and a long message capped at 350 pixels.
    void paintingAndSize()
    {
        QToast toast(nullptr, QStringLiteral("<b>paint</b>"), 0, TopLeft);
        toast.setAttribute(Qt::WA_DeleteOnClose, false);
        const QImage img = toast.grab().toImage();
        const int w = img.width(), h = img.height();
        const QColor panel(131, 61, 150);
        for (const QPoint& p : {QPoint(3, 3), QPoint(w - 4, h - 4), QPoint(4, h / 2), QPoint(w - 11, 6)})
            QCOMPARE(img.pixelColor(p), panel);
        for (const QPoint& p : {QPoint(2, h / 2), QPoint(w - 3, h / 2), QPoint(w / 2, 2), QPoint(w / 2, h - 3)})
            QCOMPARE(img.pixelColor(p).alpha(), 0);
        for (const QPoint& p : {QPoint(w - 11, 9), QPoint(w - 13, 7), QPoint(w - 8, 12), QPoint(w - 8, 6), QPoint(w - 13, 11)})
            QCOMPARE(img.pixelColor(p), QColor(Qt::white));
        QCOMPARE(toast.findChild<QLabel*>()->text(), QStringLiteral("<font color ='white'><b>paint</b></font>"));

        QToast tall(nullptr, QStringLiteral("line<br>").repeated(60), 0, TopLeft);
        QVERIFY(tall.height() <= 350);
    }

    // New toasts slide below the others; a closed one makes those below slide up, also when a
    // second close comes while the first re-stack is still sliding. Closing twice is harmless.
    void stackAndRestack()
    {
        Host host;
        QToaster toaster(&host.window, TopLeft);
        QList<QPointer<QToast>> t;
        for (int i = 0; i < 4; ++i) {
            t << make(&host.window);
            toaster.notify(t.last());
            QCOMPARE(t.last()->pos(), QPoint(100, 50));  // fades in at the top, then slides
        }
        const int h = t[0]->height();
        QTRY_COMPARE(t[3]->pos(), QPoint(100, 50 + 3 * h));
        QCOMPARE(t[2]->pos(), QPoint(100, 50 + 2 * h));
        t[1]->close();
        QTRY_VERIFY(t[1].isNull());
        QTest::qWait(100);
        t[0]->close();
        QTRY_VERIFY(t[0].isNull());
        QTRY_COMPARE(t[3]->pos(), QPoint(100, 50 + h));
        QCOMPARE(t[2]->pos(), QPoint(100, 50));
        toaster.onToastClosed(t[3]);
        toaster.onToastClosed(t[3]);
        QTest::qWait(500);
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
        for (QToast* t : {a.data(), b.data(), c.data()})
            toaster.notify(t);
        delete b;
        QTRY_COMPARE(c->pos(), QPoint(100, 50 + h));
        QPointer<QToast> d = make(&host.window);
        toaster.notify(d);
        QTRY_COMPARE(d->pos(), QPoint(100, 50 + 2 * h));
        a->close();
        QTRY_COMPARE(d->pos(), QPoint(100, 50 + h));
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

    // A burst of self-closing toasts all go away (the sanitizer build checks for leaks);
    // a text toast closes itself 3000 ms after its fade-in.
    void burstClosesAll()
    {
        Host host;
        QToaster toaster(&host.window, TopRight);
        QList<QPointer<QToast>> toasts;
        for (int i = 0; i < 30; ++i) {
            toasts << make(&host.window, TopLeft, 20 + i);
            toasts.last()->autoClose(true);
            toasts.last()->setOnClickListener(new QToastListener([](QToastEvent&) {}), true);
            toaster.notify(toasts.last());
        }
        toaster.notify(QStringLiteral("text only"));
        QTRY_VERIFY(std::all_of(toasts.begin(), toasts.end(), [](const auto& t) { return t.isNull(); }));
        QCOMPARE(host.window.findChildren<QToast*>().size(), 1);
        QTest::qWait(2000);
        QCOMPARE(host.window.findChildren<QToast*>().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(host.window.findChildren<QToast*>().size(), 0, 4000);
    }
};

QTEST_MAIN(TestToast)
#include "tst_toast.moc"
