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
    const QDir directory(dir);
    QStringList names;
    if (!ensureDirectory(directory))
        return names;

    // NoSort keeps the directory's own sorting: by name, ignoring case.
    const QFileInfoList entries = directory.entryInfoList(filters, FileFilters, QDir::NoSort);
    names.reserve(entries.size());
    for (const QFileInfo& entry : entries) {
        const QString fileName = entry.fileName();
        names.append(fileName.left(fileName.indexOf(QLatin1Char('.'))));
    }
    return names;
}

QStringList QFileUtility::getFullPaths(QString dir, QStringList filters)
{
    const QDir directory(dir);
    QStringList paths;
    if (!ensureDirectory(directory))
        return paths;

    const QStringList entries = directory.entryList(filters, FileFilters, QDir::NoSort);
    paths.reserve(entries.size());
    for (const QString& name : entries)
        paths.append(directory.absoluteFilePath(name));
    return paths;
}
