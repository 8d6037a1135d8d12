#pragma once

#include <QMainWindow>

#include <functional>

class DialogsPage;
class ImagingPage;
class QTabWidget;
class ServicesPage;
class SettingsPage;
class ToastPage;

/// One window with a page per family of ryQt components.
class GalleryWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// Builds the pages one by one; progress(step, steps) is called after each.
    GalleryWindow(const QString& dataDir, const QString& guardKey,
                  const std::function<void(int, int)>& progress = {}, QWidget* parent = nullptr);

    /// Renders every page, and each dialog open, to PNG files in dir. Returns the files written,
    /// or an empty list when one could not be written.
    QStringList writeScreenshots(const QString& dir);

private:
    QWidget* languageSwitch();

    QTabWidget* m_tabs;
    SettingsPage* m_settings;
    ToastPage* m_toasts;
    ImagingPage* m_imaging;
    DialogsPage* m_dialogs;
    ServicesPage* m_services;
};
