#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QStringList>

/// Static helpers for directories and files on the local file system.
///
/// Relative paths are taken from the process's current directory, and so is an empty path,
/// except in doesFileExist(). No function reports why it failed and none throws.
class RYQT_EXPORT QFileUtility
{
public:
    QFileUtility() = delete;

    /// Creates the directory and every missing parent; true when it exists afterwards
    /// (also when it already did), false when it cannot be created (a file in the way, no rights).
    static bool createDirectory(QString path);
    /// True when path names an existing directory; false for a file or nothing.
    static bool doesDirectoryExist(QString path);
    /// True when anything (file or directory) exists at path; false for an empty path.
    static bool doesFileExist(QString path);
    /// Base names (text before the first dot) of the files in dir matching the wildcard filters
    /// (empty: all), ordered by name ignoring case; hidden files and sub-directories are left out.
    /// A missing dir is created with its parents; one that cannot be created gives an empty list.
    static QStringList getFileNames(QString dir, QStringList filters);
    /// Absolute paths of the same files, in the same order; creates a missing dir the same way.
    static QStringList getFullPaths(QString dir, QStringList filters);
};
