#include "ToastAccessibility.h"

#include "QToast.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTextDocumentFragment>

namespace {

class ToastAccessible : public QAccessibleWidget
{
public:
    explicit ToastAccessible(QWidget* toast)
        : QAccessibleWidget(toast, QAccessible::AlertMessage)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        // A host's own accessible name wins; otherwise the message, without its markup, is
        // what a listener needs to hear.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            if (const auto* label = widget()->findChild<QLabel*>())
                return QTextDocumentFragment::fromHtml(label->text()).toPlainText().trimmed();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* toastFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QToast") && object && object->isWidgetType())
        return new ToastAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

namespace ryqt {

void registerToastAccessibility()
{
    static const bool registered = [] {
        QAccessible::installFactory(toastFactory);
        return true;
    }();
    Q_UNUSED(registered)
}

void announceToast(QToast* toast)
{
    if (!toast || !QAccessible::isActive())
        return;
    QAccessibleEvent event(toast, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace ryqt
