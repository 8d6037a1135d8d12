#include <QtTest>

// Runs the gallery as a user does to make the README pictures: each one is written, listed,
// in device pixels (the 520-pixel splash is 1040 wide at scale 2), and more than a blank surface.
class TestGallery : public QObject
{
    Q_OBJECT

private slots:
    void screenshots()
    {
        QTemporaryDir dir;
        QProcess gallery;
        gallery.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        gallery.start(RYQT_GALLERY, {"--screenshot", dir.path()});
        QVERIFY(gallery.waitForFinished(120000) && gallery.exitStatus() == QProcess::NormalExit && gallery.exitCode() == 0);
        const QStringList listed = QString::fromLocal8Bit(gallery.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const char* name : {"splash", "page-settings", "dialog-settings", "page-toasts", "page-imaging", "page-dialogs",
                                 "dialog-text-input", "dialog-paged-widget", "dialog-log-viewer", "page-services"}) {
            const QString path = dir.filePath(name + QStringLiteral(".png"));
            const QImage image(path);
            QVERIFY2(listed.contains(path) && image.width() >= 100 && image.height() >= 100, name);
            if (path.endsWith("/splash.png"))
                QCOMPARE(image.width(), qRound(520 * qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble()));
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); y += 3)
                for (int x = 0; x < image.width(); x += 3)
                    colours.insert(image.pixel(x, y));
            QVERIFY2(colours.size() >= 16, name);
        }
    }
};

QTEST_GUILESS_MAIN(TestGallery)
#include "tst_gallery.moc"
