#pragma once

// What the README's snippets take for granted in a host application: the includes, the host
// window's own helpers (ViewerBase) and types. The snippets are generated into readme_snippets.h.

#include <ryQt.h>

#include <QtWidgets>

#include <functional>

// The host's rendering of 16-bit data (like a CT slice) for a window and a level: grey values
// level - window / 2 .. level + window / 2 spread over 0..255.
inline QImage renderEightBit(const QImage& volume, int window, int level)
{
    QImage out(volume.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < volume.height(); ++y)
        for (int x = 0; x < volume.width(); ++x) {
            const double grey = reinterpret_cast<const quint16*>(volume.constScanLine(y))[x];
            out.scanLine(y)[x] = uchar(qBound(0.0, (grey - level + window / 2.0) * 255.0 / qMax(1, window), 255.0));
        }
    return out;
}

// Stands in for the host's long import; the README's Import calls it on the worker thread.
inline int importFiles() { return QThread::msleep(300), 42; }
inline QWidget* lastExportParent = nullptr;
inline void openExportFolder(QWidget* parent) { lastExportParent = parent; }

struct LevelHighlighter : QSyntaxHighlighter
{
    using QSyntaxHighlighter::QSyntaxHighlighter;
    void highlightBlock(const QString& text) override
    {
        if (text.contains(QLatin1String("ERROR")))
            setFormat(0, int(text.size()), QColor(Qt::red));
    }
};

// Wizard steps that are ready as soon as they are shown.
struct ReadyPage : QPage { using QPage::QPage; void isCurrentPage() override { Q_EMIT readyToProceed(this); } };
struct NamePage : ReadyPage { NamePage() : ReadyPage("Name") {} };
struct SummaryPage : ReadyPage { SummaryPage() : ReadyPage("Summary") {} };

// The host window the snippets are members of (the generated Viewer derives from it).
class ViewerBase : public QMainWindow
{
public:
    explicit ViewerBase(QWidget* parent = nullptr) : QMainWindow(parent)
    {
        setCentralWidget(new QWidget);
        resize(640, 480);
        // A 16-bit ramp, 320 x 200: wide enough to tell a fresh rendering from a rescaled one.
        for (int y = 0; y < m_volume.height(); ++y)
            for (int x = 0; x < m_volume.width(); ++x)
                reinterpret_cast<quint16*>(m_volume.scanLine(y))[x] = quint16((x * 37 + y * 11) % 4096);
        for (int i = 0; i < 5; ++i)
            m_slices.append(QImage(16, 16, QImage::Format_RGB32)), m_slices.last().fill(QColor(i * 50, 0, 0));
    }
    // Places a view in the window, at a fixed spot; the test resizes it.
    void addView(QWidget* view) { view->setParent(centralWidget()), view->setGeometry(0, 0, 400, 300), view->show(); }
    void reloadSettings() { ++reloads; }
    void showValueUnderMouse(QPointF p) { lastMouse = p; }
    void addLayer(const QString& name) { addedLayers.append(name); }

    QImage m_volume{320, 200, QImage::Format_Grayscale16};
    QList<QImage> m_slices;
    int m_slice = 0;
    QStringList m_layerNames{"Bones"};
    QString m_logDir = QDir::currentPath() + "/logs";
    // What the test reads back.
    int reloads = 0;
    QPointF lastMouse;
    QStringList addedLayers;
};
