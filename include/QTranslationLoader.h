#pragma once

#include "ryqt_export.h"

#include <QLocale>
#include <QString>
#include <QStringList>

/// Loads ryQt's own translations into the running application in one call.
///
/// The library's user-visible texts (the settings dialog's title and buttons, the splash
/// screen's "Loading...", the log viewer's progress and error texts, the accessible names of the
/// settings choosers and of the window/level view) come in German, French, Spanish, Italian,
/// Brazilian Portuguese, Japanese, Simplified Chinese and Russian. A host calls
/// @c QTranslationLoader::install(QLocale()) once after creating its QApplication; widgets the
/// library creates afterwards show the translated texts. Widgets that already exist keep theirs.
///
/// Where the files are looked for, in this order, unless a directory is given explicitly:
/// - the installed location beside the library, @c share/ryQt/translations (@c share/ryQt6/...
///   for the Qt 6 build) under the prefix the library was installed to, found relative to the
///   loaded library file, so a relocated prefix works too;
/// - @c translations beside the library file, which is where a build tree keeps them, so tests
///   and the gallery run from a build directory find them as well.
///
/// Every function must be called from the thread that runs the QCoreApplication (the GUI thread).
/// None throws; failures are reported by the return value.
class RYQT_EXPORT QTranslationLoader
{
public:
    QTranslationLoader() = delete;

    /// Installs the library's translation for @p locale on the application, replacing one that an
    /// earlier call installed (so a language switch is one call). The best match among the
    /// locale's UI languages is taken (e.g. "pt_BR", then "pt"). English, or a language ryQt
    /// does not ship, removes the earlier translation and returns false: the source texts show.
    /// @param locale the language to show.
    /// @param directory folder holding the @c ryQt_*.qm files; empty to search the default places.
    /// @return true when a translation was found and installed; false without a QCoreApplication,
    ///         or when no file matches the locale.
    /// The translator is owned by the application object and freed with it.
    static bool install(const QLocale& locale = QLocale(), const QString& directory = QString());

    /// Removes the translation installed by install(); texts created afterwards are English again.
    /// Does nothing when none is installed.
    static void remove();

    /// The folder install() takes the files from when given no directory: the first default place
    /// that holds at least one @c ryQt_*.qm file, or an empty string when none does.
    static QString translationsDirectory();

    /// Names of the locales that have a translation in @p directory (default places when empty),
    /// as in the file names (for example "de", "pt_BR", "zh_CN"), sorted; empty when none.
    static QStringList availableLocales(const QString& directory = QString());
};
