#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

// Runs the gallery as a user would to make the README pictures, and checks every picture.
class TestGallery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QProcess gallery;
        gallery.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        gallery.start(QStringLiteral(RYQT_GALLERY), {QStringLiteral("--screenshot"), m_dir.path()});
        QVERIFY2(gallery.waitForFinished(120000), qPrintable(gallery.errorString()));
        QCOMPARE(gallery.exitStatus(), QProcess::NormalExit);
        QCOMPARE(gallery.exitCode(), 0);
        m_listed = QString::fromLocal8Bit(gallery.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    void screenshot_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"splash", "page-settings", "dialog-settings", "page-toasts", "page-imaging",
                                 "page-dialogs", "dialog-text-input", "dialog-paged-widget",
                                 "dialog-log-viewer", "page-services"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    // Each picture is written, listed by the gallery, and shows more than a blank surface.
    void screenshot()
    {
        QFETCH(QString, name);
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        QVERIFY2(m_listed.contains(path), qPrintable(m_listed.join(' ')));
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QVERIFY(image.width() >= 100 && image.height() >= 100);
        // Pictures are written in device pixels: on a scaled screen they are as sharp as what
        // the user sees, the 520-pixel splash being 1040 pixels wide at scale 2.
        if (name == QLatin1String("splash"))
            QCOMPARE(image.width(), qRound(520 * qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble()));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() >= 16, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
    }

private:
    QTemporaryDir m_dir;
    QStringList m_listed;
};

QTEST_GUILESS_MAIN(TestGallery)
#include "tst_gallery.moc"
