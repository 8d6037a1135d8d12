#pragma once

#include "QToast.h"
#include "QToastGravity.h"
#include "ryqt_export.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPropertyAnimation>
#include <QString>
#include <QWidget>

/// Shows several toasts over one parent widget: aligns them to one corner, stacks them
/// downwards from the parent's top edge in the order they were notified (each new one slides
/// into place in 400 ms), and slides the ones below a closed toast up. It never deletes a toast.
/// There is no limit on the number of toasts and no gap between them. GUI thread only; it is a
/// child of its parent widget and goes with it.
class RYQT_EXPORT QToaster : public QObject
{
    Q_OBJECT

public:
    /// A toaster for toasts over \a parent (also its QObject parent), aligned by \a gravity.
    /// A null parent gives toasts without a parent, placed by the window system.
    QToaster(QWidget* parent, QToastGravity gravity);
    /// Leaves the toasts on screen; they keep running their own timers and fades.
    ~QToaster() override;

    /// Shows \a t, a toast the host created and configured, below the ones already shown, with
    /// the toaster's gravity (the toast's own is replaced). A null toast, or one already in this toaster, is ignored. A toast
    /// destroyed without a fade-out (deleted by the host, or with its parent) leaves the stack
    /// like a closed one: the toasts below it slide up.
    void notify(QToast* t);
    /// Creates and shows a toast for \a text (rich text) that closes itself 3000 ms after its
    /// fade-in, over the toaster's parent.
    void notify(QString text);

public Q_SLOTS:
    /// Takes \a t, a closed toast, out of the stack and slides each one below it up by its own height,
    /// starting on the next pass of the event loop. A toast that is not in the stack is ignored.
    void onToastClosed(QToast* t);
    /// Does nothing with \a t; offered for hosts connecting QToast::shown.
    static void onToastShown(QToast* t);

private:
    void redrawToasts(int from);

    QToastGravity m_gravity;
    QPointer<QWidget> m_parent;
    QList<QToast*> m_toasts;
    QPropertyAnimation m_slide;
    // Per entry of m_toasts: closes above it not yet turned into a slide. Closes that arrive
    // together (a burst fading out at once) become one slide per toast instead of one each.
    QList<int> m_pendingUp;
    bool m_restackQueued = false;
};
