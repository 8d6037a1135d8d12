#pragma once

class QWidget;

namespace ryqt {

// What the window system lets a toast do, asked of the running platform plugin.
class ToastPlatform
{
public:
    // False where a client cannot place its own top-level windows (Wayland): there a toast with
    // a parent is drawn inside the parent's window instead of floating in a window of its own.
    static bool placesWindows();

    // True where the platform plugin implements per-window opacity. Elsewhere Qt only warns on
    // every call, and a toast fades by painting through an opacity effect.
    static bool hasWindowOpacity();

    // True on X11, where a translucent window shows black instead of what lies beneath unless
    // a compositing manager runs; a window mask keeps the margin clear either way.
    static bool needsShapeMask();
};

} // namespace ryqt
