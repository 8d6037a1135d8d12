#include "ToastPlatform.h"

#include <QGuiApplication>
#include <QString>

namespace ryqt {

// The platform plugin is chosen once, when the application starts, so each answer is worked
// out on first use (by then a toast exists, so the application does) and kept: the opacity
// one is asked on every step of every fade.

bool ToastPlatform::placesWindows()
{
    // wayland, wayland-egl, wayland-xcomposite-*: the compositor alone places windows.
    static const bool places = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return places;
}

bool ToastPlatform::hasWindowOpacity()
{
    static const bool has = [] {
        const QString name = QGuiApplication::platformName();
        return name == QLatin1String("xcb") || name == QLatin1String("windows")
            || name == QLatin1String("direct2d") || name == QLatin1String("cocoa");
    }();
    return has;
}

bool ToastPlatform::needsShapeMask()
{
    static const bool needs = QGuiApplication::platformName() == QLatin1String("xcb");
    return needs;
}

} // namespace ryqt
