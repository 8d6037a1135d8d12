#include "QTranslationLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTranslator>

#if defined(Q_OS_WIN)
#include <qt_windows.h>
#elif defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

namespace {

const QString kBaseName = QStringLiteral("ryQt");

// Only one translator of ours is ever installed, so a language switch replaces it rather than
// stacking translators whose first match would win.
QPointer<QTranslator>& installedTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

// The folder of the loaded library file itself, not of the executable: a host may live anywhere,
// while the translations are installed relative to the library.
QString libraryDirectory()
{
#if defined(Q_OS_WIN)
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
                               | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&libraryDirectory), &module)) {
        wchar_t path[MAX_PATH];
        const DWORD size = GetModuleFileNameW(module, path, MAX_PATH);
        if (size > 0 && size < MAX_PATH)
            return QFileInfo(QString::fromWCharArray(path, int(size))).absolutePath();
    }
#elif defined(Q_OS_UNIX)
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&libraryDirectory), &info) && info.dli_fname) {
        // The loader may name the library by a linked folder (/lib for /usr/lib on a merged
        // /usr), from where the relative way to the translations leads nowhere: resolve it.
        const QFileInfo library(QFile::decodeName(info.dli_fname));
        const QString real = library.canonicalFilePath();
        return real.isEmpty() ? library.absolutePath() : QFileInfo(real).absolutePath();
    }
#endif
    return QCoreApplication::applicationDirPath();
}

QStringList defaultDirectories()
{
    const QDir lib(libraryDirectory());
    return {QDir::cleanPath(lib.filePath(QStringLiteral(RYQT_TRANSLATIONS_FROM_LIBRARY))),
            lib.filePath(QStringLiteral("translations"))};
}

QStringList qmFiles(const QString& directory)
{
    return QDir(directory).entryList({kBaseName + QStringLiteral("_*.qm")}, QDir::Files, QDir::Name);
}

} // namespace

QString QTranslationLoader::translationsDirectory()
{
    const QStringList candidates = defaultDirectories();
    for (const QString& dir : candidates) {
        if (!qmFiles(dir).isEmpty())
            return dir;
    }
    return QString();
}

QStringList QTranslationLoader::availableLocales(const QString& directory)
{
    const QString dir = directory.isEmpty() ? translationsDirectory() : directory;
    if (dir.isEmpty())
        return {};
    QStringList locales;
    const int prefix = kBaseName.size() + 1;
    for (const QString& file : qmFiles(dir))
        locales << file.mid(prefix, file.size() - prefix - 3);
    return locales;
}

bool QTranslationLoader::install(const QLocale& locale, const QString& directory)
{
    remove();
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    const QString dir = directory.isEmpty() ? translationsDirectory() : directory;
    if (dir.isEmpty())
        return false;

    auto* translator = new QTranslator(app);
    if (!translator->load(locale, kBaseName, QStringLiteral("_"), dir, QStringLiteral(".qm"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installedTranslator() = translator;
    return true;
}

void QTranslationLoader::remove()
{
    QPointer<QTranslator>& translator = installedTranslator();
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator.data();
}
