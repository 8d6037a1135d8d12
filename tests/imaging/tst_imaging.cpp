#include <QBaseImageGraphicsScene.h>
#include <QImageStackViewer.h>
#include <QWindowLevelGraphicsScene.h>
#include <QZoomableGraphicsView.h>

// Route widget mouse events through the window, as the platform delivers them, so buttons
// held during a move are part of the event.
#define QTEST_QPA_MOUSE_HANDLING
#include "testing.h"

using Ints = QList<int>;
// Modifiers held, mouse moves (the last may move the zoom anchor), vertical wheel deltas, the
// scale they give, and the viewport point whose scene point must stay under it.
struct Zoom { int mods; QString moves; Ints notches; double scale; QPoint anchor; };
// Window, level and their extents; mouse script; window, level and signal count after it.
struct Drag { int w, l, wMin, wMax, lMin, lMax; QString script; Ints expected; bool withView = true; };
Q_DECLARE_METATYPE(Zoom)
Q_DECLARE_METATYPE(Drag)
// One grey pixel, scaled to whatever size an image needs.
static const char* const grey[] = {"1 1 1 1", "g c #808080", "g"};

// Plays mouse events on w: "L+x,y" presses the left button (R right, M middle: Qt's buttons
// 1, 2 and 4), "L-x,y" releases it, a bare "x,y" moves.
static void mouse(QWidget* w, const QString& script) {
    static const QRegularExpression step(QStringLiteral("(?:([LRM])([+-]))?(\\d+),(\\d+)"));
    for (auto it = step.globalMatch(script); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto action = m.captured(2).isEmpty() ? QTest::MouseMove : m.captured(2) == "+" ? QTest::MousePress : QTest::MouseRelease;
        const auto button = Qt::MouseButton(m.captured(1).isEmpty() ? 0 : 1 << QStringLiteral("LRM").indexOf(m.captured(1)));
        QTest::mouseEvent(action, w, button, {}, {m.captured(3).toInt(), m.captured(4).toInt()});
    }
}

// Sent to the viewport, where the host installs the view's wheel filter.
static void wheel(QGraphicsView* v, QPoint angle, Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers()) {
    QWheelEvent e(QPointF(20, 20), QPointF(v->viewport()->mapToGlobal(QPoint(20, 20))), {}, angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->viewport(), &e);
}

class TestImaging : public QObject {
    Q_OBJECT
    QScopedPointer<QBaseImageGraphicsScene> scene;
    QScopedPointer<QZoomableGraphicsView> view;

    // Wired as a host does: the view's wheel filter on its viewport, maybe the view given to the scene.
    void open(QBaseImageGraphicsScene* s, QSize image, QSize size, bool attach) {
        scene.reset(s);
        s->setImage(QImage(grey).scaled(image));
        view.reset(new QZoomableGraphicsView(s, nullptr));
        view->setFrameShape(QFrame::NoFrame);
        view->viewport()->installEventFilter(view.data());
        if (attach) s->setGraphicsView(view.data());
        view->resize(size);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.data()));
    }
    QPoint bars() const { return {view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()}; }

