#pragma once

#include "QSettingsEntry.h"
#include "ryqt_export.h"

#include <QDialog>
#include <QHash>
#include <QList>

class QListWidget;
class QPushButton;
class QSettingsCategory;
class QSettingsCategoryWidget;
class QStackedWidget;

/// A dialog that builds one page per category and one editor per entry, loads the stored
/// values and, on "Ok", writes every value back through the entries' loaders.
///
/// Entries the dialog cannot serve are kept in place but left out, never crashing:
/// - an entry with a null category is shown on no page; it gets no editor and is never saved;
/// - an entry with a null loader is shown with the state its UI properties give, and is never saved;
/// - an entry whose type is outside 0..8 gets no editor and is never saved.
/// Loaders and categories stay the host's and must outlive the dialog.
class RYQT_EXPORT QSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    /// Builds the whole dialog from the entries, in list order; an empty list gives an empty
    /// category list and page stack with the two buttons.
    explicit QSettingsDialog(QList<QSettingsEntry> entries, QWidget* parent = nullptr);
    ~QSettingsDialog() override;

    /// Reparents the dialog with the one-argument QWidget::setParent (a no-op for the current
    /// parent), then shows it non-modally.
    void showSettings(QWidget* parent);
    /// Reparents the dialog like showSettings, then runs it modally until it closes.
    /// Tell "Ok" from "Cancel" by saved() and canceled(): after either, result() is Rejected.
    void execSettings(QWidget* parent);

Q_SIGNALS:
    /// Emitted by "Ok" after every value was written, always with closed true; result() is
    /// Accepted only while this signal is being delivered.
    void saved(bool closed);
    /// Declared for hosts that reset values themselves; the dialog never emits it.
    void reset();
    /// Emitted by "Cancel" (not by Escape or the window's close button).
    void canceled();

private Q_SLOTS:
    void onOkClicked();
    void onCancelClicked();
    void onCurrentRowChanged(int row) const;

private:
    void setupGui();
    void setupEntryGui(QList<QSettingsEntry> entries);

    QList<QSettingsEntry> m_entries;
    QHash<int, QWidget*> m_editors;
    QHash<QSettingsCategory*, QSettingsCategoryWidget*> m_pages;
    QListWidget* m_categoryList = nullptr;
    QStackedWidget* m_pageStack = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
