#include <QPage.h>
#include <QPageWidget.h>

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

namespace {

class TestPage : public QPage
{
    Q_OBJECT
public:
    using QPage::QPage;
    void ready() { emit readyToProceed(this); }
    void reset() { emit resetReadyToProceed(this); }
    int shownCount = 0;
public slots:
    void isCurrentPage() override { ++shownCount; }
};

// Drives a page widget only through what a user and its pages can reach.
struct Harness
{
    explicit Harness(int count)
    {
        QList<QPage*> list;
        for (int i = 0; i < count; ++i) {
            pages << new TestPage(QStringLiteral("Page %1").arg(i));
            list << pages.last();
        }
        widget.reset(new QPageWidget(list));
        for (QToolButton* button : widget->findChildren<QToolButton*>())
            (button->text() == QLatin1String("Next") ? next : prev) = button;
        stack = widget->findChild<QStackedWidget*>();
        label = widget->findChild<QLabel*>();
        box = widget->findChild<QGroupBox*>();
        widget->show();
    }
    int shown() const { return stack->currentIndex(); }
    void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    bool goTo(int page) { return QMetaObject::invokeMethod(widget.data(), "goToPage", Q_ARG(int, page)); }

    QScopedPointer<QPageWidget> widget;
    QList<TestPage*> pages;
    QToolButton* next = nullptr;
    QToolButton* prev = nullptr;
    QStackedWidget* stack = nullptr;
    QLabel* label = nullptr;
    QGroupBox* box = nullptr;
};

} // namespace

class TestPageWidget : public QObject
{
    Q_OBJECT

private slots:
    void construction()
    {
        Harness h(3);
        QVERIFY(h.next && h.prev && h.stack && h.label && h.box);
        QCOMPARE(h.label->text(), QStringLiteral("Step 1 of 3"));
        QCOMPARE(h.box->title(), QString());
        QCOMPARE(h.shown(), 0);
        QCOMPARE(h.pages[0]->shownCount, 0);
        QCOMPARE(h.prev->text(), QStringLiteral("Previous"));
        QCOMPARE(h.next->arrowType(), Qt::RightArrow);
        QCOMPARE(h.prev->arrowType(), Qt::LeftArrow);
        QVERIFY(h.next->isVisible());
        QVERIFY(!h.next->isEnabled());
        QVERIFY(!h.prev->isVisible());
        QCOMPARE(h.pages[2]->parentWidget(), h.stack);
    }

    // A full walk forward and back; each row is one action and the state it leaves.
    void walk()
    {
        struct Step {
            const char* action;
            int page;
            bool prevVisible, nextVisible, nextEnabled;
        };
        const Step steps[] = {
            {"next", 0, false, true, false},  // not ready yet: the click does nothing
            {"ready 0", 0, false, true, true},
            {"ready 2", 0, false, true, true}, // a hidden page's flag is only stored
            {"next", 1, true, true, false},
            {"ready 1", 1, true, true, true},
            {"reset 1", 1, true, true, false},
            {"ready 1", 1, true, true, true},
            {"next", 2, true, false, false},  // last page: Next goes away
            {"reset 1", 2, true, false, false},
            {"prev", 1, true, true, true},    // going back always allows forward again
            {"next", 2, true, false, true},
            {"prev", 1, true, true, true},
            {"prev", 0, false, true, true},
            {"prev", 0, false, true, true},   // hidden button: nothing happens
            {"next", 1, true, true, false},   // the reset flag survived the walk
            {"ready 1", 1, true, true, true},
            {"next", 2, true, false, true},
        };
        Harness h(3);
        int shownBefore = 0;
        for (const Step& step : steps) {
            const QByteArray action(step.action);
            const int before = h.shown();
            if (action == "next")
                h.click(h.next);
            else if (action == "prev")
                h.click(h.prev);
            else if (action.startsWith("ready"))
                h.pages[action.right(1).toInt()]->ready();
            else
                h.pages[action.right(1).toInt()]->reset();

            const QByteArray where = action + " -> page " + QByteArray::number(step.page);
            QVERIFY2(h.shown() == step.page, where);
            QVERIFY2(h.prev->isVisible() == step.prevVisible, where);
            QVERIFY2(h.next->isVisible() == step.nextVisible, where);
            if (step.nextVisible)
                QVERIFY2(h.next->isEnabled() == step.nextEnabled, where);
            QVERIFY2(h.label->text() == QStringLiteral("Step %1 of 3").arg(step.page + 1), where);
            if (before != step.page) {
                QVERIFY2(h.box->title() == QStringLiteral("Page %1").arg(step.page), where);
                ++shownBefore;
            }
        }
        int invoked = 0;
        for (TestPage* page : qAsConst(h.pages))
            invoked += page->shownCount;
        QCOMPARE(invoked, shownBefore);
    }

