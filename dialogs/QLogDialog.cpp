#include "QLogDialog.h"

#include "LogTextWidth.h"
#include "QLogLoader.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QSyntaxHighlighter>
#include <QTextDocument>
#include <QVBoxLayout>

QLogDialog::QLogDialog(QWidget* parent)
    : QDialog(parent, Qt::WindowFlags())
    , m_textEdit(new QPlainTextEdit)
    , m_label(new QLabel)
{
    setupUi();
}

QLogDialog::~QLogDialog() = default;

void QLogDialog::setupUi()
{
    setMinimumSize(200, 600);
    setWindowTitle(QStringLiteral("Log Dialog"));

    m_label->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_textEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_textEdit->setReadOnly(true);

    auto* layout = new QVBoxLayout;
    layout->addWidget(m_label);
    layout->addWidget(m_textEdit);
    setLayout(layout);
}

void QLogDialog::showLog(const QString& path) const
{
    // The public signature is const, yet the loader must reach this dialog's slots.
    auto* self = const_cast<QLogDialog*>(this);
    QWidget* owner = parentWidget();

    auto* progress = new QProgressDialog(owner, Qt::WindowFlags());
    progress->setWindowTitle(tr("Opening File"));
    progress->setLabelText(tr("Reading log file..."));
    progress->setRange(0, 0);
    progress->setValue(0);
    progress->setCancelButton(nullptr);
    // Without a parent widget nothing would ever free it; with one it stays the parent's.
    if (!owner)
        progress->setAttribute(Qt::WA_DeleteOnClose);

    auto* loader = new QLogLoader(path, owner);
    connect(loader, &QLogLoader::readFile, self, &QLogDialog::onLogLoaded);
    connect(loader, &QLogLoader::errorReadingFile, self, &QLogDialog::onErrorReadingFile);
    connect(loader, &QThread::finished, loader, &QObject::deleteLater);
    connect(loader, &QThread::started, progress, &QWidget::show);
    connect(loader, &QThread::finished, progress, &QWidget::close);
    loader->start(QThread::InheritPriority);
}

void QLogDialog::setSyntaxHighlighter(QSyntaxHighlighter* highlighter) const
{
    if (highlighter)
        highlighter->setDocument(m_textEdit->document());
}

void QLogDialog::onLogLoaded(const QString& text, const QString& log_path)
{
    if (!isVisible())
        show();
    const int margin = geometry().width() - m_textEdit->geometry().width();

    const int textWidth = ryqt::logTextWidth(m_textEdit->document()->defaultFont(), text);
    m_textEdit->setMinimumWidth(textWidth);
    m_label->setText(QStringLiteral("Loaded File: %1").arg(log_path));
    const qint64 dialogWidth = qint64(textWidth) + margin;
    setMinimumWidth(int(qBound<qint64>(0, dialogWidth, qint64(QWIDGETSIZE_MAX))));
    updateGeometry();

    // The text goes in last: widening the dialog resizes the editor, and a resize after the
    // text is in makes the editor lay out every block of a large log again.
    m_textEdit->setPlainText(text);
}

void QLogDialog::onErrorReadingFile()
{
    QMessageBox::warning(parentWidget(), tr("Error"), tr("An error occured while reading the log file."),
                         QMessageBox::Ok, QMessageBox::NoButton);
    close();
}
