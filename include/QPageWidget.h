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
class RYQT_EXPORT QPageWidget : public QWidget
{
    Q_OBJECT

public:
    /// An empty page widget; add steps with addPage().
    explicit QPageWidget(QWidget* parent = nullptr);
    /// Starts with pages in order, page 0 shown; the widget takes ownership of them.
    /// Null entries are skipped.
    explicit QPageWidget(QList<QPage*> pages, QWidget* parent = nullptr);
    ~QPageWidget() override;

    /// Appends page as the last step and takes ownership of it; the buttons keep their state.
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
