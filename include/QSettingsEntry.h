#pragma once

#include "ryqt_export.h"

#include <QHash>
#include <QString>
#include <QVariant>

class QSettingsCategory;
class QSettingsLoader;

/// Describes one setting for QSettingsDialog: kind of value, loader, page, group, label and
/// editor configuration. Loader and categories are not owned and must outlive every dialog built
/// from the entry.
class RYQT_EXPORT QSettingsEntry
{
public:
    /// The kind of value and editor. A value outside 0..8 is accepted but gets no editor and is
    /// never saved.
    enum EntryType : int {
        Double = 0,
        Integer = 1,
        String = 2,
        Boolean = 3,
        DoubleChoice = 4,
        IntegerChoice = 5,
        StringChoice = 6,
        File = 7,
        Directory = 8
    };

    /// Stores every argument. A null loader or category is stored as given; see QSettingsDialog
    /// for how such an entry is treated.
    QSettingsEntry(QSettingsEntry::EntryType type,
                   QSettingsLoader* loader,
                   QSettingsCategory* category,
                   const QString& name,
                   bool optional = false,
                   const QString& toolTip = QString(),
                   const QHash<QString, QVariant>& uiProperties = QHash<QString, QVariant>(),
                   QSettingsCategory* subCategory = nullptr);
    QSettingsEntry(const QSettingsEntry& other);
    QSettingsEntry& operator=(const QSettingsEntry& other);
    virtual ~QSettingsEntry();

    /// Equal when the types match and the names match ignoring case; nothing else is compared.
    bool operator==(const QSettingsEntry& other) const;

    /// The loader that reads and writes the value; may be null.
    QSettingsLoader* loader() const;
    /// The page the entry is shown on; may be null.
    QSettingsCategory* category() const;
    /// The group tab on that page; null means the page's default group.
    QSettingsCategory* subCategory() const;
    /// The editor's label and the entry's identity in comparisons.
    QString name() const;
    /// Whether an empty text may be saved; only String entries look at it.
    bool isOptional() const;
    /// The tool tip given to the editor.
    QString toolTip() const;
    /// Editor configuration: "currentData" (any case) fills a combo box, other keys are Qt properties.
    QHash<QString, QVariant> getUiProperties() const;
    /// The kind of value and editor.
    QSettingsEntry::EntryType dataType() const;

    /// Replaces the type; any int value is stored.
    void setDataType(const QSettingsEntry::EntryType& type);
    /// Replaces the label.
    void setName(const QString& name);
    /// Replaces the optional flag.
    void setOptional(const bool& optional);
    /// Replaces the tool tip.
    void setToolTip(const QString& toolTip);
    /// Replaces the editor configuration.
    void setUiProperties(const QHash<QString, QVariant>& uiProperties);

private:
    QSettingsLoader* m_loader;
    QSettingsCategory* m_category;
    QSettingsCategory* m_subCategory;
    QString m_name;
    bool m_optional;
    QString m_toolTip;
    QHash<QString, QVariant> m_uiProperties;
    QSettingsEntry::EntryType m_dataType;
};
