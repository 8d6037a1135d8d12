#pragma once

// The QVariant rules the settings editors rely on, kept the same in the Qt 5 and Qt 6 builds.
// Qt 6 changed several of them: it makes a list of characters out of a text, compares values of
// different types as numbers where Qt 5.15 converted one to the other's type, rounds halves away
// from zero, and keeps the bytes after a zero byte when turning bytes into text. Values in a
// settings store do not change with the Qt a host builds against, so the editors show them as
// Qt 5.15 did.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cmath>

namespace ryqt {

inline int typeOf(const QVariant& v)
{
    return v.userType();
}

inline bool isText(int type)
{
    return type == QMetaType::QString || type == QMetaType::QByteArray;
}

inline bool isFloating(int type)
{
    return type == QMetaType::Double || type == QMetaType::Float;
}

inline bool isNumber(int type)
{
    switch (type) {
    case QMetaType::Bool: case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Float: case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

/// Text of a value; bytes end at their first zero byte.
inline QString textOf(const QVariant& v)
{
    if (typeOf(v) == QMetaType::QByteArray) {
        const QByteArray bytes = v.toByteArray();
        return QString::fromUtf8(bytes.constData(), int(qstrnlen(bytes.constData(), uint(bytes.size()))));
    }
    return v.toString();
}

/// Whole number of a value; a fraction of one half rounds up (-2.5 gives -2).
inline int intOf(const QVariant& v)
{
    if (!isFloating(typeOf(v)))
        return v.toInt();
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
        return 0;
    // Wraps like the 64-bit to 32-bit narrowing it has always been.
    return int(qint64(std::floor(d + 0.5)));
}

/// The items of a "currentData" value: a list of values or of texts; anything else, a bare
/// text in particular, is not a list.
inline QVariantList listOf(const QVariant& v)
{
    const int type = typeOf(v);
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList)
        return v.toList();
    return {};
}

/// v converted to the given type, or an invalid value when that type cannot hold it.
inline QVariant convertedTo(const QVariant& v, int type)
{
    if (!v.isValid())
        return {};
    if (type == QMetaType::QString && typeOf(v) == QMetaType::QByteArray)
        return textOf(v);
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList)
        return isText(typeOf(v)) ? QVariant() : QVariant(listOf(v));
    QVariant out = v;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const bool ok = out.convert(QMetaType(type));
#else
    const bool ok = out.convert(type);
#endif
    return ok ? out : QVariant();
}

/// Whether a value stored in the settings matches a combo item. Two numbers (true counting as
/// 1) compare as numbers; values of one type compare as they are; otherwise the stored value
/// is converted to the item's type (2.5 matches "2.5" but not "2.50", true matches "true" but
/// not "1", bytes match their text), or, where it cannot be, the item to the stored one's.
inline bool matchesItem(const QVariant& item, const QVariant& stored)
{
    const int itemType = typeOf(item), storedType = typeOf(stored);
    if (isNumber(itemType) && isNumber(storedType)) {
        if (!isFloating(itemType) && !isFloating(storedType)) {
            if (itemType == QMetaType::ULongLong || storedType == QMetaType::ULongLong)
                return item.toULongLong() == stored.toULongLong();
            return item.toLongLong() == stored.toLongLong();
        }
        const double a = item.toDouble(), b = stored.toDouble();
        if (a == b)
            return true;
        const bool finite = std::isnormal(a) && std::isnormal(b);
        return finite && qFuzzyCompare(a, b);
    }
    if (itemType == storedType)
        return item == stored;
    const QVariant asItem = convertedTo(stored, itemType);
    if (asItem.isValid())
        return asItem == item;
    const QVariant asStored = convertedTo(item, storedType);
    return asStored.isValid() && asStored == stored;
}

} // namespace ryqt
