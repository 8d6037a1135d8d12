#include "QSettingsGroupWidget.h"

#include "QSettingsEntry.h"
#include "QSettingsLoader.h"
#include "VariantRules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QString kCurrentData = QStringLiteral("currentData");

QWidget* createEditor(QSettingsEntry::EntryType type)
{
    switch (type) {
    case QSettingsEntry::Double:
        return new QDoubleSpinBox;
    case QSettingsEntry::Integer:
        return new QSpinBox;
    case QSettingsEntry::String:
    case QSettingsEntry::File:
    case QSettingsEntry::Directory:
        return new QLineEdit;
    case QSettingsEntry::DoubleChoice:
    case QSettingsEntry::IntegerChoice:
    case QSettingsEntry::StringChoice:
        return new QComboBox;
    case QSettingsEntry::Boolean:
        break; // built with its text by the caller
    }
    return nullptr;
}

bool isKnownType(int type)
{
    return type >= QSettingsEntry::Double && type <= QSettingsEntry::Directory;
}

} // namespace

QSettingsGroupWidget::QSettingsGroupWidget(const QString& title, QWidget* parent)
    : QWidget(parent),
      m_mainLayout(new QVBoxLayout),
      m_title(title),
      m_buttonGroup(new QButtonGroup)
{
    connect(m_buttonGroup, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
            &QSettingsGroupWidget::onFileButtonClicked);
    setupGui();
}

QSettingsGroupWidget::~QSettingsGroupWidget()
{
    // The group has no parent so that it never shows up among this widget's children;
    // it is ours to free.
    delete m_buttonGroup;
}

void QSettingsGroupWidget::setupGui()
{
    m_mainLayout->setAlignment(Qt::AlignTop);
    setLayout(m_mainLayout);
}

QWidget* QSettingsGroupWidget::addEntry(const QSettingsEntry& entry)
{
    auto* row = new QHBoxLayout;
    const QSettingsEntry::EntryType type = entry.dataType();
    QWidget* editor = nullptr;

    if (type == QSettingsEntry::Boolean) {
        auto* check = new QCheckBox;
        check->setText(entry.name());
        editor = check;
    } else if (isKnownType(type)) {
        auto* label = new QLabel(entry.name() + QLatin1Char(':'));
        label->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setMaximumWidth(100);
        row->addWidget(label);
        editor = createEditor(type);
    }

    // Screen readers announce the entry's name rather than a bare "edit". Set before the UI
    // properties are applied, so a host's own "accessibleName" property still wins.
    if (editor)
        editor->setAccessibleName(entry.name());
    setupWidget(entry, editor);

    if (editor)
        row->addWidget(editor);
    row->setAlignment(Qt::AlignTop);

    if (type == QSettingsEntry::File || type == QSettingsEntry::Directory) {
        auto* button = new QPushButton(QStringLiteral("..."));
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setMaximumWidth(30);
        // "..." alone tells a screen-reader user nothing: say what the button chooses.
        button->setAccessibleName(type == QSettingsEntry::File
                                      ? tr("Choose file for %1").arg(entry.name())
                                      : tr("Choose folder for %1").arg(entry.name()));
        m_buttonGroup->addButton(button, -1);
        row->addWidget(button);
        m_choosers.insert(button, qMakePair(int(type), QPointer<QLineEdit>(static_cast<QLineEdit*>(editor))));
    }

    m_mainLayout->addLayout(row);
    return editor;
}

void QSettingsGroupWidget::setupWidget(const QSettingsEntry& entry, QWidget* widget)
{
    const QHash<QString, QVariant> properties = entry.getUiProperties();
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (it.key().compare(kCurrentData, Qt::CaseInsensitive) == 0) {
            if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                const QVariantList items = ryqt::listOf(it.value());
                for (const QVariant& item : items)
                    combo->insertItem(combo->count(), QIcon(), ryqt::textOf(item), item);
            }
            continue;
        }
        if (widget)
            widget->setProperty(it.key().toStdString().c_str(), it.value());
    }
    if (widget)
        widget->setToolTip(entry.toolTip());

    const QSettingsLoader* loader = entry.loader();
    QVariant value;
    if (!loader || !loader->load(value))
        return;

    switch (entry.dataType()) {
    case QSettingsEntry::Double:
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget))
            spin->setValue(value.toDouble());
        break;
    case QSettingsEntry::Integer:
        if (auto* spin = qobject_cast<QSpinBox*>(widget))
            spin->setValue(ryqt::intOf(value));
        break;
    case QSettingsEntry::String:
    case QSettingsEntry::File:
    case QSettingsEntry::Directory:
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(ryqt::textOf(value));
        break;
    case QSettingsEntry::Boolean:
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setChecked(value.toBool());
        break;
    case QSettingsEntry::DoubleChoice:
    case QSettingsEntry::IntegerChoice:
    case QSettingsEntry::StringChoice:
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                if (ryqt::matchesItem(combo->itemData(i, Qt::UserRole), value)) {
                    combo->setCurrentIndex(i);
                    break;
                }
            }
        }
        break;
    }
}

void QSettingsGroupWidget::setTitle(const QString& title)
{
    m_title = title;
}

QString QSettingsGroupWidget::title() const
{
    return m_title;
}

void QSettingsGroupWidget::onFileButtonClicked(QAbstractButton* button)
{
    const auto it = m_choosers.constFind(button);
    if (it == m_choosers.constEnd() || !it->second)
        return;
    const int type = it->first;
    QLineEdit* edit = it->second;

    auto* dialog = new QFileDialog(nullptr, QString(), QString(), QString());
    // Parentless so it is a window of its own; it frees itself once the user is done, and
    // never outlives the line edit it would write into.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(edit, &QObject::destroyed, dialog, &QObject::deleteLater);

    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setWindowFilePath(edit->text());
    dialog->setOptions(QFileDialog::DontResolveSymlinks);
    if (type == QSettingsEntry::File) {
        dialog->setFileMode(QFileDialog::ExistingFile);
    } else {
        // The directory-only file mode is deprecated; Directory mode followed by ShowDirsOnly
        // leaves the dialog in the very same state, and ShowDirsOnly replaces the whole option set.
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOptions(QFileDialog::ShowDirsOnly);
    }
    connect(dialog, &QFileDialog::fileSelected, edit, &QLineEdit::setText);
    // No widget parent and no modality of its own. Under a modal settings dialog (execSettings)
    // its window is tied to the dialog's, so input reaches it as it would a child dialog's and
    // the window system keeps it above its owner. A non-modal dialog needs no tie, and on Qt 6
    // a tied chooser no longer accepts Return from its file name field.
    dialog->show();
    QWidget* owner = window();
    if (owner->isModal() && owner->windowHandle() && dialog->windowHandle())
        dialog->windowHandle()->setTransientParent(owner->windowHandle());
}
