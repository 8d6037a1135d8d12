#include "SettingsPage.h"

#include <QSettingsDialog.h>

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPixmap swatch(const QColor& colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 6, 6);
    return pixmap;
}

} // namespace

SettingsPage::SettingsPage(const QString& iniPath, QWidget* parent)
    : QWidget(parent),
      m_store(new QSettings(iniPath, QSettings::IniFormat, this)),
      m_general(QStringLiteral("General"), swatch(QColor(131, 61, 150))),
      m_display(QStringLiteral("Display"), swatch(QColor(46, 134, 193))),
      m_network(QStringLiteral("Network"), swatch(QColor(85, 185, 73))),
      m_startup(QStringLiteral("Start-up"), QPixmap()),
      m_proxy(QStringLiteral("Proxy"), QPixmap()),
      m_values(new QTableWidget(0, 3)),
      m_status(new QLabel)
{
    buildEntries();

    auto* intro = new QLabel(tr("<b>Settings dialog.</b> Every entry type, on three pages with "
                                "sub-category tabs, written to <tt>%1</tt> when you press Ok.")
                                 .arg(QFileInfo(iniPath).fileName().toHtmlEscaped()));
    intro->setToolTip(iniPath);
    intro->setWordWrap(true);
    auto* open = new QPushButton(tr("Open settings…"));
    connect(open, &QPushButton::clicked, this, &SettingsPage::openDialog);

    m_values->setHorizontalHeaderLabels({tr("Key"), tr("Stored value"), tr("Type")});
    m_values->horizontalHeader()->setStretchLastSection(true);
    m_values->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_values->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_values->verticalHeader()->hide();
    m_values->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(open, 0, Qt::AlignLeft);
    layout->addWidget(m_status);
    layout->addWidget(m_values, 1);
    refreshValues();
}

SettingsPage::~SettingsPage()
{
    // The dialog refers to the loaders and categories: it must go first.
    delete m_dialog;
}

QSettingsLoader* SettingsPage::loader(const QString& key)
{
    m_loaders.push_back(std::make_unique<QSettingsLoader>(m_store, key));
    return m_loaders.back().get();
}

void SettingsPage::buildEntries()
{
    using E = QSettingsEntry;
    using Props = QHash<QString, QVariant>;
    if (!m_store->contains(QStringLiteral("general/userName"))) {
        // First start: give the store values the editors will show.
        m_store->setValue(QStringLiteral("general/userName"), QStringLiteral("Ada"));
        m_store->setValue(QStringLiteral("general/language"), QStringLiteral("en"));
        m_store->setValue(QStringLiteral("display/zoomStep"), 1.25);
        m_store->setValue(QStringLiteral("display/refreshRate"), 60);
        m_store->setValue(QStringLiteral("display/gamma"), 2.2);
        m_store->setValue(QStringLiteral("network/port"), 8080);
    }
    m_entries = {
        E(E::String, loader(QStringLiteral("general/userName")), &m_general, QStringLiteral("User name"),
          false, QStringLiteral("Required: an empty name is not saved"),
          Props{{QStringLiteral("placeholderText"), QStringLiteral("Your name")}}),
        E(E::StringChoice, loader(QStringLiteral("general/language")), &m_general, QStringLiteral("Language"),
          false, QString(),
          Props{{QStringLiteral("currentData"), QVariantList{QStringLiteral("en"), QStringLiteral("de"),
                                                             QStringLiteral("fr"), QStringLiteral("ja")}}}),
        E(E::Boolean, loader(QStringLiteral("general/showTips")), &m_general, QStringLiteral("Show tips"),
          false, QStringLiteral("Show a tip of the day at start-up")),
        E(E::Directory, loader(QStringLiteral("general/startup/workspace")), &m_general,
          QStringLiteral("Workspace"), false, QStringLiteral("Folder opened at start-up"), Props(), &m_startup),
        E(E::File, loader(QStringLiteral("general/startup/project")), &m_general, QStringLiteral("Project"),
          false, QStringLiteral("Project file loaded at start-up"), Props(), &m_startup),
        E(E::Double, loader(QStringLiteral("display/zoomStep")), &m_display, QStringLiteral("Zoom step"), false,
          QStringLiteral("Factor applied per wheel notch"),
          Props{{QStringLiteral("minimum"), 1.05}, {QStringLiteral("maximum"), 4.0},
                {QStringLiteral("singleStep"), 0.05}, {QStringLiteral("suffix"), QStringLiteral(" ×")}}),
        E(E::Integer, loader(QStringLiteral("display/thumbnails")), &m_display, QStringLiteral("Thumbnails"),
          false, QStringLiteral("Thumbnails per row"),
          Props{{QStringLiteral("minimum"), 1}, {QStringLiteral("maximum"), 12}}),
        E(E::IntegerChoice, loader(QStringLiteral("display/refreshRate")), &m_display, QStringLiteral("Refresh"),
          false, QStringLiteral("Refresh rate in Hz"),
          Props{{QStringLiteral("CURRENTDATA"), QVariantList{30, 60, 120, 144}}}),
        E(E::DoubleChoice, loader(QStringLiteral("display/gamma")), &m_display, QStringLiteral("Gamma"), false,
          QString(), Props{{QStringLiteral("currentData"), QVariantList{1.8, 2.2, 2.4}}}),
        E(E::Integer, loader(QStringLiteral("network/port")), &m_network, QStringLiteral("Port"), false,
          QString(), Props{{QStringLiteral("minimum"), 1}, {QStringLiteral("maximum"), 65535}}),
        E(E::Boolean, loader(QStringLiteral("network/proxy/enabled")), &m_network, QStringLiteral("Use a proxy"),
          false, QString(), Props(), &m_proxy),
        E(E::String, loader(QStringLiteral("network/proxy/host")), &m_network, QStringLiteral("Proxy host"),
          true, QStringLiteral("Optional: may be left empty"),
          Props{{QStringLiteral("placeholderText"), QStringLiteral("proxy.example.org")}}, &m_proxy),
    };
}

QSettingsDialog* SettingsPage::openDialog()
{
    if (!m_dialog) {
        m_dialog = new QSettingsDialog(m_entries, this);
        connect(m_dialog, &QSettingsDialog::saved, this, [this] {
            m_status->setText(tr("Saved. The store now holds:"));
            refreshValues();
        });
        connect(m_dialog, &QSettingsDialog::canceled, this,
                [this] { m_status->setText(tr("Cancelled: nothing was written.")); });
    }
    m_dialog->showSettings(this);
    return m_dialog;
}

void SettingsPage::refreshValues()
{
    const QStringList keys = m_store->allKeys();
    m_values->setRowCount(keys.size());
    for (int row = 0; row < keys.size(); ++row) {
        const QVariant value = m_store->value(keys.at(row));
        m_values->setItem(row, 0, new QTableWidgetItem(keys.at(row)));
        m_values->setItem(row, 1, new QTableWidgetItem(value.toString()));
        m_values->setItem(row, 2, new QTableWidgetItem(QString::fromLatin1(value.typeName())));
    }
}
