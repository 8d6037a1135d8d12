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

// Where a toast's top-left corner is against the parent's window. On a platform that places
// windows both are on screen; on Wayland the toast is inside that window and only this holds.
static QPoint at(const QToast* toast, const QWidget* window) { return toast->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()); }

static bool allGone(const QList<QPointer<QToast>>& t) { return std::all_of(t.begin(), t.end(), [](const auto& p) { return p.isNull(); }); }

enum Click { Listener = 1, CloseOnClick = 2, OnCross = 4, Right = 8, Middle = 16, Calls = 32, Closes = 64 };

class TestToast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietOffscreen(); }
    void cleanupTestCase() { QCOMPARE(opacityWarnings(), 0); }  // every fade asked only what the platform does

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
        if (QGuiApplication::platformName() == "offscreen")
            QCOMPARE(host.window.mapToGlobal(QPoint()), QPoint(100, 50));
        const struct { QWidget* parent; int gravity; QPoint corner; } cases[] = {
            {&host.window, TopLeft, {0, 0}}, {&host.window, TopRight, {400, 0}},
            {host.nested, TopLeft, {30, 40}}, {host.nested, TopRight, {230, 40}}};
        for (const auto& c : cases) {
            QToast* toast = make(c.parent, QToastGravity(c.gravity));
            toast->show();
            QCOMPARE(at(toast, &host.window) + (c.gravity == TopRight ? QPoint(toast->width(), 0) : QPoint()), c.corner);
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
        const auto add = [&] { toaster->notify((t << make(&host->window, TopRight)).last()); return at(t.last(), &host->window); };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(add(), QPoint());
        const auto row = [h = t[0]->height()](int r) { return QPoint(0, r * h); };
        QTRY_COMPARE(at(t[3], &host->window), row(3));
        QCOMPARE(at(t[2], &host->window), row(2));
        t[1]->close();
        QTRY_VERIFY(t[1].isNull());
        delete t[0];
        QTRY_COMPARE(at(t[3], &host->window), row(1));
        QCOMPARE(at(t[2], &host->window), row(0));
        add();
        QTRY_COMPARE(at(t[4], &host->window), row(2));
        t[2]->close();
        QTRY_COMPARE(at(t[4], &host->window), row(1));
        add();
        t[4]->close();
        QTest::qWait(200);
        t[3]->close();
        delete host;
        QVERIFY(allGone(t));
        QTest::qWait(450);
    }

    // A host's or the application's style sheet, set before or after the toast is made, never
    // paints behind the text or changes the panel.
    void styleSheetsStayOff_data()
    {
        QTest::addColumn<bool>("onApp");
        QTest::addColumn<bool>("after");
        QTest::newRow("host, before") << false << false;
        QTest::newRow("host, after") << false << true;
        QTest::newRow("application, after") << true << true;
    }
    void styleSheetsStayOff()
    {
        QFETCH(bool, onApp);
        QFETCH(bool, after);
        const QString sheet = "QWidget { background: #ccddee; border: 2px solid #ccddee; padding: 9px; }";
        const auto restore = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        Host host;
        if (!after)
            (onApp ? static_cast<QObject*>(qApp) : &host.window)->setProperty("styleSheet", sheet);
        QToast* toast = make(&host.window);
        const QSize plain = toast->size();
        toast->show();
        if (after)
            (onApp ? static_cast<QObject*>(qApp) : &host.window)->setProperty("styleSheet", sheet);
        toast->setOpacity(1.0f);  // as at the end of the fade-in
        const QImage img = toast->grab().toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QVERIFY2(img.pixelColor(x, y).rgb() != QColor(0xcc, 0xdd, 0xee).rgb(), qPrintable(QString("%1,%2").arg(x).arg(y)));
        QCOMPARE(toast->size(), plain);
    }

    // Half-way through a fade the toast is half seen: through its window's opacity where the
    // platform has one, painted half-transparent by the toast itself elsewhere. Opaque again,
    // it paints as it always does.
    void fadesShow()
    {
        Host host;
        QToast* toast = make(&host.window);
        toast->show();
        toast->setOpacity(0.5f);
        const QPoint inPanel(5, toast->height() / 2);
        const auto alpha = [&] {
            const QImage img = toast->grab().toImage();
            return img.pixelColor(inPanel * img.devicePixelRatio()).alpha();
        };
        if (QGuiApplication::platformName() == "xcb") {
            QVERIFY(qAbs(toast->windowOpacity() - 0.5) < 0.01);  // kept in 1/255 steps
        } else {
            QVERIFY2(qAbs(alpha() - 128) <= 2, qPrintable(QString::number(alpha())));
            QCOMPARE(toast->windowOpacity(), 1.0);  // never asked of a platform that cannot
        }
        toast->setOpacity(1.0f);
        QCOMPARE(alpha(), 255);
    }

    // Clicks as the window system delivers them, to the window the toast is in: its own on
    // X11 and offscreen, the parent's on Wayland. The cross closes without the listener.
    void clicksThroughTheWindow()
    {
        QWidget host;
        host.resize(400, 300);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        int fired = 0;
        QPointer<QToast> body = new QToast(&host, "body", 0, TopLeft), cross = new QToast(&host, "cross", 0, TopRight);
        body->setOnClickListener(new QToastListener([&](QToastEvent&) { ++fired; }), true);
        cross->setOnClickListener(new QToastListener([&](QToastEvent&) { fired += 100; }), false);
        body->show();
        cross->show();
        for (QToast* t : {body.data(), cross.data()}) {
            QVERIFY(QTest::qWaitForWindowExposed(t->window()));
            QTRY_COMPARE(t->getOpacity(), 1.0f);
        }
        const auto click = [](QToast* t, QPoint at) { QTest::mouseClick(t->window()->windowHandle(), Qt::LeftButton, {}, t->mapTo(t->window(), at)); };
        click(cross, QPoint(cross->width() - 10, 9));
        click(body, QPoint(8, 8));
        QCOMPARE(fired, 1);
        QTRY_VERIFY(!body && !cross);
    }

    // What the user sees, read back from the window system itself (a root-window grab on X11,
    // the compositor's own screenshot on Wayland), not from positions Qt reports. A host with
    // a style sheet shows one toast at its top-left corner and three stacked by a toaster at
    // its top-right one: each panel sits 3 pixels in from its corner or from the toast above,
    // its margin shows the host (not black), and no host colour shows behind the text.
    void onScreen()
    {
        const QString platform = QGuiApplication::platformName();
        if (platform != "xcb" && !platform.startsWith("wayland"))
            QSKIP("no window system to read the screen back from");
        const QColor hostColour(0xcc, 0xdd, 0xee), panelColour(131, 61, 150);
        QWidget host;
        host.setStyleSheet("background: #ccddee");
        host.resize(900, 600);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTest::qWait(300);  // a window manager may still move the window after exposing it
        QList<QToast*> toasts{new QToast(&host, "Export <b>finished</b>", 0, TopLeft)};
        toasts.last()->show();
        QToaster toaster(&host, TopRight);
        for (int i = 1; i <= 3; ++i)
            toaster.notify((toasts << new QToast(&host, QString("Series %1 loaded").arg(i), 0, TopLeft)).last());
        for (QToast* toast : toasts)
            QTRY_COMPARE(toast->getOpacity(), 1.0f);
        QTest::qWait(600);  // the slides end, and the window system shows the last frame

        const QImage shot = screenshot();
        QVERIFY2(!shot.isNull(), "no screenshot");
        if (const QString dir = qEnvironmentVariable("RYQT_SCREENSHOT_DIR"); !dir.isEmpty())  // for a look by eye
            shot.save(dir + "/toasts-" + platform + ".png");
        QRect hostBox;  // the host's client area: the largest run of its colour
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y) == hostColour)
                    hostBox |= QRect(x, y, 1, 1);
        // The screen's own scale. On Wayland the compositor scales each buffer to the output's
        // scale, which at 1.5 is not the ratio Qt paints at (2), and resampling then blends the
        // one device pixel at each edge. On X11 a scaled window's logical position cannot say
        // on which of two device pixels a window manager put it, so one pixel is allowed there.
        const qreal d = hostBox.width() / 900.0;
        QVERIFY2(qAbs(hostBox.height() - 600 * d) <= 1, qPrintable(QString::number(hostBox.height())));
        const bool whole = qFuzzyCompare(d, qreal(qRound(d)));
        const int slack = d == 1.0 || (whole && platform != "xcb") ? 0 : 1;
        const auto near = [slack](int got, qreal want) { return qAbs(got - want) <= slack + 0.5; };
        const QList<QRect> panels = regions(shot, panelColour);
        QCOMPARE(panels.size(), 4);
        const qreal m = 3 * d;
        const QRect left = panels[0].left() < panels[1].left() ? panels[0] : panels[1];
        QVERIFY(near(left.left(), hostBox.left() + m) && near(left.top(), hostBox.top() + m));
        QList<QRect> right;
        for (const QRect& r : panels)
            if (r != left)
                right << r;
        std::sort(right.begin(), right.end(), [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
        qreal top = hostBox.top();
        for (int k = 0; k < 3; ++k) {
            QVERIFY2(near(right[k].right() + 1, hostBox.right() + 1 - m), qPrintable(QString::number(k)));
            QVERIFY2(near(right[k].top(), top + m), qPrintable(QString::number(k)));
            top += toasts[k + 1]->height() * d;
        }
        const int ring = int(m);
        for (const QRect& panel : panels) {
            const QRect inner = panel.adjusted(slack, slack, -slack, -slack), clear = panel.adjusted(-1 - slack, -1 - slack, 1 + slack, 1 + slack);
            for (int y = inner.top(); y <= inner.bottom(); ++y)
                for (int x = inner.left(); x <= inner.right(); ++x)
                    QVERIFY2(shot.pixelColor(x, y) != hostColour, "host colour behind the text");
            for (int y = panel.top() - ring; y <= panel.bottom() + ring; ++y)
                for (int x = panel.left() - ring; x <= panel.right() + ring; ++x)
                    if (!clear.contains(x, y))
                        QVERIFY2(shot.pixelColor(x, y) == hostColour, "the margin does not show the host");
        }
    }

private:
    static QImage screenshot()
    {
        if (QGuiApplication::platformName() == "xcb")
            return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        QProcess grim;
        grim.start("grim", {"-"});
        if (!grim.waitForFinished(10000) || grim.exitCode() != 0)
            return QImage();
        return QImage::fromData(grim.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
    }

    // Bounding boxes of the 4-connected regions of exactly colour c, larger than 100 pixels.
    static QList<QRect> regions(const QImage& img, QColor c)
    {
        QList<QRect> found;
        QVector<bool> seen(img.width() * img.height());
        for (int y0 = 0; y0 < img.height(); ++y0)
            for (int x0 = 0; x0 < img.width(); ++x0) {
                if (seen[y0 * img.width() + x0] || img.pixelColor(x0, y0) != c)
                    continue;
                QRect box;
                int count = 0;
                QVector<QPoint> todo{{x0, y0}};
                seen[y0 * img.width() + x0] = true;
                while (!todo.isEmpty()) {
                    const QPoint p = todo.takeLast();
                    box |= QRect(p, QSize(1, 1));
                    ++count;
                    for (const QPoint n : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                        if (img.rect().contains(n) && !seen[n.y() * img.width() + n.x()] && img.pixelColor(n) == c) {
                            seen[n.y() * img.width() + n.x()] = true;
                            todo << n;
                        }
                }
                if (count > 100)
                    found << box;
            }
        return found;
    }
};

QTEST_MAIN(TestToast)
#include "tst_toast.moc"
