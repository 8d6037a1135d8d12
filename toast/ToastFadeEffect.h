#pragma once

#include <QGraphicsEffect>

namespace ryqt {

// Paints a toast and its label at an opacity, for platforms without window opacity. Unlike
// QGraphicsOpacityEffect it still lets the toast paint at opacity 0, so a toast shown at the
// start of its fade-in has laid out its close cross like any other.
class ToastFadeEffect : public QGraphicsEffect
{
public:
    explicit ToastFadeEffect(QObject* parent) : QGraphicsEffect(parent) {}

    void setOpacity(qreal opacity);

protected:
    void draw(QPainter* painter) override;

private:
    qreal m_opacity = 1.0;
};

} // namespace ryqt
