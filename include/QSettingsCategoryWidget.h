#pragma once

#include "QSettingsCategory.h"
#include "ryqt_export.h"

#include <QHash>
#include <QString>
#include <QWidget>

class QLabel;
class QSettingsEntry;
class QSettingsGroupWidget;
class QTabWidget;
class QVBoxLayout;

/// The page of one settings category: a bold title above a tab widget with one
/// QSettingsGroupWidget per sub-category, plus one tab for entries without a sub-category.
/// Sub-categories are told apart by address, never by name. QSettingsDialog makes one per
/// category; a host rarely needs one itself. Tabs appear in the order their first entry
/// arrives and are never removed. GUI thread only.
class RYQT_EXPORT QSettingsCategoryWidget : public QWidget
{
    Q_OBJECT

public:
    /// Builds an empty page showing \a title in bold above an empty tab widget, as a child of
    /// \a parent.
    explicit QSettingsCategoryWidget(const QString& title, QWidget* parent = nullptr);
    ~QSettingsCategoryWidget() override;

    /// Files \a entry into the tab of its sub-category (created on first need; entries without
    /// one share a tab named after the page's title at that moment) and returns the editor the
    /// group widget built, or null for an unknown entry type.
    QWidget* addEntry(const QSettingsEntry& entry);
    /// Replaces the title and the bold label with \a title; existing tabs keep their text.
    void setTitle(const QString& title);
    /// The page's title.
    QString title() const;

private:
    void setupGui();

    QHash<QSettingsCategory*, QSettingsGroupWidget*> m_groups;
    QTabWidget* m_tabWidget = nullptr;
    QVBoxLayout* m_mainLayout = nullptr;
    QLabel* m_titleLabel = nullptr;
    QString m_title;
    // Its address is the key of the group of entries that have no sub-category.
    QSettingsCategory m_ownCategory;
};
