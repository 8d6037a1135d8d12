#pragma once

#include "ryqt_export.h"

#include <QSharedPointer>
#include <QString>
#include <QVariant>

class QSettings;

/// Reads and writes one settings value under a key through QSettings.
/// Groups go into the key itself ("network/port"); the loader never calls beginGroup().
///
/// A plain copyable value, used on the thread that owns its QSettings (the GUI thread for the
/// settings dialog). Entries and dialogs only point at loaders: the host owns them and keeps each
/// alive as long as any entry or dialog that uses it. Several loaders may share one store.
class RYQT_EXPORT QSettingsLoader
{
public:
    /// Creates and owns the application's default QSettings store (organization and application
    /// names of the QCoreApplication, default format, user scope) for \a key. The store is handed
    /// to deleteLater() once the last copy of this loader is gone, so it is freed on the next
    /// pass of the creating thread's event loop.
    explicit QSettingsLoader(const QString& key);
    /// Uses \a settings without owning it (it must outlive the loader) for \a key; a null store
    /// makes load() and save() return false.
    QSettingsLoader(QSettings* settings, const QString& key);
    /// A loader for the same store and key; an owned store is shared by both.
    QSettingsLoader(const QSettingsLoader& other);
    /// Takes the store, key and ownership of \a other; an owned store is shared.
    QSettingsLoader& operator=(const QSettingsLoader& other);
    /// An owned store goes to deleteLater() when the last loader sharing it is destroyed;
    /// a store that was handed in is left alone.
    ~QSettingsLoader();

    /// Sets value to the stored value, or to an invalid QVariant when the key is absent, and
    /// returns true. Returns false and leaves value untouched when there is no store.
    bool load(QVariant& value) const;
    /// Writes value unchanged under the key and returns true; false (nothing written) without a store.
    /// The store is not synced: QSettings flushes on its own schedule.
    bool save(const QVariant& value) const;

    /// The store this loader reads and writes; may be null.
    QSettings* settings() const;
    /// The key, exactly as given.
    QString key() const;
    /// True when the loader created its store itself (constructor from a key alone).
    bool ownsSettings() const;

private:
    QSettings* m_settings = nullptr;
    QString m_key;
    bool m_ownsSettings = false;
    // Shared by all copies of an owning loader; its deleter hands the store to deleteLater()
    // when the last copy goes, so a store is never deleted twice or while still in use.
    QSharedPointer<QSettings> m_ownedSettings;
};
