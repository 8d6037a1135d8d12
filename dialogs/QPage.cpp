#include "QPage.h"

QPage::QPage(QString title, QWidget* parent)
    : QWidget(parent)
    , m_title(std::move(title))
{
}

QPage::~QPage() = default;

QString QPage::getTitle() const
{
    return m_title;
}
