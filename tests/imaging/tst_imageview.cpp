#include <QBaseImageGraphicsScene.h>
#include <QZoomableGraphicsView.h>

#include <QGraphicsPixmapItem>
#include <QScrollBar>
// Route widget mouse events through the window, as the platform delivers them, so buttons
// held during a move are part of the event.
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include <cmath>

namespace {

// Installed on the viewport before the view's own filter, so it runs after it and only sees
// the wheel events the view let through.
class WheelCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Wheel)
            ++count;
        return false;
    }
};

QImage filled(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    return img;
}

} // namespace

class TestImageView : public QObject
{
    Q_OBJECT

    QBaseImageGraphicsScene* scene = nullptr;
    QZoomableGraphicsView* view = nullptr;
    WheelCounter* passed = nullptr;

    void wheel(QPoint angle, QPoint pos = QPoint(200, 200))
    {
        QWidget* vp = view->viewport();
        QWheelEvent e(pos, vp->mapToGlobal(pos), QPoint(), angle, Qt::NoButton,
                      QGuiApplication::keyboardModifiers(), Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp, &e);
    }
    // The zoom reads the application's modifier state, so hold the keys as a user would.
    void holdModifiers(Qt::KeyboardModifiers mods)
    {
        QWindow* w = view->windowHandle();
        if (mods & Qt::ControlModifier)
            QTest::keyPress(w, Qt::Key_Control, Qt::ControlModifier);
        if (mods & Qt::ShiftModifier)
            QTest::keyPress(w, Qt::Key_Shift, mods);
        QCOMPARE(QGuiApplication::keyboardModifiers(), mods);
    }
    double scale() const { return view->transform().m11(); }

private slots:
    void init()
    {
        scene = new QBaseImageGraphicsScene;
        view = new QZoomableGraphicsView(scene, nullptr);
        view->setFrameShape(QFrame::NoFrame);
        passed = new WheelCounter;
        view->viewport()->installEventFilter(passed);
        view->viewport()->installEventFilter(view);
        view->resize(400, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        scene->setImage(filled(1000, 1000));
        // The scene rectangle grows on the next pass of the event loop.
        QTRY_COMPARE(view->horizontalScrollBar()->maximum(), 600);
    }
    void cleanup()
    {
        if (view && view->windowHandle()) {
            QTest::keyRelease(view->windowHandle(), Qt::Key_Shift, Qt::NoModifier);
            QTest::keyRelease(view->windowHandle(), Qt::Key_Control, Qt::NoModifier);
        }
        QCOMPARE(QGuiApplication::keyboardModifiers(), Qt::NoModifier);
        delete view;
        delete scene;
        delete passed;
    }

    void wheelZoomPerNotch_data()
    {
        QTest::addColumn<int>("mods");
        QTest::addColumn<QList<int>>("notches");
        QTest::addColumn<double>("expectedScale");
        QTest::addColumn<int>("passedThrough");
        const double in = std::pow(1.0015, 120);
        QTest::newRow("one notch in") << int(Qt::ControlModifier) << QList<int>{120} << in << 0;
        QTest::newRow("two in") << int(Qt::ControlModifier) << QList<int>{120, 120} << in * in << 0;
        QTest::newRow("out at floor") << int(Qt::ControlModifier) << QList<int>{-120} << 1.0 << 0;
        QTest::newRow("in 2, out 3 stops at 1") << int(Qt::ControlModifier)
                                               << QList<int>{120, 120, -120, -120, -120} << 1.0 << 0;
        QTest::newRow("in then partly out") << int(Qt::ControlModifier) << QList<int>{240, -120} << in << 0;
        QTest::newRow("no modifier consumed") << 0 << QList<int>{120} << 1.0 << 0;
        QTest::newRow("shift+control consumed") << int(Qt::ControlModifier | Qt::ShiftModifier)
                                                << QList<int>{120} << 1.0 << 0;
    }
    void wheelZoomPerNotch()
    {
        QFETCH(int, mods);
        QFETCH(QList<int>, notches);
        QFETCH(double, expectedScale);
        QFETCH(int, passedThrough);
        holdModifiers(Qt::KeyboardModifiers(mods));
        const int hbar = view->horizontalScrollBar()->value();
        for (int delta : notches)
            wheel(QPoint(0, delta));
        QVERIFY2(std::abs(scale() - expectedScale) < 1e-9, qPrintable(QString::number(scale(), 'g', 12)));
        QCOMPARE(passed->count, passedThrough);
        if (!(mods & Qt::ControlModifier))
            QCOMPARE(view->horizontalScrollBar()->value(), hbar);  // consumed: no scrolling either
    }

    void horizontalWheelPassesThrough()
    {
        holdModifiers(Qt::ControlModifier);
        wheel(QPoint(120, 0));
        QCOMPARE(scale(), 1.0);
        QCOMPARE(passed->count, 1);
    }

    void anchorRule_data()
    {
        QTest::addColumn<QPoint>("second");
        QTest::addColumn<QPoint>("expectedAnchor");
        QTest::newRow("4 px in x keeps") << QPoint(104, 100) << QPoint(100, 100);
        QTest::newRow("4 px in y keeps") << QPoint(100, 96) << QPoint(100, 100);
        QTest::newRow("5 px in x moves") << QPoint(105, 100) << QPoint(105, 100);
        QTest::newRow("5 px in y moves") << QPoint(100, 105) << QPoint(100, 105);
        QTest::newRow("far moves") << QPoint(300, 250) << QPoint(300, 250);
    }
    // The scene point under the anchor stays there, to the pixel, across several zoom steps.
    void anchorRule()
    {
        QFETCH(QPoint, second);
        QFETCH(QPoint, expectedAnchor);
        QSignalSpy moved(view, &QZoomableGraphicsView::onMouseMoved);
        QTest::mouseMove(view->viewport(), QPoint(100, 100));
        QTest::mouseMove(view->viewport(), second);
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last().at(0).toPointF(), view->mapToScene(second));

        const QPointF anchorScene = view->mapToScene(expectedAnchor);
        holdModifiers(Qt::ControlModifier);
        for (int i = 0; i < 5; ++i)
            wheel(QPoint(0, 120), second);
        QVERIFY(scale() > 2.4);
        const QPoint now = view->mapFromScene(anchorScene);
        QVERIFY2((now - expectedAnchor).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(now.x()).arg(now.y())));
    }

    void middleButtonPan()
    {
        QWidget* vp = view->viewport();
        QTest::mouseMove(vp, QPoint(200, 200));
        QSignalSpy moved(view, &QZoomableGraphicsView::onMouseMoved);
        const int h = view->horizontalScrollBar()->value();
        const int v = view->verticalScrollBar()->value();
        QTest::mousePress(vp, Qt::MiddleButton, {}, QPoint(200, 200));
        QTest::mouseMove(vp, QPoint(180, 190));
        QTest::mouseMove(vp, QPoint(170, 180));
        QCOMPARE(view->horizontalScrollBar()->value(), h + 30);
        QCOMPARE(view->verticalScrollBar()->value(), v + 20);
        QCOMPARE(moved.count(), 0);
        // Another button neither starts nor ends a pan.
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(170, 180));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(170, 180));
        QTest::mouseMove(vp, QPoint(160, 180));
        QCOMPARE(view->horizontalScrollBar()->value(), h + 40);
        QTest::mouseRelease(vp, Qt::MiddleButton, {}, QPoint(160, 180));
        QTest::mouseMove(vp, QPoint(150, 170));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(view->horizontalScrollBar()->value(), h + 40);
    }

    void refitOnResize_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("landscape") << QSize(400, 200) << QSize(600, 300);
        QTest::newRow("portrait") << QSize(200, 400) << QSize(300, 600);
        QTest::newRow("large") << QSize(2000, 1000) << QSize(600, 300);
    }
    void refitOnResize()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, fitted);
        QSignalSpy resized(view, &QZoomableGraphicsView::imageResizeRequest);
        scene->setGraphicsView(view);
        scene->setImage(filled(image.width(), image.height()));
        view->resize(800, 600);
        QCOMPARE(view->viewport()->size(), QSize(800, 600));
        QCOMPARE(resized.last(), (QList<QVariant>{800, 600}));
        QCOMPARE(scene->getImage().size(), fitted);
        auto* item = qgraphicsitem_cast<QGraphicsPixmapItem*>(scene->items().value(0));
        QVERIFY(item);
        QCOMPARE(item->pixmap().size(), fitted);

        // The fitted copy replaced the original: shrinking then growing again scales it.
        view->resize(100, 100);
        view->resize(800, 600);
        QCOMPARE(scene->getImage().size(), fitted);
        QCOMPARE(scene->getImage().pixelColor(fitted.width() / 2, fitted.height() / 2),
                 QColor(Qt::darkCyan));
    }

    void resetAndNullView()
    {
        scene->setGraphicsView(view);
        scene->resetImage();
        QVERIFY(!scene->hasImage());
        view->resize(300, 200);
        QVERIFY(scene->getImage().isNull());

        scene->setGraphicsView(nullptr);
        QCOMPARE(scene->graphicsView(), nullptr);
        scene->setImage(filled(50, 50));
        view->resize(400, 400);  // the old view's filters stay but are ignored
        QCOMPARE(scene->getImage().size(), QSize(50, 50));

        scene->setGraphicsView(view);
        delete view;
        view = nullptr;
        QCOMPARE(scene->graphicsView(), nullptr);
    }
};

QTEST_MAIN(TestImageView)
#include "tst_imageview.moc"
