// A host program as a user of the installed library writes it: one include, one link.
#include <ryQt.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#define RYQT_TEXT(x) #x
#define RYQT_EXPANDED(x) RYQT_TEXT(x)
#ifdef RYQT_EXPECT_STATIC // nothing to import from a DLL
static_assert(sizeof(RYQT_EXPANDED(RYQT_EXPORT)) == 1, "export macro of a shared library");
#endif
#ifdef RYQT_EXPECT_QT
static_assert(QT_VERSION_MAJOR == RYQT_EXPECT_QT, "built against the other Qt");
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("consumer.ini")), QSettings::IniFormat);
    QSettingsLoader loader(&store, QStringLiteral("consumer/answer"));
    QSettingsCategory category(QStringLiteral("General"), QPixmap());
    QSettingsEntry entry(QSettingsEntry::Integer, &loader, &category, QStringLiteral("Answer"));
    if (!loader.save(42))
        return 1;
    QVariant value;
    if (!entry.loader()->load(value) || value.toInt() != 42)
        return 2;

    int fired = 0;
    TaskCompletedListener done([&fired] { ++fired; });
    done.fire();
    if (fired != 1)
        return 3;

    // The translations are found beside the installed library, wherever the prefix is.
#ifdef RYQT_TRANSLATIONS_DIR
    const QString translations = QStringLiteral(RYQT_TRANSLATIONS_DIR);
#else
    const QString translations;
#endif
    if (!QTranslationLoader::install(QLocale(QStringLiteral("de_DE")), translations)
        || QSettingsDialog::tr("Cancel") != QStringLiteral("Abbrechen"))
        return 4;

    // The Qt actually loaded: a program linked to the other variant's library would pull it in.
    std::printf("ryQt consumer ok (Qt %s)\n", qVersion());
    return 0;
}
