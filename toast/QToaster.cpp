#include "QToaster.h"

#include <QEasingCurve>
#include <QVariant>

namespace {

constexpr int kSlideMs = 400;
constexpr int kNotifyDisplayMs = 3000;

// Object name of the animation that moves a toast up after a close; it lets a later close
// find a move still in flight and continue from where that move was heading.
const char kRestackName[] = "ryqt_toast_restack";

// A running QPropertyAnimation refuses a new target, so the slide of the previous toast is
// completed at once before the shared animation is re-targeted.
void finishSlide(QPropertyAnimation& slide)
{
    if (slide.state() == QAbstractAnimation::Stopped)
        return;
    QObject* target = slide.targetObject();
    const QRect end = slide.endValue().toRect();
    slide.stop();
    if (auto* widget = qobject_cast<QWidget*>(target))
        widget->setGeometry(end);
}

// Moves a toast up by steps times its own height in 400 ms. A toast still moving keeps its
// destination: going up from a half-way position would leave it short of its place.
void slideUp(QToast* toast, int steps, QPropertyAnimation& slide)
{
    const QRect start = toast->geometry();
    QRect base = start;
    if (slide.state() != QAbstractAnimation::Stopped && slide.targetObject() == toast) {
        base = slide.endValue().toRect();
        slide.stop();
    }
    auto* pending = toast->findChild<QPropertyAnimation*>(QLatin1String(kRestackName),
                                                          Qt::FindDirectChildrenOnly);
    if (pending) {
        base = pending->endValue().toRect();
        pending->setObjectName(QString());
        pending->stop();  // deletes itself later
    }

    // Owned by the toast so that it dies with it, whatever happens first.
    auto* move = new QPropertyAnimation(toast, "geometry", toast);
    move->setObjectName(QLatin1String(kRestackName));
    move->setStartValue(start);
    move->setEndValue(base.translated(0, -steps * base.height()));
    move->setDuration(kSlideMs);
    move->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

QToaster::QToaster(QWidget* parent, QToastGravity gravity)
    : QObject(parent), m_gravity(gravity), m_parent(parent)
{
}

QToaster::~QToaster() = default;

void QToaster::notify(QToast* t)
{
    if (!t || m_toasts.contains(t))
        return;
    t->setGravity(m_gravity);
    m_toasts.append(t);
    m_pendingUp.append(0);
    connect(t, &QToast::closed, this, &QToaster::onToastClosed);
    // A toast deleted by the host never emits closed; drop it here so the list never holds a
    // dangling pointer. Compared as QObject*: the QToast part is already gone at this point.
    connect(t, &QObject::destroyed, this, [this](QObject* gone) {
        for (int i = 0; i < m_toasts.size(); ++i) {
            if (static_cast<QObject*>(m_toasts.at(i)) == gone) {
                m_toasts.removeAt(i);
                m_pendingUp.removeAt(i);
                redrawToasts(i);
                return;
            }
        }
    });

    if (m_toasts.size() == 1) {
        t->show();
        return;
    }

    int offset = 0;
    for (QToast* other : qAsConst(m_toasts)) {
        if (other != t)
            offset += other->geometry().height();
    }
    t->show();

    finishSlide(m_slide);
    const QRect start = t->geometry();
    m_slide.setTargetObject(t);
    m_slide.setPropertyName("geometry");
    m_slide.setDuration(kSlideMs);
    m_slide.setStartValue(start);
    m_slide.setEndValue(start.translated(0, offset));
    m_slide.setEasingCurve(QEasingCurve::InOutCubic);
    m_slide.start(QAbstractAnimation::KeepWhenStopped);
}

void QToaster::notify(QString text)
{
    auto* toast = new QToast(m_parent.data(), std::move(text), kNotifyDisplayMs, m_gravity);
    toast->autoClose(true);
    notify(toast);
}

void QToaster::onToastClosed(QToast* t)
{
    const int i = m_toasts.indexOf(t);
    if (i < 0)
        return;
    m_toasts.removeAt(i);
    m_pendingUp.removeAt(i);
    redrawToasts(i);
}

void QToaster::onToastShown(QToast*)
{
}

void QToaster::redrawToasts(int from)
{
    if (from < 0 || from >= m_toasts.size())
        return;
    for (int k = from; k < m_pendingUp.size(); ++k)
        ++m_pendingUp[k];
    if (m_restackQueued)
        return;
    m_restackQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_restackQueued = false;
            for (int k = 0; k < m_toasts.size(); ++k) {
                if (m_pendingUp.at(k) > 0) {
                    slideUp(m_toasts.at(k), m_pendingUp.at(k), m_slide);
                    m_pendingUp[k] = 0;
                }
            }
        },
        Qt::QueuedConnection);
}
