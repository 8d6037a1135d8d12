#include "QSettingsCategoryWidget.h"

#include "QSettingsEntry.h"
#include "QSettingsGroupWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QVBoxLayout>

QSettingsCategoryWidget::QSettingsCategoryWidget(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title), m_ownCategory(title, QPixmap())
{
    setupGui();
}

QSettingsCategoryWidget::~QSettingsCategoryWidget() = default;

void QSettingsCategoryWidget::setupGui()
{
    m_tabWidget = new QTabWidget;
    m_tabWidget->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);

    auto* titleRow = new QHBoxLayout;
    m_titleLabel = new QLabel;
    m_titleLabel->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_titleLabel->setMaximumWidth(150);
    m_titleLabel->setStyleSheet(QStringLiteral("font-weight: bold; color: black"));
    m_titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_titleLabel->setText(m_title);
    titleRow->addWidget(m_titleLabel);
    titleRow->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setAlignment(Qt::AlignCenter);
    m_mainLayout->addLayout(titleRow);
    m_mainLayout->addWidget(m_tabWidget);
    setLayout(m_mainLayout);
}

QWidget* QSettingsCategoryWidget::addEntry(const QSettingsEntry& entry)
{
    QSettingsCategory* sub = entry.subCategory();
    QSettingsCategory* key = sub ? sub : &m_ownCategory;

    QSettingsGroupWidget* group = m_groups.value(key);
    if (!group) {
        group = new QSettingsGroupWidget(sub ? sub->name() : m_title);
        group->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
        m_tabWidget->addTab(group, group->title());
        m_groups.insert(key, group);
    }
    return group->addEntry(entry);
}

void QSettingsCategoryWidget::setTitle(const QString& title)
{
    m_title = title;
    m_titleLabel->setText(title);
    m_ownCategory.setName(title);
}

QString QSettingsCategoryWidget::title() const
{
    return m_title;
}
