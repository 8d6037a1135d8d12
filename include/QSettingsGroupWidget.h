#pragma once

#include "ryqt_export.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QSettingsEntry;
class QVBoxLayout;

/// One panel of settings editors: a row per entry with a label, the editor that suits the
/// entry's type and, for File and Directory entries, a "..." button opening a chooser.
/// The panel builds and fills editors but never reads them back or saves.
class RYQT_EXPORT QSettingsGroupWidget : public QWidget
{
    Q_OBJECT

public:
    /// Builds an empty panel; the title is kept for the caller (the panel does not draw it).
    explicit QSettingsGroupWidget(const QString& title, QWidget* parent = nullptr);
    /// Frees the button group of the "..." buttons; rows and editors go with the widget.
    ~QSettingsGroupWidget() override;

    /// Appends a row for the entry, configures its editor from the UI properties and tool tip,
    /// loads the stored value into it and returns it. A type outside 0..8 appends an empty row
    /// and returns null. An entry without a loader (or whose loader has no store) gets an editor
    /// that keeps the state its UI properties gave it.
    QWidget* addEntry(const QSettingsEntry& entry);
    /// Replaces the stored title; nothing on screen changes (a tab keeps its old text).
    void setTitle(const QString& title);
    /// The stored title.
    QString title() const;

private Q_SLOTS:
    // Opens a non-modal, parentless QFileDialog for the button's entry; it deletes itself when
    // it closes, and when the line edit it fills is destroyed. Unknown buttons are ignored.
    void onFileButtonClicked(QAbstractButton* button);

private:
    static void setupWidget(const QSettingsEntry& entry, QWidget* widget);
    void setupGui();

    QVBoxLayout* m_mainLayout;
    QString m_title;
    // "..." button -> (entry type, line edit receiving the chosen path). Both pointers are
    // children of this widget, so they live exactly as long as the record.
    QHash<QAbstractButton*, QPair<int, QLineEdit*>> m_choosers;
    QButtonGroup* m_buttonGroup;
};
