#pragma once

#include <QFont>

namespace ryqt {

// The font the log viewer shows logs in: the system's fixed-pitch font where it really is
// fixed-pitch, otherwise an installed fixed-pitch family at the same size. Some platforms
// (Qt 5's offscreen one, desktops without a configured monospace font) answer the fixed-font
// request with a proportional font, and columns in a log would no longer line up.
class LogFont
{
public:
    static QFont font();
};

} // namespace ryqt
