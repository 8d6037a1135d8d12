#pragma once

#include <QString>

#include <limits>

class QFont;

namespace ryqt {

/// Pixel width of the widest line of text in font: the width QFontMetrics::size(0, text)
/// reports, but found without laying out every line, so it stays fast and correct on logs of
/// any size. The result is clamped to limit (and to QWIDGETSIZE_MAX); a line that is sure to
/// reach the limit is not laid out at all, so a text far wider than any window costs little.
/// Reentrant: may run on a worker thread.
int logTextWidth(const QFont& font, const QString& text, int limit = std::numeric_limits<int>::max());

} // namespace ryqt
