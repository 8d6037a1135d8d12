// The C++ side of the Python-host benchmarks: the same work as bench_python.py does through
// the module, done here from C++ in the same process (loaded with ctypes), on the
// QApplication the Python side created. Each function returns its own elapsed milliseconds.

#include "EntryProperties.h"
#include "ryqtbench.h"

#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsEntry.h>
#include <QSettingsLoader.h>
#include <QToast.h>
#include <QToaster.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QWidget>

#include <memory>
#include <vector>

#define RYQT_HOST_WORK extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kCategories = 20;
constexpr int kSubCategories = 3;

} // namespace

// `count` toasts through one toaster over a shown host window: the timed part is the host's
// calls, every notify() and then every close(); the fades finish untimed.
RYQT_HOST_WORK double ryqt_host_toast_burst(int count)
{
    QWidget host;
    host.setGeometry(0, 0, 480, 640);
    host.show();
    QToaster toaster(&host, TopLeft);
    QList<QPointer<QToast>> toasts;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        auto* t = new QToast(&host, QStringLiteral("Message %1").arg(i), 0, TopLeft);
        toasts << t;
        toaster.notify(t);
    }
    for (const auto& t : toasts)
        t->close();
    const double ms = timer.nsecsElapsed() / 1.0e6;
    ryqtbench::waitAllGone(toasts);
    return ms;
}

// A settings dialog of `count` entries over the INI file at `iniPath`, values already stored:
// the timed part builds the categories, loaders and entries, then the dialog, and presses Ok.
RYQT_HOST_WORK double ryqt_host_settings_dialog(int count, const char* iniPath)
{
    QSettings store(QString::fromUtf8(iniPath), QSettings::IniFormat);
    std::unique_ptr<QSettingsDialog> dialog;
    std::vector<std::unique_ptr<QSettingsCategory>> categories;
    std::vector<std::unique_ptr<QSettingsLoader>> loaders;
    QElapsedTimer timer;
    timer.start();
    for (int c = 0; c < kCategories; ++c)
        categories.emplace_back(new QSettingsCategory(QStringLiteral("Category %1").arg(c), QPixmap()));
    for (int s = 0; s < kCategories * kSubCategories; ++s)
        categories.emplace_back(new QSettingsCategory(QStringLiteral("Group %1").arg(s % kSubCategories), QPixmap()));
    QList<QSettingsEntry> entries;
    for (int i = 0; i < count; ++i) {
        const auto type = QSettingsEntry::EntryType(i % 9);
        const QString key = QStringLiteral("c%1/e%2").arg(i % kCategories).arg(i);
        loaders.emplace_back(new QSettingsLoader(&store, key));
        entries.append(QSettingsEntry(type, loaders.back().get(), categories[size_t(i % kCategories)].get(), key,
                                      false, QStringLiteral("Tip %1").arg(i), ryqtbench::entryProperties(type),
                                      categories[size_t(kCategories + i % (kCategories * kSubCategories))].get()));
    }
    dialog.reset(new QSettingsDialog(entries));
    dialog->findChild<QPushButton*>()->click(); // "Ok" is created first
    store.sync();
    const double ms = timer.nsecsElapsed() / 1.0e6;
    dialog.reset();
    QCoreApplication::sendPostedEvents();
    return ms;
}
