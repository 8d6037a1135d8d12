// Runs the README's snippets as written (generated into readme_snippets.h) inside a host window,
// and checks that each pattern the README recommends does what it says.
#include "readme_snippets.h"

#include "testing.h"

static void sendWheel(QWidget* target, int delta)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, QPointF(target->mapToGlobal(pos.toPoint())), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

static void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

class tst_Readme : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QDir::setCurrent(m_dir.path()); // viewer.ini and logs/ go here
    }

    // A dialog per opening shows what is stored now, and frees itself however it is closed.
    void settingsDialogPerOpening_data()
    {
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("stored");
        QTest::newRow("Ok") << "Ok" << 9090;
        QTest::newRow("Cancel") << "Cancel" << 8080;
        QTest::newRow("Escape") << "Escape" << 8080;
    }
    void settingsDialogPerOpening()
    {
        QFETCH(QString, close);
        QFETCH(int, stored);
        Viewer viewer;
        viewer.m_store.setValue("network/port", 8080);
        for (int round = 0; round < 2; ++round) {
            viewer.openSettings();
            QPointer<QSettingsDialog> dialog = viewer.findChild<QSettingsDialog*>();
            QVERIFY(dialog && dialog->isVisible() && dialog->isWindow());
            auto* port = dialog->findChild<QSpinBox*>();
            QCOMPARE(port->value(), viewer.m_store.value("network/port").toInt());
            port->setValue(9090);
            if (close == "Escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                button(dialog, close)->click();
            QTRY_VERIFY(dialog.isNull());
            QCOMPARE(viewer.m_store.value("network/port").toInt(), stored);
            QCOMPARE(viewer.reloads, close == "Ok" ? round + 1 : 0);
            viewer.m_store.setValue("network/port", 8080); // changed behind the dialog's back
        }
    }

    // execSettings: only saved() tells Ok from Cancel; the dialog is gone when it returns.
    void askSettingsTellsOkFromCancel_data()
    {
        QTest::addColumn<QString>("close");
        QTest::newRow("Ok") << "Ok";
        QTest::newRow("Cancel") << "Cancel";
    }
    void askSettingsTellsOkFromCancel()
    {
        QFETCH(QString, close);
        Viewer viewer;
        viewer.show();
        int finishedWith = -1;
        QTimer::singleShot(0, &viewer, [&] {
            auto* dialog = viewer.findChild<QSettingsDialog*>();
            connect(dialog, &QDialog::finished, [&finishedWith](int r) { finishedWith = r; });
            button(dialog, close)->click();
        });
        viewer.askSettings();
        QCOMPARE(finishedWith, int(QDialog::Rejected)); // the same for both buttons
        QCOMPARE(viewer.reloads, close == "Ok" ? 1 : 0);
        QVERIFY(!viewer.findChild<QSettingsDialog*>());
    }

    // The scene always shows a fresh rendering of the original, fitted to the view, after
    // resizes and after window/level drags.
    void imagingKeepsAFittedRendering()
    {
        Viewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.imaging();
        auto* view = viewer.findChild<QZoomableGraphicsView*>();
        auto* scene = viewer.findChild<QWindowLevelGraphicsScene*>();
        const qreal ratio = view->devicePixelRatioF();
        auto expected = [&] {
            const QSize area = view->viewport()->size();
            const int side = qRound(qMin(area.width(), area.height()) * ratio);
            QImage image = renderEightBit(viewer.m_volume, scene->currentWindow(), scene->currentLevel())
                               .scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio); // device pixels: sharp at any scale
            return image;
        };
        for (const QSize size : {QSize(400, 300), QSize(90, 60), QSize(500, 420)}) {
            view->resize(size);
            QCOMPARE(scene->getImage(), expected());
            QCOMPARE(scene->sceneRect(), QRectF(QPointF(0, 0), QSizeF(expected().size()) / ratio));
        }
        QVERIFY(scene->getImage().width() > 400); // grown back sharp, not a blown-up thumbnail

        QWidget* viewport = view->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(130, 100), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(200, 100), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, QPoint(200, 100), Qt::NoButton);
        QVERIFY(scene->currentWindow() > 400);
        QCOMPARE(scene->getImage(), expected());

        QTest::mouseMove(viewport, QPoint(20, 30));
        // Within a pixel: at fractional scales the event's position is rounded.
        QTRY_VERIFY((viewer.lastMouse - view->mapToScene(QPoint(20, 30))).manhattanLength() <= 2);
    }

    // A plain view passes every wheel turn to the stack; the host clamps the index.
    void stackInAPlainViewIsClamped()
    {
        Viewer viewer;
        viewer.show();
        viewer.stack();
        auto* view = viewer.findChild<QGraphicsView*>();
        for (const auto& step : {qMakePair(240, 2), qMakePair(-720, 0), qMakePair(1200, 4),
                                 qMakePair(119, 4), qMakePair(-120, 3)}) {
            sendWheel(view->viewport(), step.first);
            QCOMPARE(viewer.m_slice, step.second);
        }
        int visible = 0;
        for (QGraphicsItem* item : view->scene()->items())
            visible += item->isVisible() ? 1 : 0;
        QCOMPARE(visible, 1);
    }

    // Behind the zoom filter the stack hears nothing; PlainWheel takes the plain wheel for the
    // slices, adding up steps below a notch, and leaves the zoom alone.
    void zoomAndBrowseOnOneView()
    {
        Viewer viewer;
        viewer.show();
        viewer.zoomAndBrowse();
        auto* view = viewer.findChild<QZoomableGraphicsView*>();
        auto* stack = qobject_cast<QImageStackViewer*>(view->scene());
        QSignalSpy notches(stack, &QImageStackViewer::scrollDelta);
        for (const auto& step : {qMakePair(40, 0), qMakePair(40, 0), qMakePair(40, 1),
                                 qMakePair(-30, 1), qMakePair(-90, 0), qMakePair(600, 4)}) {
            sendWheel(view->viewport(), step.first);
            QCOMPARE(viewer.m_slice, step.second);
        }
        QCOMPARE(notches.count(), 0);            // the scene never saw a wheel event
        QCOMPARE(view->transform(), QTransform()); // and nothing zoomed

        // Control held (the application's state, as the window system reports it): the wheel
        // zooms and the slice stays.
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QTest::keyPress(viewer.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
        sendWheel(view->viewport(), 120);
        QTest::keyRelease(viewer.windowHandle(), Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(viewer.m_slice, 4);
        QVERIFY(view->transform().m11() > 1.19);

        // Without PlainWheel, the zoom filter alone swallows the plain wheel.
        QZoomableGraphicsView bare;
        bare.setScene(stack);
        bare.viewport()->installEventFilter(&bare);
        sendWheel(bare.viewport(), 120);
        QCOMPARE(notches.count(), 0);
    }

    // getText returns the typed text after Cancel too (tst_textinput); the README tests ok.
    void newLayerOnlyWhenOk_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("accepted") << "Liver" << true << QStringList{"Liver"};
        QTest::newRow("cancelled") << "Liver" << false << QStringList();
        QTest::newRow("taken, then cancelled") << "bones" << true << QStringList();
    }
    void newLayerOnlyWhenOk()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QStringList, added);
        Viewer viewer;
        viewer.show();
        QTimer::singleShot(0, &viewer, [&] {
            auto* dialog = viewer.findChild<QTextInputDialog*>();
            QTest::keyClicks(dialog->findChild<QComboBox*>()->lineEdit(), typed);
            if (accept)
                dialog->accept();          // refused while the name is taken
            if (dialog->isVisible())
                dialog->reject();
        });
        viewer.newLayer();
        QCOMPARE(viewer.addedLayers, added);
    }

    // Built empty and filled by addPage, the wizard titles its first page; Next follows it.
    void wizardTitlesItsFirstPage()
    {
        Viewer viewer;
        viewer.show();
        viewer.wizard();
        auto* wizard = viewer.findChild<QPageWidget*>();
        auto* frame = wizard->findChild<QGroupBox*>();
        QCOMPARE(frame->title(), QString("Licence"));
        QToolButton* next = nullptr;
        for (QToolButton* b : wizard->findChildren<QToolButton*>())
            next = b->text() == "Next" ? b : next;
        QVERIFY(!next->isEnabled());
        wizard->findChild<QCheckBox*>()->click();
        QVERIFY(next->isEnabled());
        next->click();
        QCOMPARE(frame->title(), QString("Name"));
        QVERIFY(next->isEnabled()); // NamePage declares itself ready when shown

        QPageWidget listBuilt({new NamePage, new SummaryPage});
        QCOMPARE(listBuilt.findChild<QGroupBox*>()->title(), QString()); // the surprise
    }

    // Listing after a test creates nothing; listing alone would.
    void listLogsLeavesAMissingDirectoryAlone()
    {
        Viewer viewer;
        QVERIFY(!QDir(viewer.m_logDir).exists());
        viewer.listLogs();
        QVERIFY(!QDir(viewer.m_logDir).exists());
        QFileUtility::getFullPaths(viewer.m_logDir, {"*.log"});
        QVERIFY(QDir(viewer.m_logDir).exists());
        QVERIFY(QDir(viewer.m_logDir).removeRecursively());
    }

    void toastsCallTheHostBack()
    {
        Viewer viewer;
        viewer.show();
        viewer.toasts();
        const QList<QToast*> toasts = viewer.findChildren<QToast*>();
        QCOMPARE(toasts.size(), 3);
        QTest::mouseClick(toasts.first(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        QCOMPARE(lastExportParent(), &viewer);
    }

    // Last: the application's loop ends once per process. The import still running at quit
    // is waited for, and its postExec() runs before the application goes.
    void importFinishesAtQuit()
    {
        Viewer viewer;
        viewer.show();
        viewer.importUntilQuit();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        QCOMPARE(viewer.statusBar()->currentMessage(), QString("42 files"));
    }
};

QTEST_MAIN(tst_Readme)
#include "tst_readme.moc"
