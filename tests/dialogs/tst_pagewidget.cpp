#include <QPage.h>
#include <QPageWidget.h>

#include <QtTest>
#include <QtWidgets>

struct Page : QPage { using QPage::QPage; void isCurrentPage() override {} };

class TestPageWidget : public QObject
{
    Q_OBJECT

private slots:
    // One walk forward and back. Each row is an action and the state it leaves: label, [group box
    // title], index shown, and the visible buttons ("next-": visible but disabled).
    void walk()
    {
        const std::pair<const char*, const char*> steps[] = {
            {"start", "Step 1 of 3 [] 0 next-"},
            {"next", "Step 1 of 3 [] 0 next-"},   // not ready yet: the click does nothing
            {"ready x", "Step 1 of 3 [] 0 next-"}, // a page of no widget is ignored
            {"ready 0", "Step 1 of 3 [] 0 next"},
            {"reset x", "Step 1 of 3 [] 0 next"},
            {"ready 2", "Step 1 of 3 [] 0 next"},  // a hidden page's flag is only stored
            {"next", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"goto -1", "Step 2 of 3 [Page 1] 1 prev next-"},  // outside the range: nothing happens
            {"goto 3", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"ready 1", "Step 2 of 3 [Page 1] 1 prev next"},
            {"reset 1", "Step 2 of 3 [Page 1] 1 prev next-"},
            {"ready 1", "Step 2 of 3 [Page 1] 1 prev next"},
            {"next", "Step 3 of 3 [Page 2] 2 prev"},   // last page: Next goes away
            {"reset 1", "Step 3 of 3 [Page 2] 2 prev"}, // from a hidden page
            {"prev", "Step 2 of 3 [Page 1] 1 prev next"},     // going back always allows forward again
            {"prev", "Step 1 of 3 [Page 0] 0 next"},
            {"prev", "Step 1 of 3 [Page 0] 0 next"},    // hidden button: nothing happens
            {"next", "Step 2 of 3 [Page 1] 1 prev next-"},    // the reset flag survived the walk
            {"add", "Step 2 of 4 [Page 1] 1 prev next-"},     // buttons untouched, title set
            {"ready 1", "Step 2 of 4 [Page 1] 1 prev next"},
            {"next", "Step 3 of 4 [Page 2] 2 prev next"},     // the old last page is a middle one, and ready
            {"next", "Step 4 of 4 [Page 3] 3 prev"},
            {"prev", "Step 3 of 4 [Page 2] 2 prev next"},
            {"goto 2", "Step 3 of 4 [Page 2] 2 prev"}, // the page already shown: Next hidden
        };
        QList<QPage*> pages;
        for (int i = 0; i < 3; ++i)
            pages << new Page(QStringLiteral("Page %1").arg(i));
        QPageWidget widget(pages);
        Page stranger(QStringLiteral("Stranger"));
        QToolButton *next = nullptr, *prev = nullptr;
        for (QToolButton* b : widget.findChildren<QToolButton*>())
            (b->text() == "Next" ? next : prev) = b;
        widget.show();
        for (const auto& [step, expected] : steps) {
            const QByteArray action(step), arg = action.mid(6);
            QPage* page = arg == "x" ? &stranger : pages.value(arg.toInt());
            if (action == "next" || action == "prev")
                QTest::mouseClick(action == "next" ? next : prev, Qt::LeftButton);
            else if (action == "add")
                widget.addPage((pages << new Page(QStringLiteral("Page 3"))).last());
            else if (action.startsWith("goto"))
                QMetaObject::invokeMethod(&widget, "goToPage", Q_ARG(int, action.mid(5).toInt()));
            else if (page == &stranger) // reachable only through the meta-object system
                QMetaObject::invokeMethod(&widget, action.startsWith("ready") ? "onPageReadyToProceed" : "onPageRequestReset", Q_ARG(QPage*, page));
            else if (action != "start")
                action.startsWith("ready") ? page->readyToProceed(page) : page->resetReadyToProceed(page);
            const QString state = QStringLiteral("%1 [%2] %3 %4").arg(widget.findChild<QLabel*>()->text(), widget.findChild<QGroupBox*>()->title())
                    .arg(widget.findChild<QStackedWidget*>()->currentIndex()).arg(QStringList{prev->isVisible() ? "prev" : "",
                    next->isVisible() ? (next->isEnabled() ? "next" : "next-") : ""}.join(' ').trimmed());
            QVERIFY2(state == expected, qPrintable(action + " left " + state));
        }
    }
};

QTEST_MAIN(TestPageWidget)
#include "tst_pagewidget.moc"
