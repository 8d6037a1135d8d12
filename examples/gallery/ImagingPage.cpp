#include "ImagingPage.h"

#include <QImageStackViewer.h>
#include <QWindowLevelGraphicsScene.h>
#include <QZoomableGraphicsView.h>

#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <cmath>

namespace {

// A phantom: a soft background ramp, a body ellipse, a few inserts of different density and
// some noise, spread over 12 bits as a CT or MR slice would be.
QVector<quint16> makePhantom(int side, int maxValue)
{
    QVector<quint16> data(side * side);
    QRandomGenerator rng(1234);
    const double c = side / 2.0;
    struct Insert { double x, y, r, value; };
    const Insert inserts[] = {{0.35, 0.40, 0.08, 3600}, {0.65, 0.40, 0.06, 2600},
                              {0.50, 0.68, 0.10, 900},  {0.30, 0.65, 0.04, 3900},
                              {0.70, 0.66, 0.05, 1700}};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double dx = (x - c) / (0.45 * side), dy = (y - c) / (0.38 * side);
            double v = 80.0 + 60.0 * y / side;
            if (dx * dx + dy * dy <= 1.0)
                v = 1200.0 + 300.0 * std::cos(6.0 * dx) * std::sin(5.0 * dy);
            for (const Insert& in : inserts) {
                const double ix = x - in.x * side, iy = y - in.y * side;
                if (ix * ix + iy * iy <= (in.r * side) * (in.r * side))
                    v = in.value;
            }
            v += rng.bounded(120) - 60;
            data[y * side + x] = quint16(qBound(0.0, v, double(maxValue)));
        }
    }
    return data;
}

QList<QImage> makeStack(int count, int side)
{
    QList<QImage> slices;
    for (int i = 0; i < count; ++i) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(QColor(20, 22, 28));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // Cross-sections of a sphere: the disc grows towards the middle slice and shrinks again.
        const double t = (i + 0.5) / count * 2.0 - 1.0;
        const double r = std::sqrt(std::max(0.0, 1.0 - t * t)) * side * 0.42;
        QRadialGradient gradient(QPointF(side / 2.0, side / 2.0), std::max(r, 1.0));
        gradient.setColorAt(0.0, QColor::fromHsv((i * 7) % 360, 120, 255));
        gradient.setColorAt(1.0, QColor::fromHsv((i * 7 + 40) % 360, 200, 140));
        p.setBrush(gradient);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
        p.setPen(Qt::white);
        p.drawText(QRect(8, 8, side - 16, 20), Qt::AlignLeft, QStringLiteral("slice %1").arg(i + 1));
        p.end();
        slices << image;
    }
    return slices;
}

} // namespace

ImagingPage::ImagingPage(QWidget* parent)
    : QWidget(parent),
      m_data(makePhantom(DataSide, DataMax)),
      m_scene(new QWindowLevelGraphicsScene(m_window, m_level, 1, DataMax + 1, 0, DataMax, this)),
      m_view(new QZoomableGraphicsView(m_scene, nullptr)),
      m_windowLevel(new QLabel),
      m_probe(new QLabel(tr("Move the mouse over the image."))),
      m_stack(new QImageStackViewer(this)),
      m_stackView(new QGraphicsView(m_stack)),
      m_sliceLabel(new QLabel)
{
    // The host wires the image classes: the wheel filter on the viewport, the view on the scene.
    m_view->viewport()->installEventFilter(m_view);
    m_scene->setGraphicsView(m_view);
    m_view->setMinimumSize(300, 300);
    m_view->setBackgroundBrush(Qt::black);
    connect(m_scene, &QWindowLevelGraphicsScene::windowLevelChanged, this, &ImagingPage::applyWindowLevel);
    // The scene has already refitted its own copy when this arrives; redraw from the 16-bit data
    // so that growing the window never shows an image scaled up from a smaller one.
    connect(m_view, &QZoomableGraphicsView::imageResizeRequest, this, [this] { render(); });
    connect(m_view, &QZoomableGraphicsView::onMouseMoved, this, &ImagingPage::showValueAt);

    QList<QImage> slices = makeStack(48, 256);
    m_sliceCount = slices.size();
    m_stack->setImageStack(slices);
    m_stackView->setMinimumSize(280, 280);
    m_stackView->setBackgroundBrush(QColor(20, 22, 28));
    m_stackView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stackView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_stack, &QImageStackViewer::scrollDelta, this, [this](int delta) { showSlice(m_slice + delta); });

    auto* intro = new QLabel(tr("<b>Image viewing.</b> Left: drag with the left button to change "
                                "window (sideways) and level (up and down); Control + wheel zooms "
                                "about the mouse; the middle button pans. Right: the wheel browses "
                                "the slices of a stack."));
    intro->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(m_view, 1);
    left->addWidget(m_windowLevel);
    left->addWidget(m_probe);
    auto* right = new QVBoxLayout;
    right->addWidget(m_stackView, 1);
    right->addWidget(m_sliceLabel);
    auto* row = new QHBoxLayout;
    row->addLayout(left, 3);
    row->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(row, 1);

    showSlice(m_sliceCount / 2);
    render();
}

void ImagingPage::applyWindowLevel(int window, int level)
{
    m_window = window;
    m_level = level;
    m_scene->setWindow(window);
    m_scene->setLevel(level);
    render();
}

void ImagingPage::render()
{
    // Linear window/level: values below level − window/2 are black, above level + window/2 white.
    const double low = m_level - m_window / 2.0;
    const double width = std::max(1, m_window);
    uchar lut[DataMax + 1];
    for (int v = 0; v <= DataMax; ++v)
        lut[v] = uchar(qBound(0.0, (v - low) * 255.0 / width, 255.0));
    QImage image(DataSide, DataSide, QImage::Format_Grayscale8);
    for (int y = 0; y < DataSide; ++y) {
        uchar* line = image.scanLine(y);
        const quint16* src = m_data.constData() + y * DataSide;
        for (int x = 0; x < DataSide; ++x)
            line[x] = lut[src[x]];
    }
    const QSize viewport = m_view->viewport()->size();
    const int side = std::max(1, std::min(viewport.width(), viewport.height()));
    const QImage fitted = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_scene->setImage(fitted);
    m_scene->setSceneRect(QRectF(QPointF(0, 0), fitted.size()));
    m_windowLevel->setText(tr("Window %1, level %2").arg(m_window).arg(m_level));
}

void ImagingPage::showValueAt(const QPointF& scenePos)
{
    const QImage shown = m_scene->getImage();
    if (shown.isNull())
        return;
    const int x = int(scenePos.x() * DataSide / shown.width());
    const int y = int(scenePos.y() * DataSide / shown.height());
    if (scenePos.x() < 0 || scenePos.y() < 0 || x >= DataSide || y >= DataSide) {
        m_probe->setText(tr("Outside the image."));
        return;
    }
    m_probe->setText(tr("Pixel (%1, %2): value %3").arg(x).arg(y).arg(m_data.at(y * DataSide + x)));
}

void ImagingPage::showSlice(int slice)
{
    m_slice = qBound(0, slice, m_sliceCount - 1);
    m_stack->showSlice(m_slice);
    m_sliceLabel->setText(tr("Slice %1 of %2: turn the wheel over the image to browse.")
                              .arg(m_slice + 1)
                              .arg(m_sliceCount));
}
