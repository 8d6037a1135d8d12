#pragma once

#include "QCallbackListener.h"
#include "QToastEvent.h"
#include "ryqt_export.h"

/// Wraps the host's callback for a click on a toast's body (QToast::setOnClickListener()).
/// The callback runs on the GUI thread, inside the toast's mouse release handler, before a
/// close-on-click fade-out starts. It receives a QToastEvent naming the toast's parent.
class RYQT_EXPORT QToastListener : public QCallbackListener<QToastEvent&>
{
public:
    /// Keeps the callable; an empty one makes fire() throw std::bad_function_call.
    explicit QToastListener(std::function<void(QToastEvent&)> callable)
        : QCallbackListener<QToastEvent&>(std::move(callable)) {}
};
