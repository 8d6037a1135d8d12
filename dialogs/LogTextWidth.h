#pragma once

#include <QString>

class QFont;

namespace ryqt {

/// Pixel width of the widest line of text in font: the width QFontMetrics::size(0, text)
/// reports, but found without laying out every line, so it stays fast and correct on logs of
/// any size. The result is clamped to QWIDGETSIZE_MAX.
int logTextWidth(const QFont& font, const QString& text);

} // namespace ryqt
