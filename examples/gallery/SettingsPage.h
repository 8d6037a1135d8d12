#pragma once

#include <QSettingsCategory.h>
#include <QSettingsEntry.h>
#include <QSettingsLoader.h>

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QSettings;
class QSettingsDialog;
class QTableWidget;

/// A realistic preferences set, stored in the gallery's own INI file and edited through
/// QSettingsDialog; the stored values are listed after every "Ok".
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(const QString& iniPath, QWidget* parent = nullptr);
    ~SettingsPage() override;

    /// Opens the settings dialog without blocking and returns it.
    QSettingsDialog* openDialog();

private:
    QSettingsLoader* loader(const QString& key);
    void buildEntries();
    void refreshValues();

    QSettings* m_store;
    // Loaders and categories must outlive every dialog built from the entries.
    std::vector<std::unique_ptr<QSettingsLoader>> m_loaders;
    QSettingsCategory m_general, m_display, m_network, m_startup, m_proxy;
    QList<QSettingsEntry> m_entries;
    QPointer<QSettingsDialog> m_dialog;
    QTableWidget* m_values;
    QLabel* m_status;
};
