#include "LogTextWidth.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// Laying a whole log out with QFontMetrics::size() costs many times what the editor itself
// spends on setPlainText(), and past a few tens of megabytes the layout overflows and reports a
// width of 0. The widest line is what matters, so each line gets a cheap estimate (the sum of
// cached per-character advances) and only lines whose estimate could reach the widest width
// found so far are laid out for real, each on its own with QFontMetrics::size(). Lines in
// complex scripts (marks, right-to-left, Indic, CJK, astral characters) have no sound estimate
// and are always laid out. A line laid out alone measures as it does inside the whole text,
// except where Qt carries a script from one line into the next (a line opening with digits or
// symbols after a line in another script may take that script's fallback font).

namespace ryqt {
namespace {

// The first U+009C ends the first "length variant" of a string; QFontMetrics measures only that.
constexpr ushort kLengthVariantSeparator = 0x9c;

// Shaping may make a run of simple characters a little wider than the sum of their advances
// (positive kerning, hinting).
constexpr double kSimpleSlack = 0.05;
constexpr double kSimpleLowerBound = 0.5;

// Lines estimated wider than this are measured in pieces: one QTextLayout line wraps at
// 0x01000000 pixels and its fixed-point arithmetic overflows not far beyond.
constexpr double kPieceWiseWidth = 1.0e6;
constexpr int kPieceLength = 16384;

struct Line
{
    int start;
    int length;
    float bound;     // the widest this line could be
    bool terminated; // followed by a newline
};

// Per-character advances in 1/64 pixel, looked up by UTF-16 code unit. The top bits of an entry
// mark characters whose shaping may differ much from their advance (kComplex) and entries that
// need the slow path (kSpecial: not looked up yet, or a surrogate).
class AdvanceCache
{
public:
    static constexpr quint32 kSpecial = 0x80000000u;
    static constexpr quint32 kComplex = 0x40000000u;
    static constexpr quint32 kAdvanceMask = 0x0fffffffu;

    explicit AdvanceCache(const QFont& font) : m_metrics(font), m_table(0x10000, kSpecial) {}

    const quint32* table() const { return m_table.data(); }
    const QFontMetricsF& metrics() const { return m_metrics; }

    // Fills the entry of BMP code unit c and returns it; surrogates stay special.
    quint32 fill(ushort c)
    {
        const QChar ch(c);
        if (ch.isSurrogate())
            return toFixed(m_metrics.horizontalAdvance(QChar(QChar::ReplacementCharacter))) | kComplex;
        // Tabs and carriage returns are measured as spaces by QFontMetrics::size(0, ...).
        const QChar measured = (c == '\t' || c == '\r') ? QChar(' ') : ch;
        const quint32 entry = toFixed(m_metrics.horizontalAdvance(measured)) | (isSimple(ch) ? 0u : kComplex);
        m_table[c] = entry;
        return entry;
    }

    // Advance of a character outside the BMP (emoji, historic scripts), in 1/64 pixel.
    quint32 wide(char32_t codePoint)
    {
        auto it = m_wide.find(codePoint);
        if (it == m_wide.end())
            it = m_wide.insert(codePoint, toFixed(m_metrics.horizontalAdvance(QString::fromUcs4(&codePoint, 1))));
        return it.value();
    }

private:
    static quint32 toFixed(qreal advance)
    {
        return quint32(qBound<qreal>(0.0, std::ceil(advance * 64.0), qreal(kAdvanceMask)));
    }

    static bool isSimple(QChar ch)
    {
        const ushort c = ch.unicode();
        if (c == '\t' || c == '\r')
            return true;
        if (ch.isMark())
            return false;
        switch (ch.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_NotAssigned:
        case QChar::Other_PrivateUse:
            return false;
        default:
            break;
        }
        switch (ch.script()) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Armenian:
        case QChar::Script_Georgian:
            return true;
        default:
            return false;
        }
    }

