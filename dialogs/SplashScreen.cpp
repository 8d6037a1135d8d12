#include "SplashScreen.h"

#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QtMath>

namespace {
constexpr int kImageWidth = 520;
constexpr int kBandHeight = 40;
} // namespace

SplashScreen::SplashScreen(QString pixmapPath, QWidget* parent)
    : QSplashScreen(QPixmap(), Qt::WindowFlags())
{
    // The QSplashScreen constructor taking a parent is deprecated; reparenting keeps the
    // splash-window type it would have set.
    if (parent)
        setParent(parent, windowFlags());

    // An image that does not load leaves a null pixmap and a bare band; scaling it would only
    // make Qt complain on the host's console.
    const QPixmap source(pixmapPath);
    QPixmap image = source;
    if (!source.isNull())
        image = source.scaledToWidth(kImageWidth, Qt::SmoothTransformation);
    setFixedHeight(image.height() + kBandHeight);
    setFixedWidth(image.width());
    // The sizes above are logical pixels, the same on every screen. On a screen with more
    // device pixels the picture is scaled from the source to fill them, rather than drawn at
    // 520 device pixels and stretched, so it stays sharp.
    const qreal ratio = devicePixelRatioF();
    if (ratio != 1.0 && !image.isNull()) {
        image = source.scaled(qRound(image.width() * ratio), qCeil(image.height() * ratio),
                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
    }
    setPixmap(image);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setCursor(Qt::BusyCursor);
}

SplashScreen::~SplashScreen() = default;

void SplashScreen::setProgressMax(int max)
{
    m_progressMax = max;
    repaint();
}

int SplashScreen::progressMax() const
{
    return m_progressMax;
}

int SplashScreen::progress() const
{
    return m_progress;
}

void SplashScreen::updateProgress(int value)
{
    m_progress = value;
    repaint();
    if (m_progress == m_progressMax) {
        emit onSplashClosed();
        close();
    }
}

void SplashScreen::drawContents(QPainter* painter)
{
    QSplashScreen::drawContents(painter);

    const int w = width();
    const int h = height();

    painter->setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter->setPen(Qt::NoPen);
    const QRect band(QPoint(0, h - kBandHeight), QPoint(w - 1, h - 1));
    painter->drawRects(&band, 1);

    painter->setPen(QPen(QBrush(m_barColor), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    if (m_progressMax <= 0)
        return;

    // Past either edge the line is clipped anyway; bounding the end point keeps far-out
    // progress values from overflowing the integer conversion.
    const double limit = double(w) + 16.0;
    const int x = int(qBound(-limit, double(w) * (double(m_progress) / double(m_progressMax)), limit));
    painter->drawLine(0, h - 25, x, h - 25);
    painter->drawText(QRect(w / 2 - 40, h - 25, 80, 15), Qt::AlignCenter, tr("Loading..."));
}
