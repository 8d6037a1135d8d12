#pragma once

#include "ryqt_export.h"

#include <functional>
#include <utility>

/// A copyable value that keeps one callable and calls it on fire().
/// QToastListener and TaskCompletedListener are this template with their own argument lists.
/// fire() runs the callable on the calling thread; the listener itself holds no lock.
template <typename... Args>
class RYQT_EXPORT QCallbackListener
{
public:
    /// The kept callable's type.
    using Callable = std::function<void(Args...)>;

    /// Keeps the callable. An empty one is accepted; fire() then throws std::bad_function_call.
    explicit QCallbackListener(Callable callable) : m_callable(std::move(callable)) {}
    /// Copies the callable: firing the copy and the original calls it twice.
    QCallbackListener(const QCallbackListener&) = default;
    /// Replaces the callable with a copy of the other's; self-assignment changes nothing.
    QCallbackListener& operator=(const QCallbackListener&) = default;
    /// Releases the callable.
    ~QCallbackListener() = default;

    /// Calls the callable with the arguments; an empty callable throws std::bad_function_call.
    void fire(Args... args) const { m_callable(std::forward<Args>(args)...); }

private:
    Callable m_callable;
};
