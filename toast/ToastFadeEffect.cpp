#include "ToastFadeEffect.h"

#include <QPainter>
#include <QPixmap>

namespace ryqt {

void ToastFadeEffect::setOpacity(qreal opacity)
{
    opacity = qBound(0.0, opacity, 1.0);
    if (qFuzzyCompare(opacity, m_opacity))
        return;
    m_opacity = opacity;
    update();
}

void ToastFadeEffect::draw(QPainter* painter)
{
    // Drawn in device pixels, so a high-DPI toast fades without being resampled.
    const Qt::CoordinateSystem system = sourceIsPixmap() ? Qt::LogicalCoordinates : Qt::DeviceCoordinates;
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(system, &offset, QGraphicsEffect::NoPad);
    if (pixmap.isNull())
        return;
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    if (system == Qt::DeviceCoordinates)
        painter->setWorldTransform(QTransform());
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

} // namespace ryqt