    void singlePage()
    {
        Harness h(1);
        h.pages[0]->ready();
        QVERIFY(h.next->isVisible());
        QVERIFY(h.next->isEnabled());
        h.click(h.next);
        QCOMPARE(h.shown(), 0);
        QCOMPARE(h.pages[0]->shownCount, 0);
        QVERIFY(!h.prev->isVisible());
        QCOMPARE(h.label->text(), QStringLiteral("Step 1 of 1"));
    }

    void addPageMidWalk()
    {
        Harness h(3);
        h.pages[0]->ready();
        h.click(h.next);
        h.pages[1]->ready();
        QVERIFY(h.next->isEnabled());

        auto* extra = new TestPage(QStringLiteral("Extra"));
        h.widget->addPage(extra);
        h.widget->addPage(extra);   // already there: ignored
        h.widget->addPage(nullptr); // ignored
        QCOMPARE(h.label->text(), QStringLiteral("Step 2 of 4"));
        QCOMPARE(h.box->title(), QStringLiteral("Page 1"));
        QCOMPARE(h.shown(), 1);
        QCOMPARE(extra->parentWidget(), h.stack);
        QVERIFY(h.next->isVisible() && h.next->isEnabled());

        h.click(h.next);
        QCOMPARE(h.shown(), 2); // the old last page is now a middle one
        QVERIFY(h.next->isVisible());
        h.pages[2]->ready();
        h.click(h.next);
        QCOMPARE(h.stack->currentWidget(), extra);
        QCOMPARE(h.box->title(), QStringLiteral("Extra"));
        QCOMPARE(extra->shownCount, 1);
        QVERIFY(!h.next->isVisible());
    }

    void addPageToEmptyWidget()
    {
        QPageWidget widget;
        auto* label = widget.findChild<QLabel*>();
        QCOMPARE(label->text(), QStringLiteral("Step 1 of 0"));
        QVERIFY(QMetaObject::invokeMethod(&widget, "goToPage", Q_ARG(int, 0))); // no pages: no-op
        auto* page = new TestPage(QStringLiteral("Only"));
        widget.addPage(page);
        QCOMPARE(label->text(), QStringLiteral("Step 1 of 1"));
        QCOMPARE(widget.findChild<QGroupBox*>()->title(), QStringLiteral("Only"));
        QCOMPARE(page->shownCount, 0);
    }

    void goToPageOutsideRangeIsIgnored_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("count") << 3;
        QTest::newRow("far") << 1000;
    }
    void goToPageOutsideRangeIsIgnored()
    {
        QFETCH(int, index);
        Harness h(3);
        h.pages[0]->ready();
        h.click(h.next);
        QVERIFY(h.goTo(index));
        QCOMPARE(h.shown(), 1);
        QCOMPARE(h.label->text(), QStringLiteral("Step 2 of 3"));
        QVERIFY(h.prev->isVisible() && h.next->isVisible());
        QCOMPARE(h.pages[1]->shownCount, 1);
    }

    void goToShownPageHidesNext()
    {
        Harness h(3);
        h.pages[0]->ready();
        QVERIFY(h.goTo(0));
        QCOMPARE(h.pages[0]->shownCount, 1);
        QVERIFY(!h.next->isVisible());
        QCOMPARE(h.box->title(), QStringLiteral("Page 0"));
    }

    void foreignPageIsIgnored()
    {
        Harness h(2);
        TestPage stranger(QStringLiteral("Stranger"));
        QVERIFY(QMetaObject::invokeMethod(h.widget.data(), "onPageReadyToProceed",
                                          Q_ARG(QPage*, &stranger)));
        QVERIFY(!h.next->isEnabled());
        h.pages[0]->ready();
        QVERIFY(QMetaObject::invokeMethod(h.widget.data(), "onPageRequestReset",
                                          Q_ARG(QPage*, &stranger)));
        QVERIFY(QMetaObject::invokeMethod(h.widget.data(), "onPageRequestReset",
                                          Q_ARG(QPage*, nullptr)));
        QVERIFY(h.next->isEnabled());
    }

    // A page deleted by the host leaves the sequence instead of dangling in it.
    void destroyedPageLeavesTheSequence()
    {
        Harness h(3);
        h.pages[0]->ready();
        h.click(h.next);
        h.pages[2]->ready();
        delete h.pages.takeAt(1);
        QCOMPARE(h.label->text(), QStringLiteral("Step 2 of 2"));
        QCOMPARE(h.stack->currentWidget(), h.pages[1]);
        QCOMPARE(h.box->title(), QStringLiteral("Page 2"));
        h.click(h.prev);
        QCOMPARE(h.stack->currentWidget(), h.pages[0]);
        QCOMPARE(h.label->text(), QStringLiteral("Step 1 of 2"));
        h.click(h.next);
        QCOMPARE(h.stack->currentWidget(), h.pages[1]);
        QVERIFY(!h.next->isVisible());
    }
};

QTEST_MAIN(TestPageWidget)
#include "tst_pagewidget.moc"
