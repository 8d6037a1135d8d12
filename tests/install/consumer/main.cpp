// A host program as a user of the installed library writes it: one include, one link.
#include <ryQt.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

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
    if (!QTranslationLoader::install(QLocale(QStringLiteral("de_DE")))
        || QSettingsDialog::tr("Cancel") != QStringLiteral("Abbrechen"))
        return 4;

    std::puts("ryQt consumer ok");
    return 0;
}
