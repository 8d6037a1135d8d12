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
/// The category list on the left has one row per category, in the order the categories first
/// appear in the entries; the page stack on the right shows the selected category's page, each
/// with one tab per sub-category. "Ok" writes every value (see QSettingsEntry for what each type
/// stores; the only check is that a required String is not written empty), emits saved(true)
/// and closes. "Cancel" emits canceled() and closes. Nothing is shown to the user on failure.
///
/// Editors are filled once, when the dialog is built: shown again after "Cancel" it shows what
/// the user left in it, not what is stored. The dialog is not deleted when it closes; a host that
/// builds one per opening sets Qt::WA_DeleteOnClose. GUI thread only.
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
    /// Builds the whole dialog from \a entries, in list order, and loads every stored value into
    /// its editor; the dialog keeps copies of the entries. An empty list gives an empty category
    /// list and page stack with the two buttons. \a parent is the usual QDialog parent (the
    /// dialog stays a window of its own). Minimum size 600 x 400, window title "Settings".
    explicit QSettingsDialog(QList<QSettingsEntry> entries, QWidget* parent = nullptr);
    /// Frees the editors and pages; loaders and categories stay the host's.
    ~QSettingsDialog() override;

    /// Reparents the dialog with the one-argument QWidget::setParent (a no-op for the current
    /// parent), then shows it non-modally and returns at once. Pass the constructor's parent:
    /// another \a parent makes the dialog a child widget placed at (0, 0) inside it, as Qt does
    /// for the one-argument setParent.
    void showSettings(QWidget* parent);
    /// Reparents the dialog like showSettings() (pass the constructor's parent), then runs it
    /// modally until it closes by "Ok", "Cancel", Escape or the window's close button.
    /// Tell "Ok" from "Cancel" by saved() and canceled(): after either, result() is Rejected,
    /// since closing the visible dialog goes through QDialog::reject(). With
    /// Qt::WA_DeleteOnClose the dialog is deleted before this returns.
    void execSettings(QWidget* parent);

Q_SIGNALS:
    /// Emitted by "Ok" after every value was written, before the dialog closes; \a closed is
    /// always true. result() is Accepted only while this signal is being delivered. Emitted also
    /// when some loaders had no store and wrote nothing.
    void saved(bool closed);
    /// Declared for hosts that reset values themselves; the dialog never emits it.
    void reset();
    /// Emitted by "Cancel", before the dialog closes (not by Escape or the window's close button,
    /// which close the dialog without a signal of this class).
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
