#include "QSettingsDialog.h"

#include "QSettingsCategory.h"
#include "QSettingsCategoryWidget.h"
#include "QSettingsLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <vector>

QSettingsDialog::QSettingsDialog(QList<QSettingsEntry> entries, QWidget* parent)
    : QDialog(parent)
{
    setMinimumSize(600, 400);
    setWindowTitle(tr("Settings"));
    setupGui();
    if (!entries.isEmpty())
        setupEntryGui(entries);

    // The buttons are created first, which would put them first in the tab order and give the
    // keyboard to "Ok" on opening. Move them behind the last widget that takes the focus: the
    // focus then starts at the categories and Tab walks list, page, editors, Ok, Cancel.
    QWidget* last = previousInFocusChain();
    while (last != this && last->focusPolicy() == Qt::NoFocus)
        last = last->previousInFocusChain();
    if (last != this && last != m_cancelButton) {
        // Cancel first, then Ok in front of it: Qt leaves the order alone when asked to move the
        // widget that directly follows the window (Ok, here) to the end of the chain.
        setTabOrder(last, m_cancelButton);
        setTabOrder(last, m_okButton);
    }
}

QSettingsDialog::~QSettingsDialog() = default;

void QSettingsDialog::setupGui()
{
    auto* mainLayout = new QVBoxLayout;
    auto* topRow = new QHBoxLayout;
    auto* buttonRow = new QHBoxLayout;

    m_okButton = new QPushButton(tr("Ok"), this);
    m_cancelButton = new QPushButton(tr("Cancel"), this);

    buttonRow->addStretch(1);
    buttonRow->addWidget(m_okButton);
    buttonRow->addWidget(m_cancelButton);

    m_categoryList = new QListWidget(this);
    m_categoryList->setMaximumWidth(150);
    m_categoryList->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);

    m_pageStack = new QStackedWidget(this);
    m_pageStack->setMinimumWidth(350);
    m_pageStack->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    topRow->addWidget(m_categoryList);
    topRow->addWidget(m_pageStack);

    mainLayout->addLayout(topRow);
    mainLayout->addLayout(buttonRow);
    setLayout(mainLayout);

    connect(m_categoryList, &QListWidget::currentRowChanged, this,
            &QSettingsDialog::onCurrentRowChanged);
    connect(m_okButton, &QPushButton::clicked, this, &QSettingsDialog::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QSettingsDialog::onCancelClicked);
}

void QSettingsDialog::setupEntryGui(QList<QSettingsEntry> entries)
{
    m_editors.reserve(m_entries.size() + entries.size());
    for (const QSettingsEntry& entry : qAsConst(entries)) {
        QSettingsCategory* category = entry.category();
        QWidget* editor = nullptr;
        if (category) {
            QSettingsCategoryWidget* page = m_pages.value(category);
            if (!page) {
                page = new QSettingsCategoryWidget(category->name());
                page->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
                m_pageStack->addWidget(page);
                m_pages.insert(category, page);
                auto* item = new QListWidgetItem(QIcon(category->icon()), category->name());
                m_categoryList->insertItem(m_categoryList->count(), item);
            }
            editor = page->addEntry(entry);
        }
        m_entries.append(entry);
        m_editors.insert(m_entries.size() - 1, editor);
    }
}

void QSettingsDialog::showSettings(QWidget* parent)
{
    setParent(parent);
    show();
}

void QSettingsDialog::execSettings(QWidget* parent)
{
    setParent(parent);
    exec();
}

void QSettingsDialog::onCurrentRowChanged(int row) const
{
    if (row >= 0 && row < m_pageStack->count())
        m_pageStack->setCurrentIndex(row);
}

void QSettingsDialog::onCancelClicked()
{
    setResult(QDialog::Rejected);
    emit canceled();
    close();
}

void QSettingsDialog::onOkClicked()
{
    // Everything is collected before the first write, one value per loader. Entries are visited
    // in list order, so when several entries share a loader the last of them in the list wins,
    // and loaders are saved in the order they were first met.
    QHash<QSettingsLoader*, QVariant> pending;
    std::vector<QSettingsLoader*> order;
    pending.reserve(m_entries.size());
    order.reserve(size_t(m_entries.size()));

    for (int index = 0; index < m_entries.size(); ++index) {
        const QSettingsEntry& entry = m_entries.at(index);
        QSettingsLoader* loader = entry.loader();
        QWidget* editor = m_editors.value(index);
        if (!loader || !editor)
            continue;

        QVariant value;
        switch (entry.dataType()) {
        case QSettingsEntry::Double:
            if (auto* spin = qobject_cast<QDoubleSpinBox*>(editor))
                value = QVariant(spin->value());
            break;
        case QSettingsEntry::Integer:
            if (auto* spin = qobject_cast<QSpinBox*>(editor))
                value = QVariant(spin->value());
            break;
        case QSettingsEntry::String:
            if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
                const QString text = edit->text();
                if (!text.isEmpty() || entry.isOptional())
                    value = QVariant(text);
            }
            break;
        case QSettingsEntry::Boolean:
            if (auto* check = qobject_cast<QCheckBox*>(editor))
                value = QVariant(check->isChecked());
            break;
        case QSettingsEntry::DoubleChoice:
            if (auto* combo = qobject_cast<QComboBox*>(editor))
                value = QVariant(combo->itemData(combo->currentIndex(), Qt::UserRole).toDouble());
            break;
        case QSettingsEntry::IntegerChoice:
            if (auto* combo = qobject_cast<QComboBox*>(editor))
                value = QVariant(combo->itemData(combo->currentIndex(), Qt::UserRole).toInt());
            break;
        case QSettingsEntry::StringChoice:
            if (auto* combo = qobject_cast<QComboBox*>(editor))
                value = QVariant(combo->itemData(combo->currentIndex(), Qt::UserRole).toString());
            break;
        case QSettingsEntry::File:
        case QSettingsEntry::Directory:
            if (auto* edit = qobject_cast<QLineEdit*>(editor))
                value = QVariant(edit->text());
            break;
        }
        // Every value read above is valid; an invalid one means the entry was skipped.
        if (!value.isValid())
            continue;

        auto it = pending.find(loader);
        if (it == pending.end()) {
            pending.insert(loader, value);
            order.push_back(loader);
        } else {
            *it = value;
        }
    }

    for (QSettingsLoader* loader : order)
        loader->save(pending.value(loader));

    setResult(QDialog::Accepted);
    emit saved(true);
    close();
}
