#include <QLogDialog.h>
#include <QPage.h>
#include <QPageWidget.h>
#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsGroupWidget.h>
#include <QSettingsLoader.h>
#include <QTextInputDialog.h>
#include <QToast.h>
#include <QTranslationLoader.h>
#include <QWindowLevelGraphicsScene.h>

#include "testing.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// What assistive technology was told: event type, object, and the object's name at that moment.
struct Heard { QAccessible::Event type; QObject* object; QString name; };
static QVector<Heard> heard;
static QString nameOf(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }
static bool wasHeard(QAccessible::Event type, QObject* object, const QString& name = {})
{
    return std::any_of(heard.cbegin(), heard.cend(), [&](const Heard& h) { return h.type == type && h.object == object && (name.isNull() || h.name == name); });
}

struct Page : QPage { using QPage::QPage; void isCurrentPage() override { Q_EMIT readyToProceed(this); } };

// The shipped translations are complete, current and in effect; assistive technology can read
// and hear what the widgets show.
class TestI18n : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // No bridge runs offscreen; without this no event reaches the handler.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
            QAccessibleInterface* iface = e->accessibleInterface();
            heard.append({e->type(), e->object(), iface ? iface->text(QAccessible::Name) : QString()});
        });
    }
    void cleanup() { QTranslationLoader::remove(); }

    // lupdate over the library sources into a copy of each file: a tr() text missing from the
    // file arrives unfinished, one gone from the sources turns obsolete; either fails here.
    void tsFilesAreCompleteAndCurrent()
    {
        QCOMPARE(QTranslationLoader::availableLocales(), QStringList({"de", "es", "fr", "it", "ja", "pt_BR", "ru", "zh_CN"}));
        for (const QString& language : QTranslationLoader::availableLocales()) {
            QTemporaryDir dir;
            const QString copy = dir.filePath("copy.ts");
            QVERIFY(QFile::copy(RYQT_TS_DIR "/ryQt_" + language + ".ts", copy));
            QProcess lupdate;
            lupdate.setProcessChannelMode(QProcess::MergedChannels);
            lupdate.start(RYQT_LUPDATE, QStringList{"-silent", "-locations", "none"} + QString(RYQT_TRANSLATED_SOURCES).split('|') + QStringList{"-ts", copy});
            QVERIFY(lupdate.waitForFinished(60000));
            QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QXmlStreamReader xml(&file);
            QString source;
            QStringList faults;
            int messages = 0;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("source"))
                    source = xml.readElementText();
                else if (xml.tokenType() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("translation")) {
                    const QString type = xml.attributes().value("type").toString();
                    if (++messages && (!type.isEmpty() || xml.readElementText().isEmpty()))
                        faults << source + " (" + (type.isEmpty() ? "empty" : type) + ')';
                }
            QVERIFY(!xml.hasError() && messages >= 9);
            QVERIFY2(faults.isEmpty(), qPrintable(language + ": translate, or run the ryqt_lupdate target: " + faults.join(", ")));
        }
    }

    // One call per switch: the build tree's files are found beside the library, a second
    // language replaces the first, and a language not shipped installs nothing.
    void install_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("cancel"); // QSettingsDialog's "Cancel" once installed
        QTest::newRow("de_AT") << "de_AT" << "Abbrechen";
        QTest::newRow("ja") << "ja_JP" << "キャンセル";
        QTest::newRow("english") << "en_US" << "Cancel";
        QTest::newRow("unshipped") << "fi_FI" << "Cancel";
    }
    void install()
    {
        QFETCH(QString, locale);
        QFETCH(QString, cancel);
        QVERIFY(QTranslationLoader::install(QLocale("ru_RU")));
        QCOMPARE(QTranslationLoader::install(QLocale(locale)), cancel != "Cancel");
        QCOMPARE(QSettingsDialog::tr("Cancel"), cancel);
        QTemporaryDir empty;
        QVERIFY(!QTranslationLoader::install(QLocale("de"), empty.path()));
        QFile::copy(QTranslationLoader::translationsDirectory() + "/ryQt_ja.qm", empty.filePath("ryQt_ja.qm"));
        QVERIFY(QTranslationLoader::install(QLocale("ja_JP"), empty.path()) && QSettingsDialog::tr("Settings") == "設定");
    }

    // What a German user sees: the settings dialog's title and buttons, the log viewer's busy
    // indicator and its error box.
    void germanBoxes()
    {
        QVERIFY(QTranslationLoader::install(QLocale("de_DE")));
        QSettingsDialog settings({}, nullptr);
        QCOMPARE(settings.windowTitle(), QString("Einstellungen"));
        QVERIFY(button(&settings, "OK") && button(&settings, "Abbrechen"));
        ShownLog recorder;
        qApp->installEventFilter(&recorder);
        QWidget host;
        host.setObjectName("host");
        QLogDialog log(&host);
        log.showLog("/nonexistent/missing.log");
        QTRY_COMPARE(recorder.log.size(), 2);
        QCOMPARE(recorder.log, QStringList({"progress Datei wird geöffnet|Protokolldatei wird gelesen...",
                                            "host Fehler|Beim Lesen der Protokolldatei ist ein Fehler aufgetreten."}));
    }

    // Names and announcements: each settings editor by its entry's name (a host's own wins), each
    // "..." by what it chooses; a toast as an alert without markup; the window and level on the
    // view, announced on change; the wizard's step; the input dialog's refusal.
    void accessibility()
    {
        QSettingsLoader loader(nullptr, "k");
        QSettingsCategory general("General", QPixmap());
        QSettingsDialog dialog({{QSettingsEntry::Integer, &loader, &general, "Frames"}, {QSettingsEntry::Boolean, &loader, &general, "Smooth"},
                                {QSettingsEntry::File, &loader, &general, "Log file"}, {QSettingsEntry::Directory, &loader, &general, "Output"},
                                {QSettingsEntry::String, &loader, &general, "Plain", false, {}, {{"accessibleName", "Host name"}}}}, nullptr);
        QStringList read;
        for (QObject* child : dialog.findChild<QSettingsGroupWidget*>()->children())
            if (auto* w = qobject_cast<QWidget*>(child))
                read << nameOf(w);
        QCOMPARE(read, QStringList({"Frames:", "Frames", "Smooth", "Log file:", "Log file", "Choose file for Log file",
                                    "Output:", "Output", "Choose folder for Output", "Plain:", "Host name"}));

        QWidget parent;
        parent.show();
        QPointer<QToast> toast = new QToast(&parent, "Saved <b>report.pdf</b>", 5000, TopLeft);
        toast->show();
        QVERIFY(wasHeard(QAccessible::Alert, toast, "Saved report.pdf"));
        QCOMPARE(QAccessible::queryAccessibleInterface(toast)->role(), QAccessible::AlertMessage);

        QWindowLevelGraphicsScene scene(400, 100, 0, 1000, 0, 1000, nullptr);
        QGraphicsView view(&scene);
        scene.setGraphicsView(&view);
        scene.setLevel(120);
        QCOMPARE(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Description), QString("Window 400, level 120"));
        QVERIFY(wasHeard(QAccessible::DescriptionChanged, &view));

        QPageWidget wizard({new Page("Name"), new Page("Done")});
        QCOMPARE(nameOf(wizard.findChild<QLabel*>()), QString("Step 1 of 2"));

        QTextInputDialog input;
        input.setInputTextComparisons({"base"});
        input.setMatchErrorMessage("That name is taken.");
        input.open();
        input.findChild<QComboBox*>()->setEditText("BASE");
        input.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(wasHeard(QAccessible::Alert, input.findChild<QStatusBar*>(), "That name is taken."));
    }
};

QTEST_MAIN(TestI18n)
#include "tst_i18n.moc"
