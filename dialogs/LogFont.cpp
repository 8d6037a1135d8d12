#include "LogFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace ryqt {

namespace {

bool isFixedPitch(const QFont& font)
{
    return QFontInfo(font).fixedPitch();
}

QStringList installedFamilies()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::families();
#else
    return QFontDatabase().families();
#endif
}

bool familyIsFixedPitch(const QString& family)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::isFixedPitch(family);
#else
    return QFontDatabase().isFixedPitch(family);
#endif
}

} // namespace

QFont LogFont::font()
{
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (isFixedPitch(system))
        return system;
    // Asking by style first lets fontconfig pick the desktop's own monospace choice.
    QFont font = system;
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (isFixedPitch(font))
        return font;
    const QStringList families = installedFamilies();
    for (const QString& family : families) {
        if (!familyIsFixedPitch(family))
            continue;
        font.setFamily(family);
        if (isFixedPitch(font))
            return font;
    }
    return system;  // no fixed-pitch family is installed at all
}

} // namespace ryqt
