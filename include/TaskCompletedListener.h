#pragma once

#include "QCallbackListener.h"
#include "ryqt_export.h"

/// Wraps a completion callback with no arguments, for hosts that hand one around.
/// Copies share nothing but a copy of the callable: firing two copies calls it twice.
/// Thread does not use it; fire() calls the callable on the calling thread.
class RYQT_EXPORT TaskCompletedListener : public QCallbackListener<>
{
public:
    /// Keeps the callable; an empty one makes fire() throw std::bad_function_call.
    explicit TaskCompletedListener(std::function<void()> callable)
        : QCallbackListener<>(std::move(callable)) {}
};
