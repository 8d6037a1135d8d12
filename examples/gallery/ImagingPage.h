#pragma once

#include <QImage>
#include <QList>
#include <QVector>
#include <QWidget>

class QGraphicsView;
class QImageStackViewer;
class QLabel;
class QWindowLevelGraphicsScene;
class QZoomableGraphicsView;

/// A 16-bit synthetic image whose window and level the user drags, shown in a zoomable view,
/// and a stack of slices browsed with the wheel. The page does the pixel work, as a host does:
/// the library only reports window, level, positions and wheel steps.
class ImagingPage : public QWidget
{
    Q_OBJECT
public:
    explicit ImagingPage(QWidget* parent = nullptr);

    /// Sets window and level as a drag would, and redraws.
    void applyWindowLevel(int window, int level);
    /// Shows the given slice of the stack, clamped to the stack.
    void showSlice(int slice);
    /// Reports the value under a scene position, as the mouse does.
    void showValueAt(const QPointF& scenePos);

private:
    void render();

    static constexpr int DataSide = 512;
    static constexpr int DataMax = 4095;
    QVector<quint16> m_data;
    QWindowLevelGraphicsScene* m_scene;
    QZoomableGraphicsView* m_view;
    QLabel* m_windowLevel;
    QLabel* m_probe;
    QImageStackViewer* m_stack;
    QGraphicsView* m_stackView;
    QLabel* m_sliceLabel;
    int m_window = 2048;
    int m_level = 1400;
    int m_slice = 0;
    int m_sliceCount = 0;
};
