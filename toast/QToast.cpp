#include "QToast.h"

#include "ToastAccessibility.h"

#include <QColor>
#include <QMetaType>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QTimer>

#include <climits>
#include <functional>

namespace {

const QColor kPanelColor(131, 61, 150, 255);

constexpr int kFadeMs = 150;
constexpr int kMaxHeight = 350;

int clampedMs(long ms)
{
    if (ms < 0)
        return 0;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

} // namespace

QToast::QToast(QWidget* parent, QString text, long duration, QToastGravity gravity)
    : QWidget(parent, Qt::WindowFlags()),
      m_parent(parent),
      m_text(std::move(text)),
      m_duration(duration),
      m_gravity(gravity)
{
    // Lets closed(QToast*) and shown(QToast*) cross threads through queued connections.
    static const int registered = qRegisterMetaType<QToast*>("QToast*");
    Q_UNUSED(registered);
    ryqt::registerToastAccessibility();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setMaximumHeight(kMaxHeight);

    m_label.setText(tr("<font color ='%1'>%2</font>").arg(QStringLiteral("white"), m_text));
    m_label.setAlignment(Qt::AlignCenter);
    m_layout.addWidget(&m_label, 0, 0);
    // The default constraint would raise the window's minimum height above the 350-pixel
    // maximum for a long message; the maximum must win.
    m_layout.setSizeConstraint(QLayout::SetNoConstraint);
    setLayout(&m_layout);
    // Clicks on the text must reach the toast, which decides between cross and body.
    m_label.setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label.setTextFormat(Qt::RichText);

    setAttribute(Qt::WA_MouseTracking);
    adjustSize();

    m_fade.setTargetObject(this);
    m_fade.setDuration(kFadeMs);
    m_fade.setPropertyName("_op");
}

QToast::~QToast()
{
    delete m_listener;
}

void QToast::autoClose(bool enabled)
{
    m_autoClose = enabled;
}

void QToast::setOnClickListener(QToastListener* listener, bool closeOnClick)
{
    m_listener = listener;
    m_closeOnClick = closeOnClick;
}

void QToast::setOpacity(float opacity)
{
    m_opacity = opacity;
    setWindowOpacity(opacity);
    if (opacity == 1.0f && m_autoClose && !m_closing) {
        // Armed at the end of the fade-in, so the display time excludes the fade. Not on the
        // first step of a fade-out, which is 1.0 too: a display time shorter than the fade
        // would otherwise restart the fade-out for ever.
        QTimer::singleShot(clampedMs(m_duration), this, SLOT(close()));
    } else if (opacity == 0.0f && m_closing) {
        m_closing = false;
        emit closed(this);
        QWidget::close();
    }
}

float QToast::getOpacity() const
{
    return m_opacity;
}

void QToast::setGravity(QToastGravity gravity)
{
    m_gravity = gravity;
}

QToastGravity QToast::gravity() const
{
    return m_gravity;
}

void QToast::show()
{
    // A show() during a fade-out wins over the pending close; without this the opacity reset
    // below would finish the close at once.
    m_closing = false;
    m_fade.stop();
    setOpacity(0.0f);
    m_fade.setStartValue(0.0f);
    m_fade.setEndValue(1.0f);
    autoPlacePopup();
    QWidget::show();
    ryqt::announceToast(this);
    m_fade.start(QAbstractAnimation::KeepWhenStopped);
}

void QToast::close()
{
    m_closing = true;
    m_fade.stop();
    m_fade.setStartValue(1.0f);
    m_fade.setEndValue(0.0f);
    m_fade.start(QAbstractAnimation::KeepWhenStopped);
}

void QToast::autoPlacePopup()
{
    if (!m_parent)
        return;
    // mapToGlobal gives the parent's corner on screen whether it is a window or nested in one.
    const QPoint corner = m_parent->mapToGlobal(QPoint(0, 0));
    int x = corner.x();
    const int y = corner.y();
    const int w = width();
    const int h = height();
    switch (m_gravity) {
    case TopLeft:
        break;
    case TopRight:
        x = x - w + m_parent->width();
        break;
    default:
        return;
    }
    setGeometry(x, y, w, h);
}

void QToast::clicked()
{
    QPointer<QToast> self(this);
    if (m_listener) {
        QToastEvent event;
        event.parent = m_parent.data();
        try {
            m_listener->fire(event);
        } catch (const std::bad_function_call&) {
            // An empty callable is a host mistake; letting it unwind through the event loop
            // would abort the application, so the click just has no callback.
        }
    }
    // The callback may have deleted the toast.
    if (self && m_closeOnClick)
        close();
}

void QToast::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_closeRect.contains(event->pos()))
        m_closeCrossPressed = true;
    else
        m_bodyPressed = true;
}

void QToast::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_closeCrossPressed) {
        m_closeCrossPressed = false;
        close();
    } else if (m_bodyPressed) {
        // Cleared first: the callback may delete the toast.
        m_bodyPressed = false;
        clicked();
    }
}

void QToast::mouseMoveEvent(QMouseEvent*)
{
}

void QToast::paintEvent(QPaintEvent*)
{
    const QRect r = rect();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // The panel sits on whole pixels, so a plain fill gives the same pixels as an antialiased
    // drawRect at a fraction of the cost; this runs on every step of a slide.
    painter.fillRect(QRect(r.left() + 3, r.top() + 3, r.width() - 6, r.height() - 6),
                     QBrush(kPanelColor, Qt::SolidPattern));

    const int left = r.left() + r.width() - 14;
    const int top = r.top() + 6;
    m_closeRect = QRect(QPoint(left, top), QPoint(left + 7, top + 7));

    painter.setPen(QPen(QBrush(Qt::white), 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(m_closeRect.topLeft(), m_closeRect.bottomRight());
    painter.drawLine(m_closeRect.topRight(), m_closeRect.bottomLeft());
}

void QToast::moveEvent(QMoveEvent*)
{
    update();
}
