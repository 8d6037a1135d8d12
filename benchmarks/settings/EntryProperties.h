#pragma once

// The UI properties every settings benchmark gives its entries, by type, so that the C++ and
// the Python-host scenarios configure the same editors.

#include <QSettingsEntry.h>

#include <QHash>
#include <QString>
#include <QVariant>

namespace ryqtbench {

/// The items of every choice entry.
inline const QVariantList& entryChoices()
{
    static const QVariantList choices{1, 2, 3, 4, 5};
    return choices;
}

/// Ranges for numbers, the choices for combos, a placeholder for texts and paths.
inline QHash<QString, QVariant> entryProperties(QSettingsEntry::EntryType type)
{
    switch (type) {
    case QSettingsEntry::Double:
        return {{"minimum", -1000.0}, {"maximum", 1000.0}, {"decimals", 3}};
    case QSettingsEntry::Integer:
        return {{"minimum", -1000}, {"maximum", 100000}};
    case QSettingsEntry::DoubleChoice:
    case QSettingsEntry::IntegerChoice:
    case QSettingsEntry::StringChoice:
        return {{"currentData", entryChoices()}};
    default:
        return {{"placeholderText", "value"}};
    }
}

} // namespace ryqtbench
