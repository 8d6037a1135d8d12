#pragma once

#include "ryqt_export.h"

#include <QPixmap>
#include <QString>

/// A page of the settings dialog, or a group tab on a page when used as a sub-category.
/// Categories are told apart by address, never by name: two objects named alike give two pages.
class RYQT_EXPORT QSettingsCategory
{
public:
    /// Stores the name and the icon; an empty name or null icon is shown as such.
    QSettingsCategory(QString name, QPixmap icon);
    QSettingsCategory(const QSettingsCategory& other);
    QSettingsCategory& operator=(const QSettingsCategory& other);
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
