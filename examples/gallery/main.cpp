// The ryQt gallery: every component of the library working as a host application uses it.
//
//   ryqt-gallery                    opens the gallery window
//   ryqt-gallery --screenshot DIR   renders every page and dialog to PNG files in DIR and exits

#include "GalleryWindow.h"

#include <QRunGuard.h>
#include <SplashScreen.h>
#include <QTranslationLoader.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

// The splash image is drawn rather than shipped, so the gallery has no binary assets.
QString writeSplashImage(const QString& dir)
{
    QImage image(1040, 480, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 1040, 480);
    gradient.setColorAt(0.0, QColor(131, 61, 150));
    gradient.setColorAt(1.0, QColor(46, 90, 160));
    p.fillRect(image.rect(), gradient);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(120);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect().adjusted(0, -40, 0, -40), Qt::AlignCenter, QStringLiteral("ryQt"));
    font.setPixelSize(40);
    font.setBold(false);
    p.setFont(font);
    p.drawText(image.rect().adjusted(0, 160, 0, 0), Qt::AlignCenter, QStringLiteral("component gallery"));
    p.end();
    const QString path = QDir(dir).filePath(QStringLiteral("gallery-splash.png"));
    image.save(path);
    return path;
}

} // namespace

// The offscreen platform warns about every size hint it cannot honour; in screenshot mode
// those warnings say nothing useful.
QtMessageHandler previousHandler = nullptr;

void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The library speaks the system's language from the splash on, when it ships it.
    QTranslationLoader::install(QLocale());
    QApplication::setOrganizationName(QStringLiteral("ryQt"));
    QApplication::setApplicationName(QStringLiteral("ryQt Gallery"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows every ryQt component at work."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render every page and dialog to PNG files in <dir>, then exit."),
                                        QStringLiteral("dir"));
    parser.addOption(screenshot);
    parser.process(app);
    const bool shots = parser.isSet(screenshot);
    if (shots)
        previousHandler = qInstallMessageHandler(quietOffscreen);

    // Screenshots must not be refused because a gallery is open on the desktop, and must not
    // touch the user's settings: they get a key and a data folder of their own.
    QTemporaryDir scratch;
    const QString guardKey = shots ? QStringLiteral("ryQt-gallery-screenshots-%1").arg(QCoreApplication::applicationPid())
                                   : QStringLiteral("ryQt-gallery");
    QRunGuard guard(guardKey);
    if (!guard.tryToRun()) {
        std::fprintf(stderr, "ryQt gallery: another instance is running; exiting.\n");
        QMessageBox::information(nullptr, QStringLiteral("ryQt Gallery"),
                                 QStringLiteral("The ryQt gallery is already running.\n"
                                                "This second start exits now."));
        return 0;
    }
    QString dataDir = shots ? scratch.path() : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);

    SplashScreen splash(writeSplashImage(scratch.path()), nullptr);
    splash.show();
    QApplication::processEvents();
    QString splashShot;
    GalleryWindow window(dataDir, guardKey, [&](int done, int steps) {
        splash.setProgressMax(steps);
        splash.updateProgress(done);  // closes itself when the last page is built
        QApplication::processEvents();
        if (shots && done == 2) {
            splashShot = QDir(parser.value(screenshot)).filePath(QStringLiteral("splash.png"));
            QDir().mkpath(parser.value(screenshot));
            splash.grab().save(splashShot);
        }
    });

    if (shots) {
        const QStringList files = window.writeScreenshots(parser.value(screenshot));
        if (files.isEmpty()) {
            std::fprintf(stderr, "ryQt gallery: could not write the screenshots to %s\n",
                         qPrintable(parser.value(screenshot)));
            return 1;
        }
        std::printf("%s\n", qPrintable(splashShot));
        for (const QString& f : files)
            std::printf("%s\n", qPrintable(f));
        return 0;
    }

    window.show();
    return app.exec();
}
