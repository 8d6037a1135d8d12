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
    void initTestCase() { QDir::setCurrent(m_dir.path()); } // viewer.ini and logs/ go here

    void settings_data()
    {
        QTest::addColumn<QString>("close");
        QTest::newRow("Ok") << "Ok";
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("Escape") << "Escape";
    }
    // A dialog per opening shows what is stored now and frees itself however it is closed;
    // under execSettings only saved() tells Ok from Cancel, and the dialog is gone on return.
    void settings()
    {
        QFETCH(QString, close);
        Viewer viewer;
        viewer.show();
        const auto closeIt = [&](QDialog* dialog) { close == "Escape" ? QTest::keyClick(dialog, Qt::Key_Escape) : button(dialog, close)->click(); };
        for (int round = 1; round < 3; ++round) {
            viewer.m_store.setValue("network/port", 8080 + round); // changed behind the last dialog's back
            viewer.openSettings();
            QPointer<QSettingsDialog> dialog = viewer.findChild<QSettingsDialog*>();
            QVERIFY(dialog && dialog->isVisible() && dialog->isWindow());
            auto* port = dialog->findChild<QSpinBox*>();
            QCOMPARE(port->value(), 8080 + round);
            port->setValue(9090);
            closeIt(dialog);
            QTRY_VERIFY(dialog.isNull());
            QCOMPARE(viewer.m_store.value("network/port").toInt(), close == "Ok" ? 9090 : 8080 + round);
            QCOMPARE(viewer.reloads, close == "Ok" ? round : 0);
        }
        QTimer::singleShot(0, &viewer, [&] { closeIt(viewer.findChild<QSettingsDialog*>()); });
        viewer.askSettings();
        QCOMPARE(viewer.reloads, close == "Ok" ? 3 : 0);
        QVERIFY(!viewer.findChild<QSettingsDialog*>());
    }

    // The scene always shows a fresh rendering of the original, fitted to the view, in device
    // pixels, after resizes and after window/level drags.
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
            image.setDevicePixelRatio(ratio);
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
        // Through the window, as the platform delivers it: a widget-level move would warp the
        // cursor, which Wayland does not allow.
        QTest::mouseMove(viewer.windowHandle(), viewport->mapTo(&viewer, QPoint(20, 30)));
        // Within a pixel: at fractional scales the event's position is rounded.
        QTRY_VERIFY((viewer.lastMouse - view->mapToScene(QPoint(20, 30))).manhattanLength() <= 2);
    }

    // A plain view passes every wheel turn to the stack, clamped by the host. Behind the zoom
    // filter PlainWheel takes the plain wheel, adding up steps below a notch, and leaves the
    // zoom to Control.
    void wheelOverStacks()
    {
        Viewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.stack();
        auto* plain = viewer.findChild<QGraphicsView*>();
        for (const auto& [delta, slice] : {std::pair{240, 2}, {-720, 0}, {1200, 4}, {119, 4}, {-120, 3}}) {
            sendWheel(plain->viewport(), delta);
            QCOMPARE(viewer.m_slice, slice);
        }
        delete plain;
        viewer.m_slice = 0;
        viewer.zoomAndBrowse();
        auto* view = viewer.findChild<QZoomableGraphicsView*>();
        QSignalSpy notches(view->scene(), SIGNAL(scrollDelta(int)));
        for (const auto& [delta, slice] : {std::pair{40, 0}, {40, 0}, {40, 1}, {-30, 1}, {-90, 0}, {600, 4}}) {
            sendWheel(view->viewport(), delta);
            QCOMPARE(viewer.m_slice, slice);
        }
        QCOMPARE(notches.count(), 0);
        QCOMPARE(view->transform(), QTransform());
        QTest::keyPress(viewer.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
        sendWheel(view->viewport(), 120);
        QTest::keyRelease(viewer.windowHandle(), Qt::Key_Control, Qt::NoModifier);
        QVERIFY(viewer.m_slice == 4 && view->transform().m11() > 1.19);
    }

    // getText returns the typed text after Cancel too; the README tests ok.
    void newLayerOnlyWhenOk()
    {
        for (const auto& [typed, accept, added] : {std::tuple{"Liver", true, "Liver"}, {"Liver", false, ""}, {"bones", true, ""}}) {
            Viewer viewer;
            QTimer::singleShot(0, &viewer, [&, typed = typed, accept = accept] {
                auto* dialog = viewer.findChild<QTextInputDialog*>();
                QTest::keyClicks(dialog->findChild<QComboBox*>()->lineEdit(), typed);
                if (accept)
                    dialog->accept(); // refused while the name is taken
                if (dialog->isVisible())
                    dialog->reject();
            });
            viewer.newLayer();
            QCOMPARE(viewer.addedLayers.join(""), QString(added));
        }
    }

    // Built empty and filled by addPage, the wizard titles its first page; Next follows it.
    void wizardTitlesItsFirstPage()
    {
        Viewer viewer;
        viewer.wizard();
        auto* frame = viewer.findChild<QGroupBox*>();
        QToolButton* next = nullptr;
        for (QToolButton* b : viewer.findChildren<QToolButton*>())
            next = b->text() == "Next" ? b : next;
        QVERIFY(frame->title() == "Licence" && !next->isEnabled());
        viewer.findChild<QCheckBox*>()->click();
        next->click();
        QVERIFY(frame->title() == "Name" && next->isEnabled()); // NamePage is ready when shown
    }

    // Listing after a check creates nothing; a toast's click calls the host back.
    void logsAndToasts()
    {
        Viewer viewer;
        viewer.listLogs();
        QVERIFY(!QDir(viewer.m_logDir).exists());
        viewer.show();
        viewer.toasts();
        QCOMPARE(viewer.findChildren<QToast*>().size(), 3);
        QTest::mouseClick(viewer.findChildren<QToast*>().first(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
        QCOMPARE(lastExportParent, &viewer);
    }

    // Last: the application's loop ends once per process. The import still running at quit
    // is waited for, and its postExec() runs before the application goes.
    void importFinishesAtQuit()
    {
        Viewer viewer;
        viewer.importUntilQuit();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        QCOMPARE(viewer.statusBar()->currentMessage(), QString("42 files"));
    }
};

QTEST_MAIN(tst_Readme)
#include "tst_readme.moc"
