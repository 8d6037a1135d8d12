#pragma once

#include "ryqt_export.h"

#include <QHash>
#include <QString>
#include <QVariant>

class QSettingsCategory;
class QSettingsLoader;

/// Describes one setting for QSettingsDialog: kind of value, loader, page, group, label and
/// editor configuration.
///
/// An entry is a plain copyable value, used on the GUI thread. It points at its loader and its
/// categories without owning them: the host creates those, and keeps each alive as long as any
/// entry or dialog that points at it. Copies point at the same loader and categories.
///
/// \section entry_types What each type edits and stores
///
/// The dialog writes one QVariant per entry through the loader (QSettings::setValue), holding:
///
/// | type (value)         | editor                             | QVariant written                         |
/// |----------------------|------------------------------------|------------------------------------------|
/// | #Double (0)          | QDoubleSpinBox                     | `double`                                 |
/// | #Integer (1)         | QSpinBox                           | `int`                                    |
/// | #String (2)          | QLineEdit                          | QString; empty only if isOptional()      |
/// | #Boolean (3)         | QCheckBox labelled with the name   | `bool`                                   |
/// | #DoubleChoice (4)    | QComboBox                          | `double`: the current item's data, converted with QVariant::toDouble() |
/// | #IntegerChoice (5)   | QComboBox                          | `int`: the current item's data, converted with QVariant::toInt() |
/// | #StringChoice (6)    | QComboBox                          | QString: the current item's data, converted with QVariant::toString() |
/// | #File (7)            | QLineEdit and a "..." file chooser | QString, the path as typed or chosen, also empty |
/// | #Directory (8)       | QLineEdit and a "..." directory chooser | QString, likewise                   |
///
/// Values are written on "Ok" whether or not the user changed them, and paths are not checked.
/// A non-optional #String entry left empty is not written: its key keeps its old value. A choice
/// combo with no current item writes 0, 0.0 or an empty text. When the dialog is built, the
/// stored value is loaded into the editor: numbers through QVariant::toDouble() or toInt(),
/// texts through toString(), #Boolean through toBool(), and for a choice type the first item
/// whose data equals the stored QVariant becomes current (none matching: the combo keeps its
/// first item, or none). A key that is not stored yet gives 0, false or an empty text.
///
/// \section ui_properties UI properties
///
/// The hash given as \a uiProperties configures the editor before the stored value is loaded,
/// so a spin box's range is in force when the value arrives (a stored 150 shows as 99, the spin
/// box's default maximum, unless a "maximum" is given):
///
/// - <b>"currentData"</b>, compared ignoring case: the items of a choice combo. Its value is a list,
///   read with QVariant::toList(): a QVariantList such as `QVariantList{1, 2, 4}` or
///   `QVariantList{0.5, 1.0}`, or a QStringList such as `QStringList{"fast", "exact"}`. Each
///   element becomes one item, in list order: text = the element's toString(), item data
///   (Qt::UserRole) = the element itself, and that data is what is saved. The key is ignored for
///   editors that are no combo box. Two spellings ("currentData", "CURRENTDATA") both append.
/// - <b>any other key</b>: set on the editor with QObject::setProperty(). A key naming a Qt property
///   of the editor's class sets it: "minimum", "maximum", "singleStep", "decimals", "prefix",
///   "suffix" on spin boxes; "placeholderText", "maxLength", "readOnly", "inputMask" on line edits;
///   "editable", "maxVisibleItems" on combo boxes; "text" or "tristate" on the check box. Other
///   keys become dynamic properties with no effect. Keys are applied in the hash's own order.
///   A "toolTip" key is always replaced by the entry's toolTip(), even an empty one.
///
/// \code
/// QSettingsEntry quality(QSettingsEntry::StringChoice, &qualityLoader, &general, "Quality", false,
///                        "Rendering quality", {{"currentData", QStringList{"fast", "exact"}}});
/// \endcode
class RYQT_EXPORT QSettingsEntry
{
public:
    /// The kind of value and editor; see \ref entry_types. A value outside 0..8 is accepted but
    /// gets no editor and is never saved.
    enum EntryType : int {
        Double = 0,        ///< a real number in a QDoubleSpinBox; stores `double`
        Integer = 1,       ///< a whole number in a QSpinBox; stores `int`
        String = 2,        ///< a text in a QLineEdit; stores QString, never empty unless optional
        Boolean = 3,       ///< a QCheckBox labelled with the entry's name; stores `bool`
        DoubleChoice = 4,  ///< a QComboBox of "currentData" items; stores the item data as `double`
        IntegerChoice = 5, ///< a QComboBox of "currentData" items; stores the item data as `int`
        StringChoice = 6,  ///< a QComboBox of "currentData" items; stores the item data as QString
        File = 7,          ///< a QLineEdit with a "..." chooser of one existing file; stores QString
        Directory = 8      ///< a QLineEdit with a "..." chooser of a directory; stores QString
    };

    /// Stores every argument. \a type: the kind of value (see \ref entry_types); \a loader:
    /// reads and writes the value; \a category: the dialog page; \a name: the editor's label
    /// (cut off past 100 pixels, so keep it short);
    /// \a optional: whether an empty #String may be saved (default false: never saved empty);
    /// \a toolTip: the editor's tool tip (default none); \a uiProperties: editor configuration
    /// (see \ref ui_properties; default none); \a subCategory: the tab on the page (default
    /// null: the page's default tab, named after the page). Nothing is owned. A null loader or
    /// category is stored as given; see QSettingsDialog for how such an entry is treated.
    QSettingsEntry(QSettingsEntry::EntryType type,
                   QSettingsLoader* loader,
                   QSettingsCategory* category,
                   const QString& name,
                   bool optional = false,
                   const QString& toolTip = QString(),
                   const QHash<QString, QVariant>& uiProperties = QHash<QString, QVariant>(),
                   QSettingsCategory* subCategory = nullptr);
    /// Copies every field; the copy points at the same loader and categories.
    QSettingsEntry(const QSettingsEntry& other);
    /// Copies every field of \a other; the loader and categories are shared, not copied.
    QSettingsEntry& operator=(const QSettingsEntry& other);
    /// Releases the strings and the hash only; loader and categories stay the host's.
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
    /// Editor configuration: "currentData" (any case) fills a combo box, other keys are Qt
    /// properties (see \ref ui_properties). A copy.
    QHash<QString, QVariant> getUiProperties() const;
    /// The kind of value and editor.
    QSettingsEntry::EntryType dataType() const;

    /// Replaces the type; any int value is stored. Dialogs already built keep their editors.
    void setDataType(const QSettingsEntry::EntryType& type);
    /// Replaces the label.
    void setName(const QString& name);
    /// Replaces the optional flag.
    void setOptional(const bool& optional);
    /// Replaces the tool tip.
    void setToolTip(const QString& toolTip);
    /// Replaces the editor configuration (see \ref ui_properties); dialogs already built keep theirs.
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
