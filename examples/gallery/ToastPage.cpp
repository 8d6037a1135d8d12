#include "ToastPage.h"

#include <QToast.h>
#include <QToastListener.h>
#include <QToaster.h>

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ToastPage::ToastPage(QWidget* parent)
    : QWidget(parent), m_stage(new QFrame), m_clicks(new QLabel(tr("No toast clicked yet.")))
{
    m_stage->setFrameShape(QFrame::StyledPanel);
    m_stage->setMinimumSize(420, 260);
    // Scoped by name: a bare "QFrame" rule would reach the toasts' labels too (QLabel is a QFrame).
    m_stage->setObjectName(QStringLiteral("toastStage"));
    m_stage->setStyleSheet(QStringLiteral("#toastStage { background: #f4f1f6; }"));
    auto* stageText = new QLabel(tr("Toasts appear over this area."), m_stage);
    stageText->setAlignment(Qt::AlignCenter);
    auto* stageLayout = new QVBoxLayout(m_stage);
    stageLayout->addWidget(stageText);

    // The toaster stacks its toasts from the stage's top-right corner downwards.
    m_toaster = new QToaster(m_stage, TopRight);

    auto* intro = new QLabel(tr("<b>Toasts.</b> Frameless popups that fade in over their parent, "
                                "close by themselves or on a click, and stack through a toaster."));
    intro->setWordWrap(true);

    auto* left = new QPushButton(tr("Toast, top left"));
    auto* right = new QPushButton(tr("Toast, top right"));
    auto* callback = new QPushButton(tr("Toast with click callback"));
    auto* burstButton = new QPushButton(tr("Toaster burst"));
    connect(left, &QPushButton::clicked, this, [this] { showSingle(TopLeft); });
    connect(right, &QPushButton::clicked, this, [this] { showSingle(TopRight); });
    connect(callback, &QPushButton::clicked, this, &ToastPage::showWithCallback);
    connect(burstButton, &QPushButton::clicked, this, [this] { burst(); });

    auto* buttons = new QGridLayout;
    buttons->addWidget(left, 0, 0);
    buttons->addWidget(right, 0, 1);
    buttons->addWidget(callback, 1, 0);
    buttons->addWidget(burstButton, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(buttons);
    layout->addWidget(m_clicks);
    layout->addWidget(m_stage, 1);
}

void ToastPage::showSingle(int gravity)
{
    const QString corner = gravity == TopLeft ? tr("top left") : tr("top right");
    auto* toast = new QToast(m_stage, tr("Saved <b>report.pdf</b><br>(%1, closes in 3 s)").arg(corner),
                             3000, QToastGravity(gravity));
    toast->autoClose(true);
    toast->show();
}

void ToastPage::showWithCallback()
{
    auto* toast = new QToast(m_stage, tr("Click me to acknowledge"), 3000, TopLeft);
    // The toast owns the listener once it is set.
    toast->setOnClickListener(new QToastListener([this](QToastEvent& event) {
                                  ++m_clickCount;
                                  m_clicks->setText(tr("Toast clicked %n time(s); its parent is %1.", "",
                                                       m_clickCount)
                                                        .arg(event.parent ? QString::fromLatin1(event.parent->metaObject()->className())
                                                                          : QStringLiteral("none")));
                              }),
                              true);
    toast->show();
}

void ToastPage::closeAll()
{
    const auto toasts = m_stage->findChildren<QToast*>(QString(), Qt::FindDirectChildrenOnly);
    for (QToast* toast : toasts)
        toast->close();
}

void ToastPage::burst(int count)
{
    for (int i = 0; i < count; ++i)
        m_toaster->notify(tr("Notification %1 of the burst").arg(++m_burstCount));
}