private slots:
    void wheelZoom_data() {
        QTest::addColumn<Zoom>("z");
        const double in5 = qPow(1.0015, 600);  // five notches
        QTest::newRow("4 px keeps anchor") << Zoom{Qt::ControlModifier, "100,100 104,96", {120, 120, 120, 120, 120}, in5, {100, 100}};
        QTest::newRow("5 px in x moves it") << Zoom{Qt::ControlModifier, "100,100 105,100", {600}, in5, {105, 100}};
        QTest::newRow("5 px in y moves it") << Zoom{Qt::ControlModifier, "100,100 100,105", {600}, in5, {100, 105}};
        QTest::newRow("out past 1 stops at 1") << Zoom{Qt::ControlModifier, "100,100", {120, 120, -360}, 1.0, {100, 100}};
        QTest::newRow("no modifier") << Zoom{0, "100,100", {120}, 1.0, {100, 100}};
        QTest::newRow("shift+control") << Zoom{Qt::ControlModifier | Qt::ShiftModifier, "100,100", {120}, 1.0, {100, 100}};
    }
    // Control alone zooms about the anchor; otherwise the wheel is swallowed and scrolls nothing.
    // A horizontal wheel passes on (and scrolls) with Control alone.
    void wheelZoom() {
        QFETCH(Zoom, z);
        open(new QBaseImageGraphicsScene, {1000, 1000}, {400, 400}, false);
        mouse(view->viewport(), "1,1 " + z.moves);  // from a spot away from where the last row left the pointer
        const QPointF target = view->mapToScene(z.anchor);
        if (z.mods) QTest::keyPress(view->windowHandle(), Qt::Key_Control, Qt::KeyboardModifiers(z.mods));
        const auto release = qScopeGuard([this] { QTest::keyRelease(view->windowHandle(), Qt::Key_Control, {}); });
        for (int delta : z.notches) wheel(view.data(), {0, delta});
        QVERIFY2(qAbs(view->transform().m11() - z.scale) < 1e-9, qPrintable(QString::number(view->transform().m11())));
        QVERIFY((view->mapFromScene(target) - z.anchor).manhattanLength() <= 2);
        const QPoint zoomed = bars();
        wheel(view.data(), {120, 0});
        QCOMPARE(bars() != zoomed, z.mods == Qt::ControlModifier);
    }

    // Zooming in goes on until one more notch would leave no finite, invertible transform,
    // and stays there; zooming back out lands on the unzoomed scale exactly, from any depth.
    void zoomLimit() {
        open(new QBaseImageGraphicsScene, {1000, 1000}, {400, 400}, false);
        mouse(view->viewport(), "1,1 100,100");
        QTest::keyPress(view->windowHandle(), Qt::Key_Control, Qt::ControlModifier);
        const auto release = qScopeGuard([this] { QTest::keyRelease(view->windowHandle(), Qt::Key_Control, {}); });
        const auto notches = [this](int n) { for (int i = 0; i < qAbs(n); ++i) wheel(view.data(), {0, n > 0 ? 120 : -120}); };
        for (int depth : {1, 7, 1110, 3000, 5000}) {
            notches(depth);
            const QTransform t = view->transform();
            QVERIFY2(qIsFinite(t.m11()) && t.isInvertible() && t.m11() > (depth < 5000 ? 1.0 : 1e307), qPrintable(QString::number(t.m11())));
            notches(1);
            QCOMPARE(view->transform().m11(), depth < 5000 ? t.m11() * qPow(1.0015, 120) : t.m11());
            const QPointF centre = view->mapToScene(200, 200);
            QVERIFY(qIsFinite(centre.x()) && qIsFinite(centre.y()));
            QVERIFY((view->mapFromScene(centre) - QPoint(200, 200)).manhattanLength() <= 2);
            notches(-depth - 2);
            QCOMPARE(view->transform().m11(), 1.0);
            QCOMPARE(view->transform(), QTransform());
        }
    }

    // The view scrolls by the mouse travel and reports no move meanwhile; another button
    // neither ends nor restarts the pan.
    void middleButtonPan() {
        open(new QBaseImageGraphicsScene, {1000, 1000}, {400, 400}, false);
        QSignalSpy moved(view.data(), &QZoomableGraphicsView::onMouseMoved);
        const QPoint start = bars();
        mouse(view->viewport(), "200,200 M+200,200 180,190 170,180");
        QCOMPARE(bars(), start + QPoint(30, 20));
        mouse(view->viewport(), "L+170,180 L-170,180 160,180 M-160,180 150,170");
        QCOMPARE(bars(), start + QPoint(40, 20));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last().at(0).toPointF(), view->mapToScene(150, 170));
    }

    // The image fits the viewport's smaller side in both orientations; a detached view is no
    // longer watched. A high-DPI rendering keeps its pixel ratio and fills the same logical
    // area, sharp, instead of shrinking to a fraction of it.
    void refitOnResize() {
        for (qreal ratio : {1.0, 2.0, 1.5}) {
            for (const auto& [image, fitted] : std::initializer_list<std::pair<QSize, QSize>>{{{400, 200}, {600, 300}}, {{200, 400}, {300, 600}}}) {
                open(new QBaseImageGraphicsScene, image, {400, 400}, true);
                QImage hidpi = scene->getImage();
                hidpi.setDevicePixelRatio(ratio);
                scene->setImage(hidpi);
                view->resize(800, 600);
                QCOMPARE(scene->getImage().size(), fitted * ratio);
                QCOMPARE(scene->getImage().devicePixelRatio(), ratio);
                QCOMPARE(scene->itemsBoundingRect().size(), QSizeF(fitted));  // the pixmap follows
            }
        }
        scene->setGraphicsView(nullptr);
        view->resize(400, 400);
        QCOMPARE(scene->getImage().size(), QSize(450, 900));  // the last one, at 1.5
    }

    void windowLevelDrag_data() {
        QTest::addColumn<Drag>("d");
        // Extents 0 to 1000 on a 500-unit scene: scale 1.0.
        QTest::newRow("within 12 units") << Drag{500, 300, 0, 1000, 0, 1000, "L+250,250 261,250 250,261 239,239", {500, 300, 0}};
        // The level lies outside its extents, and a horizontal drag leaves it there.
        QTest::newRow("engage at 12, 10 right") << Drag{500, 5000, 0, 1000, 0, 100, "L+250,250 262,250 272,250", {510, 5000, 1}};
        QTest::newRow("no view, no tooltip") << Drag{500, 5000, 0, 1000, 0, 100, "L+250,250 262,250 272,250", {510, 5000, 1}, false};
        QTest::newRow("level engages next event") << Drag{990, 300, 0, 1000, 0, 1000, "L+250,250 262,250 272,262 282,272", {1000, 310, 2}};
        QTest::newRow("right drag") << Drag{500, 300, 0, 1000, 0, 1000, "R+250,250 262,262 300,300 R-300,300", {500, 300, 0}};
        QTest::newRow("right release ends drag") << Drag{500, 300, 0, 1000, 0, 1000, "L+250,250 262,250 R+262,250 R-262,250 300,250", {500, 300, 0}};
        QTest::newRow("up-left, both up to min") << Drag{-50, -60, 0, 1000, -40, 0, "L+250,250 238,238 237,237", {0, -40, 1}};
        // Scale 0.9: one pixel per event truncates to nothing, every event still signals.
        QTest::newRow("slow drag truncates") << Drag{500, 0, 0, 900, 0, 0, "L+250,250 262,250 263,250 264,250 274,250", {509, 0, 3}};
        // Inverted extents (100, 0): 10 px right lowers by 1; above max gives max, otherwise min.
        QTest::newRow("inverted, above max") << Drag{50, 0, 100, 0, 0, 0, "L+250,250 262,250 272,250", {0, 0, 1}};
        QTest::newRow("inverted, below both") << Drag{-5, 0, 100, 0, 0, 0, "L+250,250 262,250 272,250", {100, 0, 1}};
        // Extents wider than INT_MAX (2147483.648 or 4294967.295 per scene unit): every drag
        // goes the way the mouse went, and clamps at the far ends.
        const int lo = INT_MIN, hi = INT_MAX;
        QTest::newRow("-1..max, right raises") << Drag{0, 0, -1, hi, 0, 0, "L+250,250 262,250 272,250", {21474836, 0, 1}};
        QTest::newRow("-1..max, up to -1") << Drag{0, 5, 0, 0, -1, hi, "L+250,250 250,238 250,100", {0, -1, 1}};
        QTest::newRow("full range, right raises") << Drag{0, 0, lo, hi, 0, 0, "L+250,250 262,250 272,250", {42949672, 0, 1}};
        QTest::newRow("full range, left lowers") << Drag{0, 0, lo, hi, 0, 0, "L+250,250 238,250 228,250", {-42949672, 0, 1}};
        QTest::newRow("full range, down raises") << Drag{0, 0, 0, 0, lo, hi, "L+250,250 250,262 250,272", {0, 42949672, 1}};
        QTest::newRow("full range, right to max") << Drag{hi - 5, 0, lo, hi, 0, 0, "L+250,250 262,250 499,250", {hi, 0, 1}};
        QTest::newRow("full range, both to min") << Drag{lo + 5, lo + 5, lo, hi, lo, hi, "L+250,250 262,262 272,272 100,100", {lo, lo, 2}};
    }
    // Each row drags and checks the tooltip before the left button goes up.
    void windowLevelDrag() {
        QFETCH(Drag, d);
        auto* s = new QWindowLevelGraphicsScene(d.w, d.l, d.wMin, d.wMax, d.lMin, d.lMax, nullptr);
        open(s, {500, 500}, {500, 500}, d.withView);
        // On a real desktop the window is activated a moment after it shows; that activation
        // would hide a tooltip shown before it.
        QVERIFY(waitForActive(view.data()));
        QSignalSpy changed(s, &QWindowLevelGraphicsScene::windowLevelChanged);
        mouse(view->viewport(), d.script);
        QCOMPARE((Ints{s->currentWindow(), s->currentLevel(), int(changed.count())}), d.expected);
        QCOMPARE(QToolTip::isVisible(), d.withView && !changed.isEmpty());
        if (!changed.isEmpty()) QCOMPARE(changed.last(), (QList<QVariant>{d.expected[0], d.expected[1]}));
        if (QToolTip::isVisible()) QCOMPARE(QToolTip::text(), QStringLiteral("Win: %1 \n Level: %2").arg(d.expected[0]).arg(d.expected[1]));
        mouse(view->viewport(), "L-" + d.script.right(7));  // where the script ended
    }

    // The stack reports whole wheel notches and leaves the slice to the host; Control or an
    // empty stack silence it. Slices switch only to valid indices, which survive a new stack.
    void imageStack() {
        QImageStackViewer viewer;
        QGraphicsView gv(&viewer);
        const auto shown = [&viewer] {  // per item, in stack order: # visible, . hidden
            QString s;
            for (QGraphicsItem* item : viewer.items(Qt::AscendingOrder)) s += item->isVisible() ? '#' : '.';
            return s;
        };
        QSignalSpy deltas(&viewer, &QImageStackViewer::scrollDelta);
        wheel(&gv, {0, 120}, Qt::NoModifier);
        QList<QImage> images = QVector<QImage>(10, QImage(grey)).toList();
        viewer.setImageStack(images);
        for (const auto& [delta, mods] : std::initializer_list<std::pair<int, Qt::KeyboardModifiers>>{{240, {}}, {-119, {}},
                 {120, Qt::ShiftModifier}, {120, Qt::ControlModifier}, {120, Qt::ControlModifier | Qt::ShiftModifier}})
            wheel(&gv, {0, delta}, mods);
        wheel(&gv, {-240, 120}, Qt::NoModifier);  // sideways: the larger part counts
        QCOMPARE(deltas, (QList<QList<QVariant>>{{2}, {0}, {1}, {-2}}));
        QCOMPARE(shown(), QLatin1String("#........."));
        QVERIFY(viewer.imageAt(-1).isNull() && viewer.imageAt(10).isNull());
        for (int i : {3, -1, 10}) viewer.showSlice(i);
        viewer.addRect(0, 0, 1, 1);  // a new stack drops every item, host items too
        viewer.setImageStack(images);
        QCOMPARE(shown(), QLatin1String("...#......"));
        viewer.showSlice(8);
        images = images.mid(0, 4);
        viewer.setImageStack(images);
        QCOMPARE(shown(), QLatin1String("...."));  // nothing until a valid slice is asked for
        for (int i : {4, 2}) viewer.showSlice(i);
        QCOMPARE(shown(), QLatin1String("..#."));
        images.clear();
        viewer.setImageStack(images);
        QCOMPARE(shown(), QLatin1String(""));
    }
};

QTEST_MAIN(TestImaging)
#include "tst_imaging.moc"
