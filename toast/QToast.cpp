#include "QToast.h"

#include "ToastAccessibility.h"
#include "ToastFadeEffect.h"
#include "ToastPlatform.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QMetaType>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <functional>

namespace {

const QColor kPanelColor(131, 61, 150, 255);

constexpr int kFadeMs = 150;
constexpr int kMaxHeight = 350;
// The close cross is painted from 14 to 7 pixels left of the right edge, and its 2-pixel round
// pen reaches one pixel further; the text keeps one more pixel away from it.
constexpr int kCrossClearance = 16;

// Lays the message out beside the cross rather than under it, and wraps a message that is wider
// than Qt lets the window be instead of clipping it. The room for the cross comes out of the
// left margin, so a message that fits keeps exactly the size Qt's own layout gives it.
void fitMessage(QWidget* toast, QLabel* label, QLayout* layout)
{
    QMargins margins = layout->contentsMargins();
    if (margins.right() < kCrossClearance) {
        const int shift = kCrossClearance - margins.right();
        margins.setRight(kCrossClearance);
        margins.setLeft(qMax(4, margins.left() - shift)); // inside the panel, which is inset by 3
        layout->setContentsMargins(margins);
    }
    toast->adjustSize();
    const int width = toast->width();
    if (toast->sizeHint().width() > width) {
        label->setWordWrap(true);
        toast->resize(width, qMin(toast->heightForWidth(width), kMaxHeight));
    }
}

// A document that parses markup but loads nothing: every resource it is asked for comes back
// empty, and it remembers being asked.
class InertDocument : public QTextDocument
{
public:
    explicit InertDocument(const QFont& font)
    {
        setDefaultFont(font);
#if QT_VERSION >= QT_VERSION_CHECK(6, 1, 0)
        // Keeps an application-wide resource provider out of it too.
        setResourceProvider([this](const QUrl&) {
            m_asked = true;
            return QVariant();
        });
#endif
    }

    // True when the markup names nothing that would be fetched at parse or at layout time.
    bool isInert() const
    {
        if (m_asked)
            return false;
        const QVector<QTextFormat> formats = allFormats();
        return std::none_of(formats.begin(), formats.end(), [](const QTextFormat& f) {
            return f.isImageFormat() || f.hasProperty(QTextFormat::BackgroundImageUrl);
        });
    }

protected:
    QVariant loadResource(int, const QUrl&) override
    {
        m_asked = true;
        return QVariant();
    }

private:
    bool m_asked = false;
};

template <typename Format>
bool dropBackgroundImage(Format& format)
{
    if (!format.hasProperty(QTextFormat::BackgroundImageUrl))
        return false;
    format.clearProperty(QTextFormat::BackgroundImageUrl);
    return true;
}

void stripFrames(QTextFrame* frame)
{
    QTextFrameFormat format = frame->frameFormat();
    if (dropBackgroundImage(format))
        frame->setFrameFormat(format);
    if (auto* table = qobject_cast<QTextTable*>(frame)) {
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                QTextTableCell cell = table->cellAt(r, c);
                QTextCharFormat cellFormat = cell.format();
                if (dropBackgroundImage(cellFormat))
                    cell.setFormat(cellFormat);
            }
        }
    }
    const QList<QTextFrame*> children = frame->childFrames();
    for (QTextFrame* child : children)
        stripFrames(child);
}

// Removes images and background images, keeping every other format. Everything to change is
// found first and then edited from the end backwards in one edit block, so positions stay
// valid and the document is never laid out (laying out an image loads it from its file).
void stripResources(QTextDocument& doc)
{
    struct Edit { int from, to; bool remove; QTextCharFormat format; };
    QVector<Edit> edits;
    QVector<QPair<int, QTextBlockFormat>> blocks;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        if (dropBackgroundImage(blockFormat))
            blocks.append(qMakePair(block.position(), blockFormat));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            const int from = fragment.position(), to = from + fragment.length();
            if (format.isImageFormat())
                edits.append({from, to, true, format});
            else if (dropBackgroundImage(format))
                edits.append({from, to, false, format});
        }
    }

    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const auto& block : qAsConst(blocks)) {
        cursor.setPosition(block.first);
        cursor.setBlockFormat(block.second);
    }
    for (auto it = edits.crbegin(); it != edits.crend(); ++it) {
        cursor.setPosition(it->from);
        cursor.setPosition(it->to, QTextCursor::KeepAnchor);
        if (it->remove)
            cursor.removeSelectedText();
        else
            cursor.setCharFormat(it->format);
    }
    stripFrames(doc.rootFrame());
    cursor.endEditBlock();
}

// Rich text that shows the same as html but names no image, background or style sheet, so
// that the label showing it reads no file and no URL. Text without such names is returned
// as it is.
QString inertRichText(const QString& html, const QFont& font)
{
    InertDocument doc(font);
    doc.setHtml(html);
    if (doc.isInert())
        return html;
    stripResources(doc);
    const QString stripped = doc.toHtml();
    InertDocument check(font);
    check.setHtml(stripped);
    if (check.isInert())
        return stripped;
    // Not reached with Qt's own export; should it ever be, the words go without their markup.
    return doc.toPlainText().toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"));
}

