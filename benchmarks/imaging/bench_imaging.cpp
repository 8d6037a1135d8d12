// Image viewing against plain Qt doing the same work.
//
//  refit_8192_on_resize   a shown view is resized over an 8192 x 8192 image; the baseline is
//                         the QImage::scaled call that the refit makes.
//  zoom_step_4096         one Control + wheel notch (alternately in and out) on a 4096 x 4096
//                         image, repainted; the baseline is a plain QGraphicsView anchored
//                         under the mouse whose wheel filter scales by the same factor.
//  set_image_stack_300    300 slices of 512 x 512 16-bit images; the baseline is
//                         QPixmap::fromImage of the same 300.

#include "ryqtbench.h"

#include <QBaseImageGraphicsScene.h>
#include <QImageStackViewer.h>
#include <QZoomableGraphicsView.h>

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPixmap>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

// The plain-Qt way to zoom on the wheel: scale the view and let its transformation anchor
// keep the point under the mouse.
class PlainWheelZoom : public QObject
{
public:
    explicit PlainWheelZoom(QGraphicsView* view) : m_view(view) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        const double f = std::pow(1.0015, static_cast<QWheelEvent*>(event)->angleDelta().y());
        m_view->scale(f, f);
        return true;
    }

private:
    QGraphicsView* m_view;
};

QImage pattern(int w, int h, QImage::Format format)
{
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < img.bytesPerLine(); ++x)
            line[x] = uchar((x * 7 + y * 13) & 0xff);
    }
    return img;
}

void showSized(QWidget* w, int width, int height)
{
    w->resize(width, height);
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("benchmark window was not exposed");
}

} // namespace

int main(int argc, char** argv)
{
    ryqtbench::Runner runner(argc, argv);

    // ---- refit on resize ------------------------------------------------------------------
    {
        struct Refit {
            QImage big = pattern(8192, 8192, QImage::Format_RGB32);
            QBaseImageGraphicsScene scene;
            std::unique_ptr<QZoomableGraphicsView> view;
            bool toggle = false;
        };
        auto s = std::make_shared<Refit>();
        s->view.reset(new QZoomableGraphicsView(&s->scene, nullptr));
        s->view->setFrameShape(QFrame::NoFrame);
        s->scene.setGraphicsView(s->view.get());
        showSized(s->view.get(), 800, 600);

        auto ours = [s] {
            s->scene.setImage(s->big);  // the refit replaced it last time; not measured
            s->toggle = !s->toggle;
            const QSize size = s->toggle ? QSize(801, 601) : QSize(800, 600);
            const double ms = ryqtbench::timeMs([&] { s->view->resize(size); });
            if (s->scene.getImage().width() != size.height())
                qFatal("the resize did not refit the image");
            return ms;
        };
        auto baseline = [s] {
            QImage fitted;
            const double ms = ryqtbench::timeMs([&] {
                fitted = s->big.scaled(600, 600, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            });
            return ms;
        };
        runner.add(QStringLiteral("refit_8192_on_resize"), ours, baseline, 5);
    }

    // ---- one zoom step ----------------------------------------------------------------------
    {
        struct Zoom {
            QImage image = pattern(4096, 4096, QImage::Format_RGB32);
            QBaseImageGraphicsScene scene;
            std::unique_ptr<QZoomableGraphicsView> view;
            QGraphicsScene plainScene;
            std::unique_ptr<QGraphicsView> plainView;
            std::unique_ptr<PlainWheelZoom> plainZoom;
            int oursSteps = 0;
            int plainSteps = 0;
        };
        auto s = std::make_shared<Zoom>();
        // No setGraphicsView: the refit on showing would shrink the image before the zoom.
        s->scene.setImage(s->image);
        s->view.reset(new QZoomableGraphicsView(&s->scene, nullptr));
        s->view->setFrameShape(QFrame::NoFrame);
        s->view->viewport()->installEventFilter(s->view.get());
        showSized(s->view.get(), 800, 600);
        QTest::keyPress(s->view->windowHandle(), Qt::Key_Control, Qt::ControlModifier);

        s->plainScene.addPixmap(QPixmap::fromImage(s->image));
        s->plainView.reset(new QGraphicsView(&s->plainScene));
        s->plainView->setFrameShape(QFrame::NoFrame);
        s->plainView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        s->plainView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        s->plainView->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
        s->plainZoom.reset(new PlainWheelZoom(s->plainView.get()));
        s->plainView->viewport()->installEventFilter(s->plainZoom.get());
        showSized(s->plainView.get(), 800, 600);

        // One notch at the viewport's centre, alternating in and out so the scale stays bounded.
        auto notch = [](QWidget* vp, int& steps) {
            const int delta = (steps++ % 2) ? -120 : 120;
            const QPoint pos(400, 300);
            return ryqtbench::timeMs([&] {
                QWheelEvent e(pos, vp->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(vp, &e);
                vp->repaint();
            });
        };
        auto ours = [s, notch] { return notch(s->view->viewport(), s->oursSteps); };
        auto baseline = [s, notch] { return notch(s->plainView->viewport(), s->plainSteps); };
        runner.add(QStringLiteral("zoom_step_4096"), ours, baseline, 101);
    }

    // ---- image stack ------------------------------------------------------------------------
    {
        struct Stack {
            QList<QImage> images;
            QImageStackViewer viewer;
            QList<QPixmap> pixmaps;
        };
        auto s = std::make_shared<Stack>();
        for (int i = 0; i < 300; ++i)
            s->images.append(pattern(512, 512, QImage::Format_Grayscale16));

        auto ours = [s] {
            const double ms = ryqtbench::timeMs([&] { s->viewer.setImageStack(s->images); });
            QList<QImage> none;
            s->viewer.setImageStack(none);  // release outside the measure, like the baseline
            return ms;
        };
        auto baseline = [s] {
            const double ms = ryqtbench::timeMs([&] {
                s->pixmaps.reserve(s->images.size());
                for (const QImage& img : qAsConst(s->images))
                    s->pixmaps.append(QPixmap::fromImage(img));
            });
            s->pixmaps.clear();
            return ms;
        };
        runner.add(QStringLiteral("set_image_stack_300"), ours, baseline, 7);
    }

    return runner.exec();
}
