// A host program as a user of the installed library writes it: one include, one link.
#include <ryQt.h>

#include <QApplication>

#include <cstdio>

#define RYQT_TEXT(x) #x
#define RYQT_EXPANDED(x) RYQT_TEXT(x)
#ifdef RYQT_EXPECT_STATIC // nothing to import from a DLL
static_assert(sizeof(RYQT_EXPANDED(RYQT_EXPORT)) == 1, "export macro of a shared library");
#endif
#ifdef RYQT_EXPECT_QT
static_assert(QT_VERSION_MAJOR == RYQT_EXPECT_QT, "built against the other Qt");
#endif
#ifndef RYQT_TRANSLATIONS_DIR
#define RYQT_TRANSLATIONS_DIR "" // found beside the installed library, wherever the prefix is
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QSettingsLoader loader(nullptr, QStringLiteral("answer"));
    QSettingsDialog dialog({QSettingsEntry(QSettingsEntry::Integer, &loader, nullptr, QStringLiteral("Answer"))});
    if (!QTranslationLoader::install(QLocale(QStringLiteral("de_DE")), QStringLiteral(RYQT_TRANSLATIONS_DIR))
        || QSettingsDialog::tr("Cancel") != QStringLiteral("Abbrechen"))
        return 4;
    // The Qt actually loaded: a program linked to the other variant's library would pull it in.
    std::printf("ryQt consumer ok (Qt %s)\n", qVersion());
    return 0;
}
