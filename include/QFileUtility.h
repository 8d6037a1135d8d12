#pragma once

#include "ryqt_export.h"

#include <QString>
#include <QStringList>

/// Static helpers for directories and files on the local file system.
///
/// Relative paths are taken from the process's current directory, and so is an empty path,
/// except in doesFileExist(). No function reports why it failed and none throws. All run on the
/// calling thread, any thread, and hold no state.
///
/// Listing creates: getFileNames() and getFullPaths() create a missing directory, with its
/// parents, before listing it. Test a path that comes from the user with doesDirectoryExist()
/// first.
class RYQT_EXPORT QFileUtility
{
public:
    QFileUtility() = delete;

    /// Creates the directory \a path and every missing parent; true when it exists afterwards
    /// (also when it already did), false when it cannot be created (a file in the way, no rights).
    static bool createDirectory(QString path);
    /// True when \a path names an existing directory; false for a file or nothing.
    static bool doesDirectoryExist(QString path);
    /// True when anything (file or directory) exists at \a path; false for an empty path.
    static bool doesFileExist(QString path);
    /// Base names (text before the first dot) of the files in \a dir matching the wildcard
    /// \a filters such as "*.log" (empty: all), ordered by name ignoring case; hidden files and sub-directories are left out.
    /// A missing dir is created with its parents; one that cannot be created gives an empty list.
    static QStringList getFileNames(QString dir, QStringList filters);
    /// Absolute paths of the files in \a dir matching \a filters, in the order of getFileNames();
    /// creates a missing \a dir the same way.
    static QStringList getFullPaths(QString dir, QStringList filters);
};
