#include "GalleryWindow.h"

#include "DialogsPage.h"
#include "ImagingPage.h"
#include "Screenshots.h"
#include "ServicesPage.h"
#include "SettingsPage.h"
#include "ToastPage.h"

#include <QLogDialog.h>
#include <QSettingsDialog.h>
#include <QTextInputDialog.h>
#include <QTranslationLoader.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

GalleryWindow::GalleryWindow(const QString& dataDir, const QString& guardKey,
                             const std::function<void(int, int)>& progress, QWidget* parent)
    : QMainWindow(parent), m_tabs(new QTabWidget)
{
    setWindowTitle(tr("ryQt Gallery"));
    const int steps = 5;
    auto step = [&](int done) {
        if (progress)
            progress(done, steps);
    };
    m_settings = new SettingsPage(QDir(dataDir).filePath(QStringLiteral("gallery-settings.ini")));
    m_tabs->addTab(m_settings, tr("Settings"));
    step(1);
    m_toasts = new ToastPage;
    m_tabs->addTab(m_toasts, tr("Toasts"));
    step(2);
    m_imaging = new ImagingPage;
    m_tabs->addTab(m_imaging, tr("Image viewing"));
    step(3);
    m_dialogs = new DialogsPage(dataDir);
    m_tabs->addTab(m_dialogs, tr("Dialogs"));
    step(4);
    m_services = new ServicesPage(guardKey, QDir(dataDir).filePath(QStringLiteral("sample folder ✓")));
    m_tabs->addTab(m_services, tr("Services"));
    setCentralWidget(m_tabs);
    statusBar()->showMessage(tr("ryQt %1 — Qt %2").arg(QStringLiteral("1.0.0"), QString::fromLatin1(qVersion())));
    statusBar()->addPermanentWidget(languageSwitch());
    resize(1000, 700);
    step(5);
}

// The library's own texts follow the choice: boxes the library opens from then on (settings,
// log viewer, splash) speak the chosen language. The gallery's own texts stay English.
QWidget* GalleryWindow::languageSwitch()
{
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("Library language:"));
    auto* languages = new QComboBox;
    label->setBuddy(languages);
    languages->addItem(QStringLiteral("English"), QStringLiteral("en"));
    for (const QString& name : QTranslationLoader::availableLocales()) {
        const QLocale locale(name);
        languages->addItem(locale.nativeLanguageName() + QStringLiteral(" (") + name + QLatin1Char(')'), name);
    }
    // Start in the system's language when the library ships it.
    if (QTranslationLoader::install(QLocale())) {
        for (int i = 1; i < languages->count(); ++i) {
            if (QLocale(languages->itemData(i).toString()).language() == QLocale().language())
                languages->setCurrentIndex(i);
        }
    }
    connect(languages, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [languages](int index) {
        if (index <= 0)
            QTranslationLoader::remove();
        else
            QTranslationLoader::install(QLocale(languages->itemData(index).toString()));
    });
    layout->addWidget(label);
    layout->addWidget(languages);
    return box;
}

QStringList GalleryWindow::writeScreenshots(const QString& dir)
{
    QStringList written;
    bool ok = QDir().mkpath(dir);
    auto shot = [&](QWidget* w, const QString& name) {
        const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
        gallery::settle(50);
        if (gallery::saveShot(w, path))
            written << path;
        else
            ok = false;
    };
    auto page = [&](QWidget* p, const QString& name) {
        m_tabs->setCurrentWidget(p);
        gallery::settle(100);
        shot(this, name);
    };

    show();
    gallery::settle(200);

    // Settings: the dialog, then "Ok" as a user presses it, then the page listing the store.
    m_tabs->setCurrentWidget(m_settings);
    QSettingsDialog* settings = m_settings->openDialog();
    settings->resize(640, 420);
    gallery::settle(100);
    shot(settings, QStringLiteral("dialog-settings"));
    const auto settingsButtons = settings->findChildren<QPushButton*>();
    for (QPushButton* b : settingsButtons)
        if (b->text() == QLatin1String("Ok"))
            b->click();
    page(m_settings, QStringLiteral("page-settings"));

    // Toasts: single toasts in both corners and a stacked burst, after fades and slides.
    m_tabs->setCurrentWidget(m_toasts);
    gallery::settle(100);
    m_toasts->showSingle(0);
    m_toasts->burst(3);
    gallery::settle(700);
    shot(this, QStringLiteral("page-toasts"));
    m_toasts->closeAll();
    gallery::settle(300);

    // Image viewing: a window/level set as a drag would, a zoom step, the mouse probe.
    m_tabs->setCurrentWidget(m_imaging);
    gallery::settle(100);
    m_imaging->applyWindowLevel(1800, 1500);
    m_imaging->showSlice(30);
    m_imaging->showValueAt(QPointF(150, 120));
    shot(this, QStringLiteral("page-imaging"));

    // Dialogs: the page, a refused taken name, the wizard on its second step, the log viewer.
    page(m_dialogs, QStringLiteral("page-dialogs"));
    QTextInputDialog* input = m_dialogs->makeNameDialog(this);
    input->resize(340, input->sizeHint().height());
    input->show();
    auto* combo = input->findChild<QComboBox*>();
    if (combo && combo->lineEdit())
        combo->lineEdit()->insert(QStringLiteral("Background"));
    input->accept();  // refused: the name is taken, so the red status bar appears
    gallery::settle(100);
    shot(input, QStringLiteral("dialog-text-input"));
    input->reject();
    delete input;

    QDialog* wizard = m_dialogs->openWizard();
    gallery::settle(100);
    // Walk to the second step as a user would: agree, Next, type a name.
    const auto buttons = wizard->findChildren<QAbstractButton*>();
    for (const char* label : {"I agree", "Next"})
        for (QAbstractButton* b : buttons)
            if (b->text() == QLatin1String(label))
                b->click();
    if (auto* name = wizard->findChild<QLineEdit*>())
        name->insert(QStringLiteral("Liver study"));
    shot(wizard, QStringLiteral("dialog-paged-widget"));
    wizard->close();

    QLogDialog* log = m_dialogs->openLog();
    gallery::settleUntil([log] {
        auto* edit = log->findChild<QPlainTextEdit*>();
        return log->isVisible() && edit && !edit->toPlainText().isEmpty();
    });
    shot(log, QStringLiteral("dialog-log-viewer"));
    log->close();

    // Services: the background result and a folder listing.
    m_tabs->setCurrentWidget(m_services);
    m_services->compute();
    m_services->listFolder();
    gallery::settleUntil([this] { return m_services->hasResult(); }, 30000);
    shot(this, QStringLiteral("page-services"));

    m_tabs->setCurrentIndex(0);
    return ok ? written : QStringList();
}