    QFontMetricsF m_metrics;
    std::vector<quint32> m_table;
    QHash<uint, quint32> m_wide;
};

int clampWidth(double width)
{
    return width >= double(QWIDGETSIZE_MAX) ? QWIDGETSIZE_MAX : std::max(0, int(std::ceil(width)));
}

// A line too long for one text layout: the sum of its pieces' advances. Only the joins between
// pieces may lose a kerning pair, far below a pixel per thousand at such widths.
// Stops once the sum reaches stopAt: past the widest usable width the rest makes no difference.
double measurePieceWise(const QFontMetricsF& metrics, const QChar* data, int length, double stopAt)
{
    double width = 0.0;
    for (int at = 0; at < length && width < stopAt;) {
        int n = std::min(kPieceLength, length - at);
        if (at + n < length && data[at + n - 1].isHighSurrogate())
            --n; // never split a surrogate pair
        QString piece(data + at, n);
        piece.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        width += metrics.horizontalAdvance(piece);
        at += n;
    }
    return width;
}

int measureLine(const QFont& font, const QFontMetricsF& metricsF, const QString& text, const Line& line, float estimate, int limit)
{
    const QChar* data = text.constData() + line.start;
    int length = line.length;
    if (estimate > kPieceWiseWidth || length > 8 * kPieceLength) {
        while (line.terminated && length > 0 && data[length - 1].isSpace())
            --length;
        return std::min(limit, clampWidth(measurePieceWise(metricsF, data, length, double(limit))));
    }
    // Trailing blanks count on the last line only, as in the whole text's layout, so a line
    // that had a newline after it is measured with one.
    QString piece(data, length);
    if (line.terminated)
        piece += QLatin1Char('\n');
    return std::min(limit, QFontMetrics(font).size(0, piece).width());
}

} // namespace

int logTextWidth(const QFont& font, const QString& text, int limit)
{
    limit = std::max(0, std::min(limit, QWIDGETSIZE_MAX));
    int end = text.indexOf(QChar(kLengthVariantSeparator));
    if (end < 0)
        end = text.size();
    if (end == 0)
        return 0;

    AdvanceCache cache(font);
    const double absoluteSlack = 4.0 + 2.0 * cache.metrics().averageCharWidth();
    const ushort* data = text.utf16();

    // One pass: an upper bound per line, and the line with the widest simple estimate.
    std::vector<Line> lines;
    std::vector<float> estimates;
    int widestSimple = -1;
    float widestSimpleEstimate = -1.0f;
    const quint32* table = cache.table();
    for (int start = 0; start <= end;) {
        // The hot loop of the whole measure: one table look-up and two integer operations per
        // character, the rare cases kept out of line.
        quint64 sum = 0;
        quint32 flags = 0;
        const ushort* p = data + start;
        const ushort* const stop = data + end;
        for (; p < stop; ++p) {
            const ushort c = *p;
            if (c == '\n')
                break;
            quint32 entry = table[c];
            if (Q_UNLIKELY(entry & AdvanceCache::kSpecial)) {
                if (QChar::isHighSurrogate(c) && p + 1 < stop && QChar::isLowSurrogate(p[1])) {
                    sum += cache.wide(QChar::surrogateToUcs4(c, p[1]));
                    flags |= AdvanceCache::kComplex;
                    ++p;
                    continue;
                }
                entry = cache.fill(c);
            }
            sum += entry & AdvanceCache::kAdvanceMask;
            flags |= entry;
        }
        const int i = int(p - data);
        const bool complex = (flags & AdvanceCache::kComplex) != 0;
        const double estimate = double(sum) / 64.0;
        // Kerning never takes half of a simple line's advances away, so such a line already
        // past the limit settles the answer without being laid out.
        if (!complex && estimate * kSimpleLowerBound >= double(limit))
            return limit;
        // No sound bound exists for a line in a complex script: blanks, digits and punctuation
        // after such characters take the script's fallback font and its wider advances, and
        // shaping may insert glyphs. Such lines are always laid out.
        const float bound = complex ? std::numeric_limits<float>::max() : float(estimate * (1.0 + kSimpleSlack) + absoluteSlack);
        lines.push_back({start, i - start, bound, i < end});
        estimates.push_back(float(estimate));
        if (!complex && estimate > widestSimpleEstimate) {
            widestSimpleEstimate = float(estimate);
            widestSimple = int(lines.size()) - 1;
        }
        start = i + 1;
    }

    // Measure the line that looks widest, then only lines that could still beat it, widest
    // bound first, until no remaining bound reaches the widest width found.
    const QFontMetricsF& metricsF = cache.metrics();
    int widest = 0;
    if (widestSimple >= 0)
        widest = measureLine(font, metricsF, text, lines[size_t(widestSimple)], estimates[size_t(widestSimple)], limit);

    std::vector<int> candidates;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (int(i) != widestSimple && lines[i].length > 0 && lines[i].bound >= float(widest))
            candidates.push_back(int(i));
    }
    std::sort(candidates.begin(), candidates.end(),
              [&lines](int a, int b) { return lines[size_t(a)].bound > lines[size_t(b)].bound; });
    for (int index : candidates) {
        const Line& line = lines[size_t(index)];
        if (line.bound < float(widest) || widest >= limit)
            break;
        widest = std::max(widest, measureLine(font, metricsF, text, line, estimates[size_t(index)], limit));
    }
    return widest;
}

} // namespace ryqt
