#include <QLogDialog.h>
#include <QSettingsDialog.h>
#include <QTranslationLoader.h>

#include "testing.h"

// The shipped translations: complete, current with the sources, found and loaded by one call,
// and in effect in the boxes the library opens.
class TestTranslations : public QObject
{
    Q_OBJECT

    const QStringList m_languages{"de", "es", "fr", "it", "ja", "pt_BR", "ru", "zh_CN"};


private slots:
    void cleanup() { QTranslationLoader::remove(); }

    void tsFilesAreCompleteAndCurrent_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString& language : m_languages)
            QTest::newRow(qPrintable(language)) << language;
    }
    // lupdate over the library sources, into a copy: a tr() text missing from the file arrives
    // unfinished, a text gone from the sources turns obsolete, and any of them fails here.
    void tsFilesAreCompleteAndCurrent()
    {
        QFETCH(QString, language);
        QTemporaryDir dir;
        const QString copy = dir.filePath("copy.ts");
        QVERIFY(QFile::copy(QStringLiteral(RYQT_TS_DIR "/ryQt_") + language + ".ts", copy));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(RYQT_LUPDATE, QStringList{"-silent", "-locations", "none"}
                                        + QString(RYQT_TRANSLATED_SOURCES).split('|') + QStringList{"-ts", copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        QStringList faults;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const QString type = xml.attributes().value("type").toString();
                if (!type.isEmpty() || xml.readElementText().isEmpty())
                    faults << source + " (" + (type.isEmpty() ? "empty" : type) + ')';
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages >= 9);
        QVERIFY2(faults.isEmpty(), qPrintable("translate, or run the ryqt_lupdate target: " + faults.join(", ")));
    }

    void installFindsEveryLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("cancel"); // QSettingsDialog's "Cancel" once installed
        QTest::newRow("de_DE") << QLocale("de_DE") << "Abbrechen";
        QTest::newRow("de_AT") << QLocale("de_AT") << "Abbrechen";
        QTest::newRow("fr") << QLocale("fr_FR") << "Annuler";
        QTest::newRow("es") << QLocale("es_ES") << "Cancelar";
        QTest::newRow("it") << QLocale("it_IT") << "Annulla";
        QTest::newRow("pt_BR") << QLocale("pt_BR") << "Cancelar";
        QTest::newRow("ja") << QLocale("ja_JP") << "キャンセル";
        QTest::newRow("zh_CN") << QLocale("zh_CN") << "取消";
        QTest::newRow("ru") << QLocale("ru_RU") << "Отмена";
        QTest::newRow("english: none") << QLocale("en_US") << QString();
        QTest::newRow("unshipped: none") << QLocale("fi_FI") << QString();
    }
    // One call per switch: the build tree's files are found beside the library, and a second
    // language replaces the first rather than hiding behind it.
    void installFindsEveryLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, cancel);
        QCOMPARE(QTranslationLoader::availableLocales(), m_languages);
        QVERIFY(QTranslationLoader::install(QLocale("ru_RU")));
        QCOMPARE(QTranslationLoader::install(locale), !cancel.isEmpty());
        QCOMPARE(QSettingsDialog::tr("Cancel"), cancel.isEmpty() ? QString("Cancel") : cancel);
        QTranslationLoader::remove();
        QCOMPARE(QSettingsDialog::tr("Cancel"), QString("Cancel"));
    }

    void explicitDirectory()
    {
        QTemporaryDir empty;
        QVERIFY(!QTranslationLoader::install(QLocale("de"), empty.path()));
        QVERIFY(QTranslationLoader::availableLocales(empty.path()).isEmpty());
        QFile::copy(QTranslationLoader::translationsDirectory() + "/ryQt_ja.qm", empty.filePath("ryQt_ja.qm"));
        QVERIFY(QTranslationLoader::install(QLocale("ja_JP"), empty.path()));
        QCOMPARE(QSettingsDialog::tr("Settings"), QString("設定"));
    }

    // What a German user sees: the settings dialog's title and buttons, the log viewer's busy
    // indicator and its error box, all through the public API.
    void germanBoxes()
    {
        QVERIFY(QTranslationLoader::install(QLocale("de_DE")));
        QSettingsDialog settings({}, nullptr);
        QCOMPARE(settings.windowTitle(), QString("Einstellungen"));
        QStringList buttons;
        for (QPushButton* button : settings.findChildren<QPushButton*>())
            buttons << button->text();
        QCOMPARE(buttons, QStringList({"OK", "Abbrechen"}));

        ShownLog recorder;
        qApp->installEventFilter(&recorder);
        QTemporaryDir dir;
        QWidget host;
        host.setObjectName("host");
        QLogDialog log(&host);
        log.showLog(dir.filePath("missing.log"));
        QTRY_COMPARE(recorder.log.size(), 2);
        qApp->removeEventFilter(&recorder);
        QCOMPARE(recorder.log, QStringList({"progress Datei wird geöffnet|Protokolldatei wird gelesen...",
                                            "host Fehler|Beim Lesen der Protokolldatei ist ein Fehler aufgetreten."}));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
