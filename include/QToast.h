#pragma once

#include "QToastGravity.h"
#include "QToastListener.h"
#include "ryqt_export.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRect>
#include <QString>
#include <QWidget>

/// A small frameless popup that shows one rich-text message in white on a purple panel over
/// its parent. It fades in and out over 150 ms, can close itself once it has been fully
/// visible for its duration, closes on a click on the white cross in its top-right corner,
/// and reports a click on its body to a QToastListener.
///
/// For assistive technology a toast is an alert message (QAccessible::AlertMessage) named by its
/// message as plain text, unless the host set an accessible name of its own; each show() raises
/// a QAccessible::Alert event on it, so screen readers speak the message although the toast
/// never takes the focus.
///
/// Create it with new and never delete it once shown: it deletes itself when its fade-out
/// ends (Qt::WA_DeleteOnClose), or with its parent widget. Deleting it, or its parent, at any
/// stage (during a fade, while its close timer runs, after closed() and before its own
/// deletion) is safe all the same: pending timers and animations die with it.
/// GUI thread only; its timer and fades run on the GUI event loop. The toast is at most 350
/// pixels high.
///
/// Where the window system lets a client place its windows (X11, Windows, macOS, offscreen),
/// a toast is a frameless top-level window that stays on top, placed on screen at its parent's
/// corner. On Wayland no client can place a top-level window, so a toast with a parent is
/// drawn inside the parent's window instead, at the same corner and above the window's other
/// widgets; it is then clipped to that window. Where the platform has no window opacity
/// (Wayland, offscreen) the fades are painted through a graphics effect on the toast, which a
/// host should therefore not replace. On X11 a window mask keeps the 3-pixel margin clear
/// without a compositing manager; clicks in that margin reach what lies beneath. Where a
/// style sheet reaches the toast (from the application or an ancestor, set before or after
/// the toast is made) the toast sets a small one of its own, so that sheet never paints a
/// background behind its text or changes its panel; a host should not replace it.
class RYQT_EXPORT QToast : public QWidget
{
    Q_OBJECT
    /// The opacity, 0.0 to 1.0, driven by the 150 ms fades; see setOpacity().
    Q_PROPERTY(float _op READ getOpacity WRITE setOpacity)

public:
    /// Builds a hidden toast for text (rich text, inserted unescaped) over parent, which may be
    /// null. duration is the display time in ms used by autoClose(true); it is clamped to
    /// 0..INT_MAX. A gravity other than TopLeft or TopRight disables automatic placement.
    ///
    /// A toast never reads a file or the network to show its text, so text built from file
    /// names or log lines cannot block or flood it: images (img), background images and
    /// linked or imported style sheets are left out, and the rest of the markup (bold,
    /// colours, line breaks, tables...) renders as given. Text naming no such resource is
    /// shown exactly as given; otherwise the label holds an equivalent markup without them.
    QToast(QWidget* parent, QString text, long duration, QToastGravity gravity);
    /// Deletes the listener held at that moment, if any.
    ~QToast() override;

    /// With \a enabled true, the toast closes itself duration ms after it has become fully
    /// opaque. Off by default: the toast then stays until clicked, closed or its parent dies.
    void autoClose(bool enabled);
    /// Sets the body-click \a listener (null for none) and whether a body click closes the toast
    /// (\a closeOnClick; off by default). A click on the close cross never calls the listener.
    /// The toast takes ownership of the listener; one replaced by a later call goes back to the caller.
    void setOnClickListener(QToastListener* listener, bool closeOnClick);

    /// Sets the opacity (the "_op" property driven by the fades). Exactly 1.0 arms the
    /// auto-close timer when auto-close is on and no fade-out is under way; exactly 0.0 after
    /// close() finishes the close. Other values only change the opacity.
    void setOpacity(float opacity);
    /// The last value given to setOpacity(); 0.0 before the first show().
    float getOpacity() const;

    /// Sets the corner used by the next automatic placement; any value is stored as given.
    void setGravity(QToastGravity gravity);
    /// The corner the toast is aligned to.
    QToastGravity gravity() const;

public Q_SLOTS:
    /// Places the toast against its parent and fades it in. Hides QWidget::show().
    /// Calling it during a fade-out cancels the close.
    void show();
    /// Fades the toast out from full opacity; at the end emits closed(this) and deletes the
    /// toast. Hides QWidget::close(). Calling it again restarts the fade-out.
    void close();

Q_SIGNALS:
    /// Offered to hosts that want to announce a toast; the library itself never emits it.
    void shown(QToast* t);
    /// Emitted once per fade-out, just before the toast closes and is scheduled for deletion.
    /// Do not delete the toast from a slot connected to it.
    void closed(QToast* t);

protected:
    /// Records a left press, on the close cross or on the body; other buttons are ignored.
    void mousePressEvent(QMouseEvent* event) override;
    /// Completes a left click: the cross closes the toast; the body calls the listener, then
    /// closes the toast if close-on-click is set. Where the release lands does not matter.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Swallows mouse moves.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Paints the purple panel and the white close cross.
    void paintEvent(QPaintEvent* event) override;
    /// Repaints after a move.
    void moveEvent(QMoveEvent* event) override;
    /// Keeps the X11 window mask in step with the size.
    void resizeEvent(QResizeEvent* event) override;
    /// Keeps a style sheet set on the host or the application later off the toast.
    void changeEvent(QEvent* event) override;

private:
    void autoPlacePopup();
    void applyOpacity(float opacity);
    void clicked();

    bool m_autoClose = false;
    bool m_closeCrossPressed = false;
    bool m_bodyPressed = false;
    bool m_closing = false;
    bool m_closeOnClick = false;
    QPropertyAnimation m_fade;
    QPointer<QWidget> m_parent;  // guarded: a host may re-parent the toast
    QString m_text;
    long m_duration = 0;
    QLabel m_label;
    QGridLayout m_layout;
    QRect m_closeRect;
    float m_opacity = 0.0f;
    QToastGravity m_gravity = TopLeft;
    QToastListener* m_listener = nullptr;
};
