#pragma once

#include "ryqt_export.h"

#include <QPixmap>
#include <QString>

/// A page of the settings dialog, or a group tab on a page when used as a sub-category.
/// Categories are told apart by address, never by name: two objects named alike give two pages.
/// The host owns its categories (entries and dialogs only point at them) and keeps each alive as
/// long as any entry or dialog that uses it. A plain value, used on the GUI thread.
class RYQT_EXPORT QSettingsCategory
{
public:
    /// Stores the name and the icon; an empty name or null icon is shown as such.
    QSettingsCategory(QString name, QPixmap icon);
    /// Copies name and icon. The copy is a different category: entries pointing at it get a
    /// page of their own.
    QSettingsCategory(const QSettingsCategory& other);
    /// Copies the name and the icon of \a other.
    QSettingsCategory& operator=(const QSettingsCategory& other);
    /// Releases name and icon; a dialog still pointing at the category must be gone by then.
    ~QSettingsCategory();

    /// The category list text and page title (or group tab title).
    QString name() const;
    /// The icon of the category list row; not shown for sub-categories.
    QPixmap icon() const;
    /// Replaces the name; a dialog already built keeps the old text.
    void setName(const QString& name);
    /// Replaces the icon; a dialog already built keeps the old icon.
    void setIcon(const QPixmap& icon);

private:
    QString m_name;
    QPixmap m_icon;
};
