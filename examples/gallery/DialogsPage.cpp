#include "DialogsPage.h"

#include <QLogDialog.h>
#include <QPage.h>
#include <QPageWidget.h>
#include <QTextInput.h>
#include <QTextInputDialog.h>

#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

// Three steps of a small "new project" wizard. Each page says when the user may go on.
class TermsPage : public QPage
{
    Q_OBJECT
public:
    TermsPage() : QPage(QStringLiteral("Licence"), nullptr)
    {
        auto* text = new QLabel(QStringLiteral("The sample data may be used for testing only."));
        auto* agree = new QCheckBox(QStringLiteral("I agree"));
        connect(agree, &QCheckBox::toggled, this, [this](bool on) {
            if (on)
                emit readyToProceed(this);
            else
                emit resetReadyToProceed(this);
        });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(text);
        layout->addWidget(agree);
        layout->addStretch(1);
    }
public slots:
    void isCurrentPage() override {}
};

class NamePage : public QPage
{
    Q_OBJECT
public:
    explicit NamePage(QString* name) : QPage(QStringLiteral("Project name"), nullptr), m_name(name)
    {
        auto* edit = new QLineEdit;
        edit->setPlaceholderText(QStringLiteral("at least one character"));
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            *m_name = text;
            if (text.isEmpty())
                emit resetReadyToProceed(this);
            else
                emit readyToProceed(this);
        });
        auto* layout = new QFormLayout(this);
        layout->addRow(QStringLiteral("Name:"), edit);
    }
public slots:
    void isCurrentPage() override {}
private:
    QString* m_name;
};

class SummaryPage : public QPage
{
    Q_OBJECT
public:
    explicit SummaryPage(const QString* name)
        : QPage(QStringLiteral("Summary"), nullptr), m_name(name), m_label(new QLabel)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_label);
        layout->addStretch(1);
    }
public slots:
    // Called each time the page is brought to the front: the name may have changed.
    void isCurrentPage() override
    {
        m_label->setText(QStringLiteral("The project “%1” is ready to be created.").arg(*m_name));
    }
private:
    const QString* m_name;
    QLabel* m_label;
};

class Wizard : public QDialog
{
public:
    explicit Wizard(QWidget* parent) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("New project"));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* pages = new QPageWidget({new TermsPage, new NamePage(&m_name), new SummaryPage(&m_name)}, this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(pages);
        resize(420, 280);
    }
private:
    QString m_name;
};

// Colours the levels of the generated log, as a host attaches its own highlighter.
class LogHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;
protected:
    void highlightBlock(const QString& text) override
    {
        static const QRegularExpression level(QStringLiteral("\\b(ERROR|WARN|INFO|DEBUG)\\b"));
        const QRegularExpressionMatch m = level.match(text);
        if (!m.hasMatch())
            return;
        QTextCharFormat format;
        const QString l = m.captured(1);
        format.setForeground(l == QLatin1String("ERROR")  ? QColor(200, 30, 30)
                             : l == QLatin1String("WARN") ? QColor(200, 120, 0)
                             : l == QLatin1String("INFO") ? QColor(30, 110, 200)
                                                          : QColor(120, 120, 120));
        if (l == QLatin1String("ERROR"))
            format.setFontWeight(QFont::Bold);
        setFormat(m.capturedStart(1), m.capturedLength(1), format);
    }
};

} // namespace

