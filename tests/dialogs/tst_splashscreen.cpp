#include <SplashScreen.h>

#include <QtTest>

const QRgb kBar = qRgb(85, 185, 73), kWhite = qRgb(255, 255, 255), kPicture = qRgb(20, 40, 200);

class TestSplashScreen : public QObject
{
    Q_OBJECT

private slots:
    // The picture is scaled above a white band; the line ends at W * progress / maximum,
    // truncated and clipped, and without a positive maximum neither line nor text is drawn.
    // Only a value equal to the maximum closes the splash, after signalling it.
    void progress()
    {
        QTemporaryDir dir;
        QImage picture(1040, 600, QImage::Format_RGB32);
        picture.fill(kPicture);
        QVERIFY(picture.save(dir.filePath("splash.png")));
        struct Row { int maximum, progress, end; };
        const Row rows[] = {{100, 0, -1}, {100, 25, 130}, {100, 99, 514}, {100, 100, 519}, {7, 3, 222}, {7, 6, 445}, {7, 7, 519},
                            {3, 1, 173}, {100, 250, 519}, {1, 2000000000, 519}, {100, -40, 0}, {0, 60, -1}, {-5, 60, -1}};
        for (const Row& row : rows) {
            SplashScreen splash(dir.filePath("splash.png"));
            if (row.maximum != 100) // else the default
                splash.setProgressMax(row.maximum);
            splash.show();
            int closed = 0; // signals while still visible count 1, afterwards 100
            connect(&splash, &SplashScreen::onSplashClosed, this, [&] { closed += splash.isVisible() ? 1 : 100; });
            splash.updateProgress(row.progress);
            const QImage image = splash.grab().toImage();
            const QByteArray where = QByteArray::number(row.progress) + " of " + QByteArray::number(row.maximum);
            QVERIFY2(closed == (row.progress == row.maximum) && splash.isVisible() == !closed, where);
            QVERIFY2(image.size() == QSize(520, 340) && image.pixel(260, 299) == kPicture, where);
            int marked = 0, end = -1; // band pixels not white; last x of the line (2 pixels around y = 315)
            for (int y = 300; y < 340; ++y) {
                for (int x = 0; x < 520; ++x) {
                    marked += image.pixel(x, y) != kWhite;
                    end = y == 314 && image.pixel(x, y) == kBar ? x : end; // the text stays below this row
                }
            }
            QVERIFY2(end == row.end, where + " ends at " + QByteArray::number(end));
            QVERIFY2((marked > 0) == (row.maximum > 0) && image.pixel(519, 300) == kWhite && image.pixel(0, 339) == kWhite, where);
        }
    }

    // An image that does not load gives a bare 0 x 40 band, and nothing on the console: neither
    // a message of the library nor one of Qt about what the library did with the null pixmap.
    void unloadableImage()
    {
        QTemporaryDir dir;
        QFile text(dir.filePath("text.png"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not an image") > 0);
        text.close();
        static QStringList messages;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { messages << m; });
        for (const QString& path : {QString(), dir.filePath("missing.png"), text.fileName()}) {
            SplashScreen splash(path);
            splash.show();
            splash.updateProgress(50);
            const QSize size = splash.size();
            splash.updateProgress(100);
            QCoreApplication::processEvents();
            if (size != QSize(0, 40))
                messages << QString("%1: %2 x %3").arg(path).arg(size.width()).arg(size.height());
        }
        qInstallMessageHandler(previous);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    }
};

QTEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
