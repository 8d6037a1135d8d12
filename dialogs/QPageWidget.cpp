#include "QPageWidget.h"
#include "QPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

QPageWidget::QPageWidget(QWidget* parent)
    : QWidget(parent)
{
    setupUi();
}

QPageWidget::QPageWidget(QList<QPage*> pages, QWidget* parent)
    : QWidget(parent)
{
    for (QPage* page : qAsConst(pages)) {
        if (page && !m_pages.contains(page))
            m_pages.append(page);
    }
    setupUi();
}

QPageWidget::~QPageWidget()
{
    // The pages outlive this destructor body (QWidget deletes its children later); their
    // destroyed() must not reach a half-destroyed page widget.
    for (QPage* page : qAsConst(m_pages))
        disconnect(page, nullptr, this, nullptr);
}

void QPageWidget::setupUi()
{
    auto* buttonLayout = new QHBoxLayout;
    auto* mainLayout = new QVBoxLayout(this);

    m_stepLabel = new QLabel;
    m_groupBox = new QGroupBox;
    auto* groupLayout = new QVBoxLayout(m_groupBox);

    m_stack = new QStackedWidget;
    m_stack->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    for (QPage* page : qAsConst(m_pages)) {
        connectPage(page);
        m_stack->addWidget(page);
        m_readyFlags.append(false);
    }

    m_nextButton = new QToolButton;
    m_prevButton = new QToolButton;
    for (QToolButton* button : {m_nextButton, m_prevButton}) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(false);
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    }
    m_nextButton->setArrowType(Qt::RightArrow);
    m_prevButton->setArrowType(Qt::LeftArrow);
    // Next is left to show with the widget: showing a parentless button here would open it as
    // a window of its own and keep it hidden once the layout adopts it.
    m_nextButton->setEnabled(false);
    m_prevButton->setVisible(false);
    m_nextButton->setText(QStringLiteral("Next"));
    m_prevButton->setText(QStringLiteral("Previous"));

    buttonLayout->addWidget(m_prevButton);
    buttonLayout->addWidget(m_nextButton);

    updateStepText(1);

    groupLayout->addWidget(m_stack);
    mainLayout->addWidget(m_stepLabel);
    mainLayout->addWidget(m_groupBox);
    mainLayout->addLayout(buttonLayout);

    connect(m_nextButton, &QToolButton::clicked, this, &QPageWidget::onNextTriggered);
    connect(m_prevButton, &QToolButton::clicked, this, &QPageWidget::onPrevTriggered);
}

void QPageWidget::connectPage(QPage* page)
{
    connect(page, &QPage::readyToProceed, this, &QPageWidget::onPageReadyToProceed);
    connect(page, &QPage::resetReadyToProceed, this, &QPageWidget::onPageRequestReset);
    connect(page, &QObject::destroyed, this, &QPageWidget::onPageDestroyed);
}

void QPageWidget::updateStepText(int pageNumber)
{
    m_stepLabel->setText(QStringLiteral("Step %1 of %2")
                             .arg(pageNumber, 0, 10, QLatin1Char(' '))
                             .arg(m_pages.size(), 0, 10, QLatin1Char(' ')));
}

void QPageWidget::addPage(QPage* page)
{
    if (!page || m_pages.contains(page))
        return;
    m_pages.append(page);
    connectPage(page);
    m_stack->addWidget(page);
    m_groupBox->setTitle(m_pages.at(m_currentPage)->getTitle());
    m_readyFlags.append(false);
    updateStepText(m_currentPage + 1);
}

void QPageWidget::goToPage(int page)
{
    if (page < 0 || page >= m_pages.size())
        return;
    const int old = m_currentPage;
    const int count = m_pages.size();

    updateStepText(page + 1);
    m_stack->setCurrentIndex(page);
    m_groupBox->setTitle(m_pages.at(page)->getTitle());
    QMetaObject::invokeMethod(m_pages.at(page), "isCurrentPage", Qt::AutoConnection);

    if (page < old) {
        // Going back: the page was already passed once, so moving forward again is allowed.
        m_nextButton->setEnabled(true);
        if (page == 0)
            m_prevButton->hide();
        if (m_nextButton->isHidden())
            m_nextButton->show();
    } else if (page > old) {
        if (page < count - 1) {
            m_nextButton->show();
            m_nextButton->setEnabled(m_readyFlags.at(page));
        } else {
            m_nextButton->hide();
        }
    } else {
        m_nextButton->hide();
    }
    if (page > 0)
        m_prevButton->show();

    m_currentPage = page;
}

void QPageWidget::onNextTriggered()
{
    if (m_currentPage < m_pages.size() - 1)
        goToPage(m_currentPage + 1);
}

void QPageWidget::onPrevTriggered()
{
    if (m_currentPage >= 1)
        goToPage(m_currentPage - 1);
}

void QPageWidget::onPageReadyToProceed(QPage* page)
{
    const int index = m_pages.indexOf(page);
    if (index < 0)
        return;
    m_readyFlags[index] = true;
    if (index == m_currentPage)
        m_nextButton->setEnabled(true);
}

void QPageWidget::onPageRequestReset(QPage* page)
{
    const int index = m_pages.indexOf(page);
    if (index < 0)
        return;
    m_readyFlags[index] = false;
    if (index == m_currentPage)
        m_nextButton->setEnabled(false);
}

void QPageWidget::onPageDestroyed(QObject* object)
{
    // Only the address is compared: the page is already being torn down.
    int index = -1;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (static_cast<QObject*>(m_pages.at(i)) == object) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return;
    m_pages.removeAt(index);
    m_readyFlags.removeAt(index);

    // Follow the stack, which shows the next page in place of a removed current one, or the
    // previous one when the removed page was the last.
    if (index < m_currentPage || m_currentPage >= m_pages.size())
        m_currentPage = qMax(0, m_currentPage - 1);

    updateStepText(m_currentPage + 1);
    if (m_pages.isEmpty()) {
        m_groupBox->setTitle(QString());
        m_nextButton->show();
        m_nextButton->setEnabled(false);
        m_prevButton->hide();
        return;
    }
    const int last = m_pages.size() - 1;
    m_groupBox->setTitle(m_pages.at(m_currentPage)->getTitle());
    m_prevButton->setVisible(m_currentPage > 0);
    m_nextButton->setVisible(m_currentPage < last || last == 0);
    m_nextButton->setEnabled(m_readyFlags.at(m_currentPage));
}