DialogsPage::DialogsPage(const QString& workDir, QWidget* parent)
    : QWidget(parent), m_workDir(workDir), m_result(new QLabel), m_takenLabel(new QLabel)
{
    auto* intro = new QLabel(tr("<b>Dialogs and wizards.</b> A validated text input (letters, digits, "
                                "'-' and '_', at most 30 characters; taken names refused), a pick from "
                                "a list, a three-step paged widget, and the log viewer."));
    intro->setWordWrap(true);
    auto* name = new QPushButton(tr("New layer name…"));
    auto* item = new QPushButton(tr("Pick a colour map…"));
    auto* wizard = new QPushButton(tr("New project wizard…"));
    auto* log = new QPushButton(tr("Open the sample log…"));
    connect(name, &QPushButton::clicked, this, &DialogsPage::askForName);
    connect(item, &QPushButton::clicked, this, &DialogsPage::pickItem);
    connect(wizard, &QPushButton::clicked, this, &DialogsPage::openWizard);
    connect(log, &QPushButton::clicked, this, &DialogsPage::openLog);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    for (QPushButton* b : {name, item, wizard, log})
        layout->addWidget(b, 0, Qt::AlignLeft);
    layout->addWidget(m_takenLabel);
    layout->addWidget(m_result);
    layout->addStretch(1);
    m_takenLabel->setText(tr("Taken layer names: %1").arg(m_taken.join(QStringLiteral(", "))));
}

QTextInputDialog* DialogsPage::makeNameDialog(QWidget* parent)
{
    auto* dialog = new QTextInputDialog(QTextInputDialog::Alphabetic | QTextInputDialog::Numeric, parent);
    dialog->setWindowTitle(tr("New layer"));
    dialog->setLabelText(tr("Layer name:"));
    dialog->setInputTextComparisons(m_taken);
    dialog->setMatchErrorMessage(tr("That name is already taken."));
    return dialog;
}

void DialogsPage::askForName()
{
    bool ok = false;
    const QString text = QTextInput::getText(this, tr("New layer"), tr("Layer name:"),
                                             QTextInputDialog::Alphabetic | QTextInputDialog::Numeric, &ok,
                                             m_taken, tr("That name is already taken."));
    if (!ok) {
        m_result->setText(tr("Cancelled."));
        return;
    }
    m_taken << text;
    m_takenLabel->setText(tr("Taken layer names: %1").arg(m_taken.join(QStringLiteral(", "))));
    m_result->setText(tr("Created the layer “%1”.").arg(text));
}

void DialogsPage::pickItem()
{
    bool ok = false;
    const QString text = QTextInput::getItem(this, {tr("Grey"), tr("Hot iron"), tr("Rainbow"), tr("Bone")},
                                             tr("Colour map"), tr("Colour map of the viewer:"), &ok,
                                             QTextInputDialog::Alphabetic);
    m_result->setText(ok ? tr("Colour map: %1").arg(text) : tr("Cancelled."));
}

QDialog* DialogsPage::openWizard()
{
    auto* wizard = new Wizard(this);
    wizard->show();
    return wizard;
}

QString DialogsPage::writeSampleLog() const
{
    const QString path = QDir(m_workDir).filePath(QStringLiteral("gallery-sample.log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return path;
    QTextStream out(&file);
    const char* levels[] = {"INFO", "DEBUG", "INFO", "WARN", "INFO", "ERROR"};
    const char* messages[] = {"loaded series 1.2.840.113619 (240 slices)", "cache hit ratio 0.93",
                              "window/level preset applied", "slow disk: read took 412 ms",
                              "user opened settings", "could not reach the archive: connection refused"};
    QDateTime t(QDate(2026, 12, 5), QTime(9, 0));
    for (int i = 0; i < 600; ++i) {
        out << t.addMSecs(i * 1375).toString(Qt::ISODateWithMs) << "  " << levels[i % 6] << "  "
            << messages[(i * 7) % 6] << '\n';
        if (i == 300)
            out << t.addMSecs(i * 1375).toString(Qt::ISODateWithMs)
                << "  DEBUG  request headers: Accept=application/dicom; Accept-Encoding=gzip, deflate; "
                   "User-Agent=ryQt-gallery/1.0 (a long line that sets the width of the viewer)\n";
    }
    return path;
}

QLogDialog* DialogsPage::openLog()
{
    auto* dialog = new QLogDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The highlighter belongs to the dialog so that both go together.
    dialog->setSyntaxHighlighter(new LogHighlighter(dialog));
    dialog->showLog(writeSampleLog());
    return dialog;
}

#include "DialogsPage.moc"
