#include <QToast.h>
#include <QToaster.h>

#include "testing.h"

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A top-level parent at (100, 50), 400 x 300, with a nested child at (30, 40), 200 x 100.
struct Host
{
    QWidget window, *nested = new QWidget(&window);
    Host() { window.setGeometry(100, 50, 400, 300), nested->setGeometry(30, 40, 200, 100), window.show(); }
};

static QToast* make(QWidget* parent, QToastGravity gravity = TopLeft, long ms = 0) { return new QToast(parent, "same text", ms, gravity); }

// Bounding box of the pixels of exactly colour c, away from the close cross.
static QRect spot(const QImage& img, QColor c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width() - 20; ++x)
            if (img.pixelColor(x, y) == c) box |= QRect(x, y, 1, 1);
    return box;
}

static bool allGone(const QList<QPointer<QToast>>& t) { return std::all_of(t.begin(), t.end(), [](const auto& p) { return p.isNull(); }); }

enum Click { Listener = 1, CloseOnClick = 2, OnCross = 4, Right = 8, Middle = 16, Calls = 32, Closes = 64 };

class TestToast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietOffscreen(); }

    // The display time counts from the end of the fade-in; then the toast fades out, reports
    // its close once and deletes itself. A burst through a toaster all goes (the sanitizer
    // build checks for leaks, listeners included), and so does a text toast, by itself.
    void autoClose()
    {
        Host host;
        QToaster toaster(&host.window, TopLeft);
        QList<QPointer<QToast>> t;
        for (int i = 0; i < 30; ++i) {
            (t << make(&host.window, TopLeft, 20 + i)).last()->autoClose(true);
            t.last()->setOnClickListener(new QToastListener([](QToastEvent&) {}), true);
            toaster.notify(t.last());
        }
        toaster.notify(QStringLiteral("text only"));
        QPointer<QToast> toast = make(&host.window, TopLeft, 400);
        toast->autoClose(true);
        QSignalSpy closed(toast.data(), &QToast::closed);
        toast->show();
        QTRY_COMPARE(toast->getOpacity(), 1.0f);
        QElapsedTimer opaque;
        opaque.start();
        QTRY_VERIFY(toast.isNull());
        QVERIFY(opaque.elapsed() >= 380);  // 5 % for coarse timers
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(allGone(t));
        QTRY_COMPARE_WITH_TIMEOUT(host.window.findChildren<QToast*>().size(), 0, 4000);
    }

    void clicks_data()
    {
        QTest::addColumn<int>("flags");
        QTest::newRow("body, listener") << (Listener | Calls);
        QTest::newRow("body, listener, close") << (Listener | CloseOnClick | Calls | Closes);
        QTest::newRow("body, no listener, close") << (CloseOnClick | Closes);
        QTest::newRow("cross, listener") << (Listener | OnCross | Closes);
        QTest::newRow("right on body") << (Right | Listener | CloseOnClick);
        QTest::newRow("middle on cross") << (Middle | Listener | CloseOnClick | OnCross);
    }
    // The press decides what the release does, wherever the release lands.
    void clicks()
    {
        QFETCH(int, flags);
        const Qt::MouseButton button = flags & Right ? Qt::RightButton : flags & Middle ? Qt::MiddleButton : Qt::LeftButton;
        Host host;
        QPointer<QToast> toast = make(&host.window);
        int fired = 0;  // counts calls that carry the right parent
        const auto count = [&](QToastEvent& e) { fired += e.parent == &host.window ? 1 : 100; };
        toast->setOnClickListener(flags & Listener ? new QToastListener(count) : nullptr, flags & CloseOnClick);
        toast->show();
        toast->grab();  // the cross is placed by painting
        QTest::mousePress(toast, button, {}, flags & OnCross ? QPoint(toast->width() - 10, 9) : QPoint(8, 8));
        QTest::mouseRelease(toast, button, {}, QPoint(-20, 500));
        QCOMPARE(fired, int(bool(flags & Calls)));
        QTest::qWait(300);
        QCOMPARE(toast.isNull(), bool(flags & Closes));
    }

    // Each corner is the toast's top-left or top-right one, by gravity.
    void placement()
    {
        Host host;
        const struct { QWidget* parent; int gravity; QPoint corner; } cases[] = {
            {&host.window, TopLeft, {100, 50}}, {&host.window, TopRight, {500, 50}},
            {host.nested, TopLeft, {130, 90}}, {host.nested, TopRight, {330, 90}}};
        for (const auto& c : cases) {
            QToast* toast = make(c.parent, QToastGravity(c.gravity));
            toast->show();
            QCOMPARE(c.gravity == TopRight ? toast->geometry().topRight() + QPoint(1, 0) : toast->pos(), c.corner);
        }
    }

    // Purple panel inside a transparent 3-pixel margin, white cross, in logical pixels at any
    // scale. The panel's edges lie on the device pixels nearest to them: away from the
    // antialiased cross every device pixel is all panel or all clear, with no blended seam.
    void painting()
    {
        QToast toast(nullptr, QStringLiteral("<b>paint</b>"), 0, TopLeft);
        const QImage img = toast.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const qreal d = img.devicePixelRatio();
        const int w = toast.width(), h = toast.height();
        QCOMPARE(img.size(), QSize(qRound(w * d), qRound(h * d)));
        const QRect panel(QPoint(qRound(3 * d), qRound(3 * d)), QPoint(qRound((w - 3) * d) - 1, qRound((h - 3) * d) - 1));
        const QRectF cross(w - 16, 4, 12, 12), label = QRectF(toast.findChild<QLabel*>()->geometry()).adjusted(-1, -1, 1, 1);
        int white = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QPointF c((x + 0.5) / d, (y + 0.5) / d); // the pixel's centre, logical
                const QColor colour = img.pixelColor(x, y);
                white += cross.contains(c) && colour == Qt::white;
                QVERIFY2(!panel.contains(x, y) ? colour.alpha() == 0 : cross.contains(c) || label.contains(c) || colour == QColor(131, 61, 150),
                         QByteArray::number(x) + "," + QByteArray::number(y));
            }
        QVERIFY(white >= 8 * d * d);
    }

    // A message that fits keeps the size Qt's own layout gives it (the window built the plain
    // way, as a baseline). One wider than Qt lets the window be wraps at that width, up to the
    // height cap. The text never runs under the cross, whose 2-pixel pen reaches from 15 to 6
    // pixels left of the right edge and from 5 to 14 down.
    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wraps");
        const QString words = QString("Series loaded; ").repeated(40);
        QTest::newRow("short") << "Export finished" << false;
        QTest::newRow("markup") << "<b>Export</b> finished<br>in 3 s" << false;
        QTest::newRow("long") << words << true;
        QTest::newRow("very long") << words.repeated(30) << true;
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(bool, wraps);
        QWidget plain(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        plain.setMaximumHeight(350);
        QGridLayout grid(&plain);
        QLabel label(QString("<font color ='white'>%1</font>").arg(text));
        label.setAlignment(Qt::AlignCenter);
        label.setTextFormat(Qt::RichText);
        grid.addWidget(&label, 0, 0);
        grid.setSizeConstraint(QLayout::SetNoConstraint);
        plain.adjustSize();

        QToast toast(nullptr, text, 0, TopLeft);
        toast.show(); // lays the label out
        const QLabel* shown = toast.findChild<QLabel*>();
        const int w = toast.width(), h = toast.height();
        QVERIFY(!QRect(w - 15, 5, 10, 10).intersects(shown->geometry()) && shown->geometry().left() >= 4);
        QCOMPARE(shown->wordWrap(), wraps);
        if (!wraps) {
            QCOMPARE(toast.size(), plain.size());
            return;
        }
        QCOMPARE(w, plain.width()); // as wide as Qt let it be, no wider
        QVERIFY(h > plain.height() && h <= 350);
        if (h < 350) // all of it shows
            QVERIFY(shown->height() >= shown->heightForWidth(shown->width()));
        else
            QVERIFY(shown->heightForWidth(shown->width()) > 350);
    }

    void resourcesNeverLoad_data()
    {
        QTest::addColumn<QString>("markup");  // %1: the path it names
        QTest::newRow("img") << "<img src=\"%1\">";
        QTest::newRow("img url, sized") << "<img src=\"file://%1\" width=30 height=30>";
        QTest::newRow("table background") << "<table background=\"%1\"><tr><td>cell</td></tr></table>";
        QTest::newRow("body background") << "<body background=\"%1\">body</body>";
        QTest::newRow("css background") << "<p style=\"background-image: url(%1)\">para</p>";
        QTest::newRow("style sheet link") << "<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\">";
        QTest::newRow("style import") << "<style>@import url(%1);</style>";
    }
    // Markup may name files, but a toast reads none to show its text: a FIFO nobody writes
    // would block it for ever, /dev/zero would fill memory, a picture would show. The colour
    // and line break around them still render.
    void resourcesNeverLoad()
    {
        QFETCH(QString, markup);
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo"), png = dir.filePath("blue.png");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QImage blue(40, 40, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(png));
        // Opens the writing end whenever a reader has the FIFO open: that lets a blocked reader
        // go on (to an empty read) and tells that the toast opened it.
        std::atomic<bool> done{false}, opened{false};
        std::thread watchdog([&, path = QFile::encodeName(fifo)] {
            for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(2)))
                if (const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    opened = true, ::close(fd);
        });
        const auto stop = qScopeGuard([&] { done = true, watchdog.join(); });
        for (const QString& path : {fifo, QStringLiteral("/dev/zero"), png}) {
            const QImage img = QToast(nullptr, "<b>MMMM</b><br><font color='#00ff00' size=7>MMMM</font>" + markup.arg(path), 0, TopLeft).grab().toImage();
            QVERIFY2(!opened, qPrintable(path));
            QVERIFY2(spot(img, Qt::blue).isEmpty(), qPrintable(path));
            const QRect green = spot(img, QColor(0, 255, 0));
            QVERIFY(!green.isEmpty());
            QVERIFY(!spot(img.copy(0, 0, img.width(), green.top()), Qt::white).isEmpty());  // the first line
        }
    }

    // New toasts fade in at the top and slide below the others, at the toaster's gravity, not
    // their own. A closed toast, or one the host deletes without a fade-out (here while the
    // first re-stack still slides), makes those below slide up, and later notifications and
    // closes still stack right. Then the parent goes while toasts fade and slide.
    void stackAndRestack()
    {
        auto* host = new Host;
        auto* toaster = new QToaster(&host->window, TopLeft);
        QList<QPointer<QToast>> t;
        const auto add = [&] { toaster->notify((t << make(&host->window, TopRight)).last()); return t.last()->pos(); };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(add(), QPoint(100, 50));
        const auto row = [h = t[0]->height()](int r) { return QPoint(100, 50 + r * h); };
        QTRY_COMPARE(t[3]->pos(), row(3));
        QCOMPARE(t[2]->pos(), row(2));
        t[1]->close();
        QTRY_VERIFY(t[1].isNull());
        delete t[0];
        QTRY_COMPARE(t[3]->pos(), row(1));
        QCOMPARE(t[2]->pos(), row(0));
        add();
        QTRY_COMPARE(t[4]->pos(), row(2));
        t[2]->close();
        QTRY_COMPARE(t[4]->pos(), row(1));
        add();
        t[4]->close();
        QTest::qWait(200);
        t[3]->close();
        delete host;
        QVERIFY(allGone(t));
        QTest::qWait(450);
    }
};

QTEST_MAIN(TestToast)
#include "tst_toast.moc"
