#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QWidget>

/// One step of a QPageWidget. Derive from it, implement isCurrentPage(), and emit
/// readyToProceed(this) / resetReadyToProceed(this) to allow or forbid moving on. A page starts
/// not ready, and its state survives moving away and back. Once added, the page is owned by its
/// QPageWidget. GUI thread only.
class RYQT_EXPORT QPage : public QWidget
{
    Q_OBJECT

public:
    /// Keeps \a title, shown in the page widget's frame while this page is the current one;
    /// \a parent is replaced when the page is added to a QPageWidget.
    explicit QPage(QString title, QWidget* parent = nullptr);
    /// A page destroyed by the host leaves its page widget's sequence.
    ~QPage() override;

    /// The title given at construction.
    QString getTitle() const;

Q_SIGNALS:
    /// Emitted by the page, with itself as \a page, once the user may go to the next step; the
    /// page widget enables Next if the page is shown. The library never emits it.
    void readyToProceed(QPage* page);
    /// Emitted by the page, with itself as \a page, when the user may no longer go on; the page
    /// widget disables Next if the page is shown. The library never emits it.
    void resetReadyToProceed(QPage* page);

public Q_SLOTS:
    /// Called by the page widget each time it changes to this page (Next or Previous), through
    /// the meta-object system. Not called for the first page when the widget is built.
    virtual void isCurrentPage() = 0;

private:
    QString m_title;
};
