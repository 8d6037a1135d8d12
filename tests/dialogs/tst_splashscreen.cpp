#include <SplashScreen.h>

#include <QtTest>

const QRgb kBar = qRgb(85, 185, 73), kWhite = qRgb(255, 255, 255), kPicture = qRgb(20, 40, 200), kStripe = qRgb(200, 120, 0);

class TestSplashScreen : public QObject
{
    Q_OBJECT

private slots:
    // The picture is scaled above a white band; the line ends at W * progress / maximum,
    // truncated and clipped, and without a positive maximum neither line nor text is drawn.
    // Only a value equal to the maximum closes the splash, after signalling it. At any scale
    // the sizes are logical pixels and the picture fills the device pixels. The band and the
    // line are drawn unblended: the line's rows are the device rows within one logical pixel
    // of y = H - 25, and along them it is solid from the left edge to the device pixel under
    // its logical end, its round cap reaching at most one logical pixel further.
    void progress()
    {
        QTemporaryDir dir;
        QImage picture(1040, 600, QImage::Format_RGB32);
        for (int x = 0; x < picture.width(); ++x) // stripes one logical pixel wide, two at scale 2
            for (int y = 0; y < picture.height(); ++y)
                picture.setPixel(x, y, x / 2 % 2 ? kStripe : kPicture);
        QVERIFY(picture.save(dir.filePath("splash.png")));
        struct Row { int maximum, progress, end; }; // end: logical x of the line's end, clipped; 0 for none
        const Row rows[] = {{100, 0, 0}, {100, 25, 130}, {100, 99, 514}, {100, 100, 520}, {7, 3, 222}, {7, 6, 445}, {7, 7, 520},
                            {3, 1, 173}, {100, 250, 520}, {1, 2000000000, 520}, {100, -40, 0}, {0, 60, 0}, {-5, 60, 0}};
        for (const Row& row : rows) {
            SplashScreen splash(dir.filePath("splash.png"));
            if (row.maximum != 100) // else the default
                splash.setProgressMax(row.maximum);
            splash.show();
            int closed = 0; // signals while still visible count 1, afterwards 100
            connect(&splash, &SplashScreen::onSplashClosed, this, [&] { closed += splash.isVisible() ? 1 : 100; });
            splash.updateProgress(row.progress);
            const QImage image = splash.grab().toImage();
            const qreal d = image.devicePixelRatio();
            const int band = qRound(300 * d), width = qRound(520 * d);
            const QByteArray where = QByteArray::number(row.progress) + " of " + QByteArray::number(row.maximum);
            QVERIFY2(closed == (row.progress == row.maximum) && splash.isVisible() == !closed, where);
            QVERIFY2(splash.size() == QSize(520, 340) && image.size() == QSize(width, qRound(340 * d)), where);
            // Sharp up to the band: the picture fills the device pixels rather than being
            // stretched from logical ones, so at a whole ratio each stripe comes out unblended.
            for (int x = 0; d == int(d) && x < width; ++x) {
                const QRgb stripe = x * 1040 / width / 2 % 2 ? kStripe : kPicture;
                QVERIFY2(image.pixel(x, 0) == stripe && image.pixel(x, band - 1) == stripe, where + " x " + QByteArray::number(x));
            }
            // The solid run of a line row covers the device pixel under the logical end and
            // stops within the cap's reach; a line ending at or left of x = 0 shows its cap only.
            const int cap = qCeil(d), body = qCeil(row.end * d) + 1;
            const int least = row.end > 0 ? qMin(body, width) : 0, most = row.end > 0 ? qMin(body + cap - 1, width) : cap;
            int marked = 0, lineRows = 0; // band pixels not white; rows of the line
            for (int y = band; y < image.height(); ++y) {
                if (y + 0.5 > 314 * d && y + 0.5 < 316 * d) {
                    int x = 0;
                    while (x < width && image.pixel(x, y) == kBar)
                        ++x;
                    ++lineRows;
                    QVERIFY2(x >= least && x <= most, where + " ends at " + QByteArray::number(x) + " in row " + QByteArray::number(y));
                } else {
                    QVERIFY2(image.pixel(0, y) == kWhite, where);
                }
                for (int x = 0; x < width; ++x)
                    marked += image.pixel(x, y) != kWhite;
            }
            QCOMPARE(lineRows, qRound(2 * d));
            QVERIFY2((marked > 0) == (row.maximum > 0) && image.pixel(width - 1, band) == kWhite && image.pixel(0, image.height() - 1) == kWhite, where);
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
