#include "QSettingsLoader.h"

#include <QSettings>

QSettingsLoader::QSettingsLoader(const QString& key)
    : m_settings(new QSettings()),
      m_key(key),
      m_ownsSettings(true),
      // Deferred, not immediate: an editor or a queued call may still reach the store during
      // the current event, and QSettings flushes on destruction in its own thread.
      m_ownedSettings(m_settings, [](QSettings* store) { store->deleteLater(); })
{
}

QSettingsLoader::QSettingsLoader(QSettings* settings, const QString& key)
    : m_settings(settings), m_key(key), m_ownsSettings(false)
{
}

QSettingsLoader::QSettingsLoader(const QSettingsLoader& other) = default;
QSettingsLoader& QSettingsLoader::operator=(const QSettingsLoader& other) = default;
QSettingsLoader::~QSettingsLoader() = default;

bool QSettingsLoader::load(QVariant& value) const
{
    if (!m_settings)
        return false;
    value = m_settings->value(m_key, QVariant());
    return true;
}

bool QSettingsLoader::save(const QVariant& value) const
{
    if (!m_settings)
        return false;
    m_settings->setValue(m_key, value);
    return true;
}

QSettings* QSettingsLoader::settings() const { return m_settings; }
QString QSettingsLoader::key() const { return m_key; }
bool QSettingsLoader::ownsSettings() const { return m_ownsSettings; }
