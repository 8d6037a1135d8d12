#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QToaster;

/// Single toasts with both gravities and a click callback, and a toaster burst, all over a
/// stage frame on the page.
class ToastPage : public QWidget
{
    Q_OBJECT
public:
    explicit ToastPage(QWidget* parent = nullptr);

    /// Shows a single toast at the given corner (0 top-left, 1 top-right).
    void showSingle(int gravity);
    /// Shows a toast whose body click calls back into the page and closes it.
    void showWithCallback();
    /// Notifies a burst of toasts to the stacking toaster.
    void burst(int count = 4);
    /// Fades out every toast still shown over the stage.
    void closeAll();

private:
    QFrame* m_stage;
    QLabel* m_clicks;
    QToaster* m_toaster;
    int m_clickCount = 0;
    int m_burstCount = 0;
};
