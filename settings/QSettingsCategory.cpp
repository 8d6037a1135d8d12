#include "QSettingsCategory.h"

#include <utility>

QSettingsCategory::QSettingsCategory(QString name, QPixmap icon)
    : m_name(std::move(name)), m_icon(std::move(icon))
{
}

QSettingsCategory::QSettingsCategory(const QSettingsCategory& other) = default;
QSettingsCategory& QSettingsCategory::operator=(const QSettingsCategory& other) = default;
QSettingsCategory::~QSettingsCategory() = default;

QString QSettingsCategory::name() const { return m_name; }
QPixmap QSettingsCategory::icon() const { return m_icon; }
void QSettingsCategory::setName(const QString& name) { m_name = name; }
void QSettingsCategory::setIcon(const QPixmap& icon) { m_icon = icon; }
