#include "QSettingsEntry.h"

QSettingsEntry::QSettingsEntry(QSettingsEntry::EntryType type,
                               QSettingsLoader* loader,
                               QSettingsCategory* category,
                               const QString& name,
                               bool optional,
                               const QString& toolTip,
                               const QHash<QString, QVariant>& uiProperties,
                               QSettingsCategory* subCategory)
    : m_loader(loader),
      m_category(category),
      m_subCategory(subCategory),
      m_name(name),
      m_optional(optional),
      m_toolTip(toolTip),
      m_uiProperties(uiProperties),
      m_dataType(type)
{
}

QSettingsEntry::QSettingsEntry(const QSettingsEntry& other) = default;
QSettingsEntry& QSettingsEntry::operator=(const QSettingsEntry& other) = default;
QSettingsEntry::~QSettingsEntry() = default;

bool QSettingsEntry::operator==(const QSettingsEntry& other) const
{
    if (m_dataType != other.m_dataType)
        return false;
    return QString::compare(m_name.toLower(), other.m_name.toLower(), Qt::CaseInsensitive) == 0;
}

QSettingsLoader* QSettingsEntry::loader() const { return m_loader; }
QSettingsCategory* QSettingsEntry::category() const { return m_category; }
QSettingsCategory* QSettingsEntry::subCategory() const { return m_subCategory; }
QString QSettingsEntry::name() const { return m_name; }
bool QSettingsEntry::isOptional() const { return m_optional; }
QString QSettingsEntry::toolTip() const { return m_toolTip; }
QHash<QString, QVariant> QSettingsEntry::getUiProperties() const { return m_uiProperties; }
QSettingsEntry::EntryType QSettingsEntry::dataType() const { return m_dataType; }

void QSettingsEntry::setDataType(const QSettingsEntry::EntryType& type) { m_dataType = type; }
void QSettingsEntry::setName(const QString& name) { m_name = name; }
void QSettingsEntry::setOptional(const bool& optional) { m_optional = optional; }
void QSettingsEntry::setToolTip(const QString& toolTip) { m_toolTip = toolTip; }
void QSettingsEntry::setUiProperties(const QHash<QString, QVariant>& uiProperties) { m_uiProperties = uiProperties; }
