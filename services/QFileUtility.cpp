#include "QFileUtility.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr QDir::Filters FileFilters = QDir::Files | QDir::NoDotAndDotDot;

// The listings create the directory they are asked about, so a host can point them at a
// folder that is expected to fill up later without a separate set-up step.
bool ensureDirectory(const QDir& dir)
{
    return dir.exists() || dir.mkpath(dir.absolutePath());
}

// Lists the files of dir (no directories, no hidden files, no recursion) in the directory's
// own order, by name ignoring case, and maps each name through toEntry.
template <typename ToEntry>
QStringList listFiles(const QString& dir, const QStringList& filters, ToEntry toEntry)
{
    const QDir directory(dir);
    QStringList result;
    if (!ensureDirectory(directory))
        return result;
    const QStringList names = directory.entryList(filters, FileFilters, QDir::NoSort);
    result.reserve(names.size());
    for (const QString& name : names)
        result.append(toEntry(directory, name));
    return result;
}

} // namespace

bool QFileUtility::createDirectory(QString path)
{
    const QDir dir(path);
    return dir.mkpath(dir.absolutePath());
}

bool QFileUtility::doesDirectoryExist(QString path)
{
    return QDir(path).exists();
}

bool QFileUtility::doesFileExist(QString path)
{
    return QFileInfo(path).exists();
}

QStringList QFileUtility::getFileNames(QString dir, QStringList filters)
{
    // The text before the first dot; a name without one is taken whole (left(-1)).
    return listFiles(dir, filters, [](const QDir&, const QString& name) {
        return name.left(name.indexOf(QLatin1Char('.')));
    });
}

QStringList QFileUtility::getFullPaths(QString dir, QStringList filters)
{
    return listFiles(dir, filters,
                     [](const QDir& directory, const QString& name) { return directory.absoluteFilePath(name); });
}
