#include <QLogDialog.h>
#include <QSettingsDialog.h>
#include <QTranslationLoader.h>

#include "testing.h"

// The shipped translations: complete, current with the sources, found and loaded by one call,
// and in effect in the boxes the library opens.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
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
        QTranslationLoader::remove();
        QCOMPARE(QSettingsDialog::tr("Cancel"), QString("Cancel"));
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
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
