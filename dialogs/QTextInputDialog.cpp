#include "QTextInputDialog.h"
#include "QTextInput.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QVBoxLayout>

QTextInputDialog::InputType operator|(QTextInputDialog::InputType a, QTextInputDialog::InputType b)
{
    return QTextInputDialog::InputType(int(a) | int(b));
}

QTextInputDialog::QTextInputDialog(QWidget* parent)
    : QDialog(parent)
{
    setupUi();
}

QTextInputDialog::QTextInputDialog(QStringList items, QWidget* parent)
    : QDialog(parent)
    , m_items(std::move(items))
{
    setupUi();
}

QTextInputDialog::QTextInputDialog(InputType inputTypes, QWidget* parent)
    : QDialog(parent)
    , m_inputTypes(inputTypes)
{
    setupUi();
}

QTextInputDialog::~QTextInputDialog() = default;

void QTextInputDialog::setupUi()
{
    auto* layout = new QVBoxLayout(this);

    m_label = new QLabel(this);

    m_comboBox = new QComboBox(this);
    if (!m_items.isEmpty()) {
        m_comboBox->insertItems(0, m_items);
        m_comboBox->setEditable(false);
    } else {
        m_comboBox->setEditable(true);
    }
    m_validator = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[a-zA-Z0-9\\-_]{0,30}$")), this);
    m_comboBox->setValidator(m_validator);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_statusBar = new QStatusBar(this);
    QPalette palette = m_statusBar->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(QColor(255, 0, 0, 255)));
    m_statusBar->setPalette(palette);
    m_statusBar->setStyleSheet(QStringLiteral("color: red"));
    m_statusBar->setSizeGripEnabled(false);

    layout->addWidget(m_label);
    layout->addWidget(m_comboBox);
    layout->addWidget(buttons);
    layout->addWidget(m_statusBar);
    m_statusBar->hide();

    connect(m_comboBox, &QComboBox::currentTextChanged, this,
            &QTextInputDialog::onComboBoxTextChanged);

    setInputTypes(m_inputTypes);
}

void QTextInputDialog::setInputTypes(InputType inputTypes)
{
    m_inputTypes = inputTypes;
    // A fixed choice is never restricted: the host decided what may be picked.
    if (!m_items.isEmpty())
        return;

    const bool alpha = m_inputTypes & Alphabetic;
    const bool numeric = m_inputTypes & Numeric;
    QString charClass;
    if (alpha && numeric)
        charClass = QStringLiteral("a-zA-Z0-9");
    else if (alpha)
        charClass = QStringLiteral("a-zA-Z");
    else if (numeric)
        charClass = QStringLiteral("0-9");
    if (m_inputTypes & WhiteSpace)
        charClass += QStringLiteral("\\s");

    const QString pattern = QStringLiteral("^[%1\\-_]{0,30}$").arg(charClass, 0, QLatin1Char(' '));
    m_validator->setRegularExpression(QRegularExpression(pattern));
}

QTextInputDialog::InputType QTextInputDialog::inputTypes() const
{
    return m_inputTypes;
}

void QTextInputDialog::setLabelText(const QString& text) const
{
    m_label->setText(text);
}

void QTextInputDialog::setMatchErrorMessage(const QString& message)
{
    m_matchErrorMessage = message;
}

void QTextInputDialog::setInputTextComparisons(QStringList comparisons)
{
    m_comparisons = std::move(comparisons);
}

QString QTextInputDialog::getInputText() const
{
    return m_comboBox->currentText();
}

void QTextInputDialog::showError(const QString& message)
{
    if (m_statusBar->isHidden())
        m_statusBar->show();
    m_statusBar->showMessage(message);
    // The refusal appears away from the focus, which stays in the field: announce it, so a
    // screen-reader user learns why OK did nothing.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(m_statusBar, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}

void QTextInputDialog::done(int result)
{
    m_statusBar->clearMessage();
    if (result != QDialog::Accepted) {
        QDialog::done(result);
        return;
    }

    const QString text = getInputText();
    if (text.isEmpty()) {
        showError(QStringLiteral("Input cannot be empty."));
        return;
    }
    for (const QString& taken : qAsConst(m_comparisons)) {
        if (QString::compare(taken, text, Qt::CaseInsensitive) == 0) {
            showError(m_matchErrorMessage);
            return;
        }
    }
    QDialog::done(QDialog::Accepted);
}

void QTextInputDialog::onComboBoxTextChanged(QString text)
{
    Q_UNUSED(text)
    if (!m_statusBar->isHidden()) {
        m_statusBar->clearMessage();
        m_statusBar->hide();
    }
}

namespace {

// The dialog lives on the heap behind a QPointer rather than on the stack: if the host
// destroys the parent while the nested event loop runs, the parent takes the dialog with it,
// and a stack object would then be destroyed twice.
QString runDialog(QTextInputDialog* dialog, bool* ok)
{
    QPointer<QTextInputDialog> guard(dialog);
    const int result = dialog->exec();
    if (!guard) {
        if (ok)
            *ok = false;
        return QString();
    }
    const QString text = guard->getInputText();
    if (ok)
        *ok = result == QDialog::Accepted && !text.isEmpty();
    delete guard.data();
    return text;
}

} // namespace

QString QTextInput::getText(QWidget* parent, const QString& title, const QString& label,
                            QTextInputDialog::InputType inputTypes, bool* ok,
                            QStringList comparisons, const QString& matchErrorMessage)
{
    auto* dialog = new QTextInputDialog(inputTypes, parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setInputTextComparisons(std::move(comparisons));
    dialog->setMatchErrorMessage(matchErrorMessage);
    return runDialog(dialog, ok);
}

QString QTextInput::getItem(QWidget* parent, const QStringList& items, const QString& title,
                            const QString& label, bool* ok,
                            QTextInputDialog::InputType inputTypes)
{
    auto* dialog = new QTextInputDialog(items, parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setInputTypes(inputTypes);
    return runDialog(dialog, ok);
}