// A toast's own style sheet wins over every inherited rule, whatever their specificity, so
// this keeps a host's or the application's sheet off its panel, cross and text.
const char* const kOwnStyleSheet = "QToast, QToast QLabel { background: transparent; background-image: none;"
                                   " border: none; margin: 0px; padding: 0px; color: white; }";

// Whether a style sheet reaches the widget, from the application or from an ancestor.
bool styleSheetReaches(const QWidget* widget)
{
    if (const auto* app = qobject_cast<const QApplication*>(QCoreApplication::instance()); app && !app->styleSheet().isEmpty())
        return true;
    for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (!w->styleSheet().isEmpty())
            return true;
    return false;
}

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

    if (m_parent && !ryqt::ToastPlatform::placesWindows()) {
        // A Wayland client cannot put a window of its own at the parent's corner: the compositor
        // would place it wherever it likes. The toast is drawn inside the parent's window
        // instead, where it can be placed exactly, stays above the parent and moves smoothly.
        QWidget* window = m_parent->window();
        if (window != m_parent) {
            setParent(window);
            // It still goes with its parent, as a child of the parent would.
            connect(m_parent.data(), &QObject::destroyed, this, &QObject::deleteLater);
        }
    } else {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    }
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setMaximumHeight(kMaxHeight);
    // Only where a sheet is in force: a sheet of its own costs every toast a styled polish.
    if (styleSheetReaches(this))
        setStyleSheet(QString::fromLatin1(kOwnStyleSheet));

    m_label.setText(inertRichText(tr("<font color ='%1'>%2</font>").arg(QStringLiteral("white"), m_text),
                                  m_label.font()));
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
    fitMessage(this, &m_label, &m_layout);

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
    applyOpacity(opacity);
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

void QToast::applyOpacity(float opacity)
{
    if (isWindow() && ryqt::ToastPlatform::hasWindowOpacity()) {
        setWindowOpacity(opacity);
        return;
    }
    // Painted fade: the toast and its label are drawn through an effect. It is switched off
    // once opaque, so a shown toast paints exactly as one without it.
    auto* effect = dynamic_cast<ryqt::ToastFadeEffect*>(graphicsEffect());
    if (opacity >= 1.0f) {
        if (effect)
            effect->setEnabled(false);
        return;
    }
    if (!effect) {
        effect = new ryqt::ToastFadeEffect(this);
        setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
    effect->setEnabled(true);
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
    if (!isWindow())
        raise();  // above whatever the window gained since the toast was made
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
    // mapToGlobal gives the parent's corner on screen whether it is a window or nested in one;
    // a toast drawn inside the window takes that corner in the window's coordinates.
    QPoint corner = m_parent->mapToGlobal(QPoint(0, 0));
    if (QWidget* host = isWindow() ? nullptr : parentWidget())
        corner = host->mapFromGlobal(corner);
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
    painter.setPen(Qt::NoPen);
    // The panel's edges go to the nearest device pixel: at a fractional scale (1.5) the 3-pixel
    // margin would otherwise end half-way through a device pixel and leave a blended seam.
    // A plain fill on whole pixels also costs a fraction of an antialiased drawRect, and this
    // runs on every step of a slide.
    const qreal ratio = devicePixelRatioF();
    const auto snap = [ratio](int logical) { return qRound(logical * ratio) / ratio; };
    painter.fillRect(QRectF(QPointF(snap(r.left() + 3), snap(r.top() + 3)),
                            QPointF(snap(r.right() + 1 - 3), snap(r.bottom() + 1 - 3))),
                     QBrush(kPanelColor, Qt::SolidPattern));
    painter.setRenderHint(QPainter::Antialiasing);

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

void QToast::changeEvent(QEvent* event)
{
    // A sheet set on the host or the application after the toast was made reaches it as a
    // style change; the toast's own sheet then keeps it off.
    if (event->type() == QEvent::StyleChange && styleSheet().isEmpty() && styleSheetReaches(this))
        setStyleSheet(QString::fromLatin1(kOwnStyleSheet));
    QWidget::changeEvent(event);
}

void QToast::resizeEvent(QResizeEvent*)
{
    if (!isWindow() || !ryqt::ToastPlatform::needsShapeMask())
        return;
    // Without a compositing manager an X11 window has no translucency, and the clear margin
    // would show black. The mask leaves it out of the window, so what lies beneath shows.
    // Qt scales the mask's corner and size to device pixels separately; at a fractional scale
    // that can end one device pixel past the painted panel, so the mask is narrowed until it
    // ends on the panel's own edge.
    const qreal ratio = devicePixelRatioF();
    const auto device = [ratio](int logical) { return qRound(logical * ratio); };
    int w = width() - 6, h = height() - 6;
    while (w > 0 && device(3) + device(w) > device(width() - 3))
        --w;
    while (h > 0 && device(3) + device(h) > device(height() - 3))
        --h;
    setMask(QRegion(3, 3, qMax(w, 0), qMax(h, 0)));
}
