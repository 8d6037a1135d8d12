#pragma once

#include "ryqt_export.h"

#include <QColor>
#include <QSplashScreen>
#include <QString>

/// Start-up splash: an image scaled to 520 pixels wide above a white band 40 pixels high that
/// holds a green progress line and "Loading...". It closes itself when progress reaches the
/// maximum. The constructor does not show it. Every progress call repaints at once, without
/// waiting for the event loop, so it works while the host is still busy starting up. GUI
/// thread only; closing does not delete it.
class RYQT_EXPORT SplashScreen : public QSplashScreen
{
    Q_OBJECT

public:
    /// Loads the image at \a pixmapPath and scales it to 520 pixels wide. An unreadable path
    /// gives an empty image: the splash is then 0 pixels wide and 40 high. \a parent is the
    /// usual QSplashScreen parent (normally none).
    explicit SplashScreen(QString pixmapPath, QWidget* parent = nullptr);
    ~SplashScreen() override;

    /// Sets \a max, the progress value that closes the splash (100 by default), and repaints at
    /// once; a progress already at the new maximum does not close it.
    /// A maximum of 0 or less draws no line and no text, and no progress value closes it then.
    void setProgressMax(int max);
    /// The progress value that closes the splash.
    int progressMax() const;
    /// The last progress value reported.
    int progress() const;

Q_SIGNALS:
    /// Emitted once updateProgress() reaches the maximum, just before the splash closes itself.
    void onSplashClosed();

public Q_SLOTS:
    /// Records \a value and repaints at once; a value equal to the maximum emits onSplashClosed()
    /// and closes the splash. Other values, negative or past the maximum, are drawn unclamped.
    void updateProgress(int value);

protected:
    /// Draws the image, then the white band, the progress line and "Loading..." with \a painter.
    void drawContents(QPainter* painter) override;

private:
    int m_progressMax = 100;
    int m_progress = 0;
    QColor m_barColor = QColor(85, 185, 73, 255);
};
