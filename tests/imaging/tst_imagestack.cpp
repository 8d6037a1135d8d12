#include <QImageStackViewer.h>

#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QtTest>

namespace {

QList<QImage> stack(int count)
{
    QList<QImage> images;
    for (int i = 0; i < count; ++i) {
        QImage img(8, 4, QImage::Format_RGB32);
        img.fill(qRgb(i, 255 - i, 7));
        images.append(img);
    }
    return images;
}

// Indices of the visible slices; slices share z 0, so ascending order is insertion order.
QList<int> visibleSlices(const QGraphicsScene& scene)
{
    QList<int> shown;
    const QList<QGraphicsItem*> items = scene.items(Qt::AscendingOrder);
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i)->isVisible())
            shown.append(i);
    return shown;
}

void wheel(QGraphicsView& view, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* vp = view.viewport();
    const QPoint pos(20, 20);
    QWheelEvent e(pos, vp->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &e);
}

} // namespace

class TestImageStack : public QObject
{
    Q_OBJECT

private slots:
    void scrollDelta_data()
    {
        QTest::addColumn<int>("slices");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QList<int>>("emitted");
        QTest::newRow("one notch") << 5 << 120 << 0 << QList<int>{1};
        QTest::newRow("two notches") << 5 << 240 << 0 << QList<int>{2};
        QTest::newRow("back") << 5 << -120 << 0 << QList<int>{-1};
        QTest::newRow("partial back") << 5 << -119 << 0 << QList<int>{0};
        QTest::newRow("shift") << 5 << 120 << int(Qt::ShiftModifier) << QList<int>{1};
        QTest::newRow("control") << 5 << 120 << int(Qt::ControlModifier) << QList<int>{};
        QTest::newRow("control+shift") << 5 << 120 << int(Qt::ControlModifier | Qt::ShiftModifier) << QList<int>{};
        QTest::newRow("empty viewer") << 0 << 120 << 0 << QList<int>{};
    }
    void scrollDelta()
    {
        QFETCH(int, slices);
        QFETCH(int, delta);
        QFETCH(int, mods);
        QFETCH(QList<int>, emitted);
        QImageStackViewer viewer;
        QList<QImage> images = stack(slices);
        viewer.setImageStack(images);
        QGraphicsView view(&viewer);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy spy(&viewer, &QImageStackViewer::scrollDelta);
        wheel(view, delta, Qt::KeyboardModifiers(mods));
        QList<int> got;
        for (const QList<QVariant>& args : spy)
            got.append(args.at(0).toInt());
        QCOMPARE(got, emitted);
        QCOMPARE(visibleSlices(viewer), slices ? QList<int>{0} : QList<int>{});
    }

    void slices()
    {
        QImageStackViewer viewer;
        QList<QImage> images = stack(10);
        viewer.setImageStack(images);
        QCOMPARE(images.size(), 10);
        QCOMPARE(visibleSlices(viewer), QList<int>{0});
        QCOMPARE(viewer.imageAt(4).pixel(0, 0), qRgb(4, 251, 7));
        QVERIFY(viewer.imageAt(-1).isNull());
        QVERIFY(viewer.imageAt(10).isNull());

        viewer.showSlice(3);
        QCOMPARE(visibleSlices(viewer), QList<int>{3});
        viewer.showSlice(-1);
        viewer.showSlice(10);
        viewer.showSlice(3);
        QCOMPARE(visibleSlices(viewer), QList<int>{3});

        // The shown index carries over to a new stack.
        viewer.addRect(0, 0, 1, 1);  // a host item goes with the old stack
        images = stack(10);
        viewer.setImageStack(images);
        QCOMPARE(viewer.items().size(), 10);
        QCOMPARE(visibleSlices(viewer), QList<int>{3});

        // Beyond a shorter stack nothing shows until a valid slice is asked for.
        viewer.showSlice(8);
        images = stack(4);
        viewer.setImageStack(images);
        QCOMPARE(visibleSlices(viewer), QList<int>{});
        viewer.showSlice(4);
        QCOMPARE(visibleSlices(viewer), QList<int>{});
        viewer.showSlice(2);
        QCOMPARE(visibleSlices(viewer), QList<int>{2});

        images.clear();
        viewer.setImageStack(images);
        QVERIFY(viewer.items().isEmpty());
        QVERIFY(viewer.imageAt(0).isNull());
        viewer.showSlice(0);  // no slices: nothing to show, nothing breaks
    }
};

QTEST_MAIN(TestImageStack)
#include "tst_imagestack.moc"
