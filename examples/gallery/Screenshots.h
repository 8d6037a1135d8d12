#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gallery {

/// Spins the event loop for ms milliseconds, so fades, slides and worker threads can finish
/// before a picture is taken.
void settle(int ms);

/// Spins the event loop until done() holds or timeoutMs has passed; returns done().
bool settleUntil(const std::function<bool()>& done, int timeoutMs = 10000);

/// Renders a top-level widget, and every visible top-level window lying over it (toasts,
/// tooltips), into one PNG file. Returns false when the file cannot be written.
bool saveShot(QWidget* window, const QString& path);

} // namespace gallery
