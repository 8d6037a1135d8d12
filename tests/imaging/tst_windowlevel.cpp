#include <QWindowLevelGraphicsScene.h>
#include <QZoomableGraphicsView.h>

// Route widget mouse events through the window, as the platform delivers them.
#define QTEST_QPA_MOUSE_HANDLING
#include <QToolTip>
#include <QtTest>

using Path = QList<QPoint>;

class TestWindowLevel : public QObject
{
    Q_OBJECT

    QWindowLevelGraphicsScene* scene = nullptr;
    QZoomableGraphicsView* view = nullptr;

    // A 500 × 500 image in a 500 × 500 viewport: viewport and scene coordinates coincide.
    void showScene(QWindowLevelGraphicsScene* s, bool attachView = true)
    {
        scene = s;
        QImage img(500, 500, QImage::Format_RGB32);
        img.fill(Qt::gray);
        scene->setImage(img);
        view = new QZoomableGraphicsView(scene, nullptr);
        view->setFrameShape(QFrame::NoFrame);
        if (attachView)
            scene->setGraphicsView(view);
        view->resize(500, 500);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QCOMPARE(scene->sceneRect(), QRectF(0, 0, 500, 500));
        QCOMPARE(view->mapToScene(QPoint(10, 20)), QPointF(10, 20));
    }
    void drag(const Path& path, Qt::MouseButton button = Qt::LeftButton)
    {
        QWidget* vp = view->viewport();
        QTest::mousePress(vp, button, {}, path.first());
        for (int i = 1; i < path.size(); ++i)
            QTest::mouseMove(vp, path.at(i));
        QTest::mouseRelease(vp, button, {}, path.last());
    }

private slots:
    void init() { QToolTip::hideText(); }
    void cleanup()
    {
        delete view;
        delete scene;
        view = nullptr;
        scene = nullptr;
    }

    void dragSteps_data()
    {
        QTest::addColumn<QList<int>>("initial");  // window, level, wMin, wMax, lMin, lMax
        QTest::addColumn<Path>("path");           // press, then moves
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("emitted");
        const QList<int> wide{500, 300, 0, 1000, 0, 1000};  // scale 1.0 on both axes
        const QPoint p(250, 250);
        QTest::newRow("within 12 units") << wide << Path{p, {261, 250}, {250, 261}, {239, 239}} << 500 << 300 << 0;
        QTest::newRow("engaging move changes nothing") << wide << Path{p, {262, 250}} << 500 << 300 << 0;
        QTest::newRow("10 right") << wide << Path{p, {262, 250}, {272, 250}} << 510 << 300 << 1;
        QTest::newRow("left lowers") << wide << Path{p, {238, 250}, {230, 250}} << 492 << 300 << 1;
        QTest::newRow("down raises level") << wide << Path{p, {250, 262}, {250, 282}} << 500 << 320 << 1;
        QTest::newRow("level engages next event") << wide << Path{p, {262, 250}, {272, 262}, {282, 272}}
                                                  << 520 << 310 << 2;
        QTest::newRow("horizontal keeps out-of-range level") << QList<int>{500, 5000, 0, 1000, 0, 100}
                                                             << Path{p, {262, 250}, {300, 250}} << 538 << 5000 << 1;
        QTest::newRow("clamped at max") << QList<int>{995, 0, 0, 1000, 0, 0} << Path{p, {262, 250}, {300, 250}}
                                        << 1000 << 0 << 1;
        QTest::newRow("out of range pulled in") << QList<int>{-50, 0, 0, 1000, 0, 0} << Path{p, {262, 250}, {263, 250}}
                                                << 0 << 0 << 1;
        // Scale 0.9: one pixel per event truncates to nothing, every event still signals.
        QTest::newRow("slow drag truncates") << QList<int>{500, 0, 0, 900, 0, 0}
                                             << Path{p, {262, 250}, {263, 250}, {264, 250}, {274, 250}}
                                             << 509 << 0 << 3;
        // Inverted extents (100, 0): scale -0.1, so 10 px right lowers by 1; the clamp then
        // gives max (0) for a value above max and min (100) otherwise.
        QTest::newRow("inverted, above max") << QList<int>{50, 0, 100, 0, 0, 0} << Path{p, {262, 250}, {272, 250}}
                                             << 0 << 0 << 1;
        QTest::newRow("inverted, below both") << QList<int>{-5, 0, 100, 0, 0, 0} << Path{p, {262, 250}, {272, 250}}
                                              << 100 << 0 << 1;
        QTest::newRow("all zero") << QList<int>{0, 0, 0, 0, 0, 0} << Path{p, {262, 262}, {300, 300}} << 0 << 0 << 1;
    }
    void dragSteps()
    {
        QFETCH(QList<int>, initial);
        QFETCH(Path, path);
        QFETCH(int, window);
        QFETCH(int, level);
        QFETCH(int, emitted);
        showScene(new QWindowLevelGraphicsScene(initial[0], initial[1], initial[2], initial[3],
                                                initial[4], initial[5], nullptr));
        QSignalSpy changed(scene, &QWindowLevelGraphicsScene::windowLevelChanged);
        drag(path);
        QCOMPARE(scene->currentWindow(), window);
        QCOMPARE(scene->currentLevel(), level);
        QCOMPARE(changed.count(), emitted);
        if (emitted)
            QCOMPARE(changed.last(), (QList<QVariant>{window, level}));
        else
            QVERIFY(!QToolTip::isVisible());
    }

    void tooltipAndSetters()
    {
        showScene(new QWindowLevelGraphicsScene);
        scene->setWindowExtents(0, 1000);
        scene->setLevelExtents(-1000, 1000);
        scene->setWindow(2000);  // stored unclamped until a step on that axis
        scene->setLevel(-7);
        QCOMPARE(scene->currentWindow(), 2000);
        QWidget* vp = view->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, {250, 250});
        QTest::mouseMove(vp, {262, 250});
        QTest::mouseMove(vp, {282, 250});
        QCOMPARE(scene->currentWindow(), 1000);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Win: 1000 \n Level: -7"));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, {282, 250});
    }

    void buttonsAndImage()
    {
        showScene(new QWindowLevelGraphicsScene(500, 500, 0, 1000, 0, 1000, nullptr));
        QSignalSpy changed(scene, &QWindowLevelGraphicsScene::windowLevelChanged);
        drag({{250, 250}, {262, 262}, {300, 300}}, Qt::RightButton);
        QCOMPARE(changed.count(), 0);

        // Releasing another button ends a left drag.
        QWidget* vp = view->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, {250, 250});
        QTest::mouseMove(vp, {262, 250});
        QTest::mousePress(vp, Qt::RightButton, {}, {262, 250});
        QTest::mouseRelease(vp, Qt::RightButton, {}, {262, 250});
        QTest::mouseMove(vp, {300, 250});
        QTest::mouseRelease(vp, Qt::LeftButton, {}, {300, 250});
        QCOMPARE(changed.count(), 0);

        scene->resetImage();
        drag({{250, 250}, {262, 262}, {300, 300}});
        QCOMPARE(changed.count(), 0);
    }

    void noViewNoTooltip()
    {
        showScene(new QWindowLevelGraphicsScene(500, 500, 0, 1000, 0, 1000, nullptr), false);
        QSignalSpy changed(scene, &QWindowLevelGraphicsScene::windowLevelChanged);
        drag({{250, 250}, {262, 250}, {272, 250}});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(scene->currentWindow(), 510);
        QVERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(TestWindowLevel)
#include "tst_windowlevel.moc"
