#include <SplashScreen.h>

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRgb kBar = qRgb(85, 185, 73);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kPicture = qRgb(20, 40, 200);

// The line is 2 pixels thick around y = H - 25; the row above it stays clear of the text.
int lineEnd(const QImage& image)
{
    const int y = image.height() - 26;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == kBar)
            last = x;
    }
    return last;
}

} // namespace

class TestSplashScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QImage picture(1040, 600, QImage::Format_RGB32);
        picture.fill(kPicture);
        m_path = m_dir.filePath(QStringLiteral("splash.png"));
        QVERIFY(picture.save(m_path));
    }

    void geometryAndBand()
    {
        SplashScreen splash(m_path);
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.size(), QSize(520, 340));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(splash.cursor().shape(), Qt::BusyCursor);

        const QImage image = splash.grab().toImage();
        QCOMPARE(image.pixel(260, 299), kPicture);
        for (int y = 300; y < 340; ++y) {
            QCOMPARE(image.pixel(0, y), kWhite);
            QCOMPARE(image.pixel(519, y), kWhite);
        }
        QCOMPARE(lineEnd(image), -1); // progress 0 draws no line

        // The text sits in the middle of the band, in the bar colour.
        bool textDrawn = false;
        for (int y = 316; y < 330 && !textDrawn; ++y)
            for (int x = 220; x < 300 && !textDrawn; ++x)
                textDrawn = image.pixel(x, y) == kBar;
        QVERIFY(textDrawn);
    }

    void unreadableImage()
    {
        SplashScreen splash(m_dir.filePath(QStringLiteral("missing.png")));
        QCOMPARE(splash.size(), QSize(0, 40));
        splash.updateProgress(50); // draws into an empty width without harm
        QCOMPARE(splash.progress(), 50);
    }

    void lineLength_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("end");
        QTest::newRow("quarter") << 100 << 25 << 130;
        QTest::newRow("half") << 100 << 50 << 260;
        QTest::newRow("3 of 7 truncates 222.86") << 7 << 3 << 222;
        QTest::newRow("6 of 7 truncates 445.71") << 7 << 6 << 445;
        QTest::newRow("1 of 3 truncates 173.33") << 3 << 1 << 173;
        QTest::newRow("past maximum is clipped") << 100 << 250 << 519;
        QTest::newRow("far past maximum") << 1 << 2000000000 << 519;
        QTest::newRow("negative runs off the left edge") << 100 << -40 << 0;
    }
    void lineLength()
    {
        QFETCH(int, maximum);
        QFETCH(int, progress);
        QFETCH(int, end);
        SplashScreen splash(m_path);
        splash.setProgressMax(maximum);
        splash.updateProgress(progress);
        QCOMPARE(lineEnd(splash.grab().toImage()), end);
    }

    void nothingDrawnWithoutMaximum_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -5;
    }
    void nothingDrawnWithoutMaximum()
    {
        QFETCH(int, maximum);
        SplashScreen splash(m_path);
        QSignalSpy closed(&splash, &SplashScreen::onSplashClosed);
        splash.setProgressMax(maximum);
        splash.updateProgress(60);
        const QImage image = splash.grab().toImage();
        for (int y = 300; y < 340; ++y)
            for (int x = 0; x < 520; ++x)
                QVERIFY2(image.pixel(x, y) == kWhite, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        QCOMPARE(closed.count(), 0);
    }

    void closesAtExactlyTheMaximum_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::newRow("default") << 100;
        QTest::newRow("small") << 7;
    }
    void closesAtExactlyTheMaximum()
    {
        QFETCH(int, maximum);
        SplashScreen splash(m_path);
        if (maximum != 100)
            splash.setProgressMax(maximum);
        QSignalSpy closed(&splash, &SplashScreen::onSplashClosed);
        // The splash must still be visible when the signal arrives.
        bool visibleAtSignal = false;
        connect(&splash, &SplashScreen::onSplashClosed, this,
                [&] { visibleAtSignal = splash.isVisible(); });
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));

        for (int value : {maximum - 1, maximum + 1, -maximum}) {
            splash.updateProgress(value);
            QVERIFY(splash.isVisible());
            QCOMPARE(closed.count(), 0);
        }
        splash.updateProgress(maximum);
        QCOMPARE(closed.count(), 1);
        QVERIFY(visibleAtSignal);
        QVERIFY(!splash.isVisible());
        QCOMPARE(lineEnd(splash.grab().toImage()), 519);
    }

    void raisingTheMaximumDoesNotClose()
    {
        SplashScreen splash(m_path);
        QSignalSpy closed(&splash, &SplashScreen::onSplashClosed);
        splash.updateProgress(40);
        splash.setProgressMax(40); // only a reported value closes the splash
        QCOMPARE(closed.count(), 0);
        QCOMPARE(lineEnd(splash.grab().toImage()), 519);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
