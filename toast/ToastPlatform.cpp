#include "ToastPlatform.h"

#include <QGuiApplication>
#include <QString>

namespace ryqt {

bool ToastPlatform::placesWindows()
{
    // wayland, wayland-egl, wayland-xcomposite-*: the compositor alone places windows.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool ToastPlatform::hasWindowOpacity()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows")
        || name == QLatin1String("direct2d") || name == QLatin1String("cocoa");
}

bool ToastPlatform::needsShapeMask()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace ryqt
