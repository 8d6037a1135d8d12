#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QWidget>

/// One step of a QPageWidget. Derive from it, implement isCurrentPage(), and emit
/// readyToProceed(this) / resetReadyToProceed(this) to allow or forbid moving on.
class RYQT_EXPORT QPage : public QWidget
{
    Q_OBJECT

public:
    /// Keeps title, shown in the page widget's frame while this page is the current one.
    explicit QPage(QString title, QWidget* parent = nullptr);
    ~QPage() override;

    /// The title given at construction.
    QString getTitle() const;

Q_SIGNALS:
    /// Emitted by the page, with itself as argument, once the user may go to the next step.
    void readyToProceed(QPage* page);
    /// Emitted by the page, with itself as argument, when the user may no longer go on.
    void resetReadyToProceed(QPage* page);

public Q_SLOTS:
    /// Called by the page widget each time it brings this page to the front.
    virtual void isCurrentPage() = 0;

private:
    QString m_title;
};
