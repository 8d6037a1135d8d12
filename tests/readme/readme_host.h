#pragma once

// What the README's snippets take for granted in a host application: the includes, and the
// host window's own helpers (ViewerBase) and types. The snippets themselves are generated into
// readme_snippets.h from the README; the test calls them and watches these helpers.

#include <ryQt.h>

#include <QtWidgets>

#include <functional>

// The host's rendering of its data for a window and a level: grey values level - window / 2
// .. level + window / 2 spread over 0..255. The data is 16-bit, unsigned, like a CT slice.
inline QImage renderEightBit(const QImage& volume, int window, int level)
{
    const QImage source = volume.convertToFormat(QImage::Format_Grayscale16);
    QImage out(source.size(), QImage::Format_Grayscale8);
    const double low = level - window / 2.0;
    const double span = qMax(1, window);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const quint16*>(source.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
            line[x] = uchar(qBound(0.0, (in[x] - low) * 255.0 / span, 255.0));
    }
    return out;
}

// Stands in for the host's long import; the README's Import calls it on the worker thread.
inline int importFiles()
{
    QThread::msleep(300);
    return 42;
}

inline QWidget*& lastExportParent()
{
    static QWidget* parent = nullptr;
    return parent;
}
inline void openExportFolder(QWidget* parent) { lastExportParent() = parent; }

// Colours lines that contain "ERROR".
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
struct ReadyPage : QPage
{
    using QPage::QPage;
    void isCurrentPage() override { Q_EMIT readyToProceed(this); }
};
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
        m_volume = QImage(320, 200, QImage::Format_Grayscale16);
        for (int y = 0; y < m_volume.height(); ++y) {
            auto* line = reinterpret_cast<quint16*>(m_volume.scanLine(y));
            for (int x = 0; x < m_volume.width(); ++x)
                line[x] = quint16((x * 37 + y * 11) % 4096);
        }
        for (int i = 0; i < 5; ++i) {
            QImage slice(16, 16, QImage::Format_RGB32);
            slice.fill(QColor(i * 50, 0, 0));
            m_slices.append(slice);
        }
        m_logDir = QDir::currentPath() + QStringLiteral("/logs");
    }

    // Places a view in the window, at a fixed spot; the test resizes it.
    void addView(QWidget* view)
    {
        view->setParent(centralWidget());
        view->setGeometry(0, 0, 400, 300);
        view->show();
    }

    void reloadSettings() { ++reloads; }
    void showValueUnderMouse(QPointF p) { lastMouse = p; }
    void addLayer(const QString& name) { addedLayers.append(name); }

    QImage m_volume;
    QList<QImage> m_slices;
    int m_slice = 0;
    QStringList m_layerNames{QStringLiteral("Bones")};
    QString m_logDir;

    // What the test reads back.
    int reloads = 0;
    QPointF lastMouse;
    QStringList addedLayers;
};
