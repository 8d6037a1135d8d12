#pragma once

#include "ryqt_export.h"

#include <QHash>
#include <QLineEdit>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QSettingsEntry;
class QVBoxLayout;

/// One panel of settings editors: a row per entry with a label, the editor that suits the
/// entry's type and, for File and Directory entries, a "..." button opening a chooser.
/// The panel builds and fills editors but never reads them back or saves. QSettingsDialog
/// makes these through QSettingsCategoryWidget; a host rarely needs one itself. GUI thread only.
///
/// A "..." button opens a non-modal, parentless QFileDialog; a path the user accepts replaces the
/// line edit's text, a cancelled chooser leaves it alone. Each click opens another chooser. The
/// chooser starts in the process's current folder, not at the path in the line edit.
///
/// Each row's label shows the entry's name and a colon, at most 100 pixels wide and unwrapped:
/// a longer name is cut off, so names stay short and details go in the entry's tooltip.
class RYQT_EXPORT QSettingsGroupWidget : public QWidget
{
    Q_OBJECT

public:
    /// Builds an empty panel with \a title, kept for the caller (the panel does not draw it;
    /// the category page uses it as the tab text), as a child of \a parent.
    explicit QSettingsGroupWidget(const QString& title, QWidget* parent = nullptr);
    /// Frees the button group of the "..." buttons; rows and editors go with the widget.
    ~QSettingsGroupWidget() override;

    /// Appends a row for \a entry, configures its editor from the UI properties and tool tip
    /// (see QSettingsEntry), loads the stored value into it and returns it; the editor is a child
    /// of this panel. A type outside 0..8 appends an empty row
    /// and returns null. An entry without a loader (or whose loader has no store) gets an editor
    /// that keeps the state its UI properties gave it. The editor is a child of this panel; the
    /// caller may delete it, after which the "..." button of a File or Directory row does
    /// nothing (a chooser already open closes on the next pass of the event loop).
    QWidget* addEntry(const QSettingsEntry& entry);
    /// Replaces the stored title with \a title; nothing on screen changes (a tab keeps its old text).
    void setTitle(const QString& title);
    /// The stored title.
    QString title() const;

private Q_SLOTS:
    // Opens a non-modal, parentless QFileDialog for the button's entry; it deletes itself when
    // it closes, and when the line edit it fills is destroyed. Unknown buttons, and buttons
    // whose line edit is gone, are ignored.
    void onFileButtonClicked(QAbstractButton* button);

private:
    static void setupWidget(const QSettingsEntry& entry, QWidget* widget);
    void setupGui();

    QVBoxLayout* m_mainLayout;
    QString m_title;
    // "..." button -> (entry type, line edit receiving the chosen path). The editor is handed
    // to the caller by addEntry(), who may delete it while its button stays; the guard turns
    // a later click into nothing.
    QHash<QAbstractButton*, QPair<int, QPointer<QLineEdit>>> m_choosers;
    QButtonGroup* m_buttonGroup;
};
