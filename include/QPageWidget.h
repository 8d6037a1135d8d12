#pragma once

#include "ryqt_export.h"

#include <QList>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPage;
class QStackedWidget;
class QToolButton;

/// Shows a sequence of QPage steps one at a time, framed by the current page's title, with a
/// "Step n of m" label above and Previous / Next buttons below. Next is enabled only once the
/// shown page has signalled readyToProceed; it is hidden on the last page, Previous on the first.
/// Going back enables Next whatever the page's state. There is no finish or cancel action and
/// no signal of its own: the host watches its pages. GUI thread only.
class RYQT_EXPORT QPageWidget : public QWidget
{
    Q_OBJECT

public:
    /// An empty page widget as a child of \a parent; add steps with addPage(), which titles the
    /// frame with the first page's title.
    explicit QPageWidget(QWidget* parent = nullptr);
    /// Starts with \a pages in order, page 0 shown, as a child of \a parent; the widget takes
    /// ownership of them. Null entries and repeats are skipped. The frame has no title and the
    /// first page's isCurrentPage() is not called until the widget changes pages.
    explicit QPageWidget(QList<QPage*> pages, QWidget* parent = nullptr);
    ~QPageWidget() override;

    /// Appends \a page as the last step and takes ownership of it; the frame takes the title of
    /// the page shown; the buttons keep their state.
    /// A null page or one already in this widget is ignored. A page destroyed by the host
    /// leaves the sequence.
    void addPage(QPage* page);

private Q_SLOTS:
    // Reached from the buttons and the pages' signals, or through the meta-object system.
    // An index outside the sequence is ignored, and so is a page that is not in this widget.
    void goToPage(int page);
    void onNextTriggered();
    void onPrevTriggered();
    void onPageReadyToProceed(QPage* page);
    void onPageRequestReset(QPage* page);

private:
    void setupUi();
    void connectPage(QPage* page);
    void onPageDestroyed(QObject* object);
    void updateStepText(int pageNumber);

    QStackedWidget* m_stack = nullptr;
    QToolButton* m_nextButton = nullptr;
    QToolButton* m_prevButton = nullptr;
    QGroupBox* m_groupBox = nullptr;
    QLabel* m_stepLabel = nullptr;
    QList<QPage*> m_pages;
    QList<bool> m_readyFlags;
    int m_currentPage = 0;
};
