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
// found so far are laid out for real, each on its own with QFontMetrics::size(). A line laid
// out alone measures exactly as it does inside the whole text, so the result is the same.

namespace ryqt {
namespace {

// The first U+009C ends the first "length variant" of a string; QFontMetrics measures only that.
constexpr ushort kLengthVariantSeparator = 0x9c;

// Shaping may make a run of simple characters a little wider than the sum of their advances
// (positive kerning, hinting); complex scripts can change a lot with contextual forms.
constexpr double kSimpleSlack = 0.05;
constexpr double kComplexSlack = 0.5;

// Lines estimated wider than this are measured in pieces: one QTextLayout line wraps at
// 0x01000000 pixels and its fixed-point arithmetic overflows not far beyond.
constexpr double kPieceWiseWidth = 1.0e6;
constexpr int kPieceLength = 16384;

struct Line
{
    int start;
    int length;
    float bound; // the widest this line could be
};

class AdvanceCache
{
public:
    explicit AdvanceCache(const QFont& font) : m_metrics(font), m_advance(0x10000, -1.0f), m_complex(0x10000, 0) {}

    // Advance of the BMP character c; sets complex when shaping may change it much.
    float advance(ushort c, bool& complex)
    {
        float& a = m_advance[c];
        if (a < 0.0f)
            fill(c);
        complex |= m_complex[c] != 0;
        return a;
    }

    // Advance of a character outside the BMP (emoji, historic scripts), given as a pair.
    float advance(uint codePoint)
    {
        auto it = m_wide.find(codePoint);
        if (it == m_wide.end())
            it = m_wide.insert(codePoint, float(std::max<qreal>(0.0, m_metrics.horizontalAdvance(QString::fromUcs4(&codePoint, 1)))));
        return it.value();
    }

    const QFontMetricsF& metrics() const { return m_metrics; }

private:
    void fill(ushort c)
    {
        const QChar ch(c);
        // Tabs and carriage returns are measured as spaces by QFontMetrics::size(0, ...).
        const QChar measured = (c == '\t' || c == '\r') ? QChar(' ') : ch;
        m_advance[c] = float(std::max<qreal>(0.0, m_metrics.horizontalAdvance(measured)));
        m_complex[c] = isSimple(ch) ? 0 : 1;
    }

    static bool isSimple(QChar ch)
    {
        const ushort c = ch.unicode();
        if (c == '\t' || c == '\r')
            return true;
        if (ch.isSurrogate() || ch.isMark())
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
        if (c >= 0xAC00 && c <= 0xD7A3) // precomposed Hangul syllables; conjoining jamo are not
            return true;
        switch (ch.script()) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Armenian:
        case QChar::Script_Georgian:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
            return true;
        default:
            return false;
        }
    }

    QFontMetricsF m_metrics;
    std::vector<float> m_advance;
    std::vector<unsigned char> m_complex;
    QHash<uint, float> m_wide;
};

int clampWidth(double width)
{
    return width >= double(QWIDGETSIZE_MAX) ? QWIDGETSIZE_MAX : std::max(0, int(std::ceil(width)));
}

// A line too long for one text layout: the sum of its pieces' advances. Only the joins between
// pieces may lose a kerning pair, far below a pixel per thousand at such widths.
double measurePieceWise(const QFontMetricsF& metrics, const QChar* data, int length)
{
    double width = 0.0;
    for (int at = 0; at < length;) {
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

int measureLine(const QFont& font, const QFontMetricsF& metricsF, const QString& text, const Line& line, float estimate)
{
    const QChar* data = text.constData() + line.start;
    if (estimate > kPieceWiseWidth || line.length > 8 * kPieceLength)
        return clampWidth(measurePieceWise(metricsF, data, line.length));
    return QFontMetrics(font).size(0, QString(data, line.length)).width();
}

} // namespace

int logTextWidth(const QFont& font, const QString& text)
{
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
    for (int start = 0; start <= end;) {
        double estimate = 0.0;
        bool complex = false;
        int i = start;
        for (; i < end && data[i] != '\n'; ++i) {
            if (QChar::isHighSurrogate(data[i]) && i + 1 < end && QChar::isLowSurrogate(data[i + 1])) {
                estimate += cache.advance(QChar::surrogateToUcs4(data[i], data[i + 1]));
                complex = true;
                ++i;
            } else {
                estimate += cache.advance(data[i], complex);
            }
        }
        const double slack = complex ? kComplexSlack : kSimpleSlack;
        lines.push_back({start, i - start, float(estimate * (1.0 + slack) + absoluteSlack)});
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
        widest = measureLine(font, metricsF, text, lines[size_t(widestSimple)], estimates[size_t(widestSimple)]);

    std::vector<int> candidates;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (int(i) != widestSimple && lines[i].length > 0 && lines[i].bound >= float(widest))
            candidates.push_back(int(i));
    }
    std::sort(candidates.begin(), candidates.end(),
              [&lines](int a, int b) { return lines[size_t(a)].bound > lines[size_t(b)].bound; });
    for (int index : candidates) {
        const Line& line = lines[size_t(index)];
        if (line.bound < float(widest))
            break;
        widest = std::max(widest, measureLine(font, metricsF, text, line, estimates[size_t(index)]));
    }
    return widest;
}

} // namespace ryqt
