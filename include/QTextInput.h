#pragma once

#include "ryqt_export.h"

#include "QTextInputDialog.h"

#include <QString>
#include <QStringList>

class QWidget;

/// One-call modal text prompts built on QTextInputDialog.
class RYQT_EXPORT QTextInput
{
public:
    QTextInput() = delete;

    /// Runs a free-text dialog and returns the text in the field when it closed, also after
    /// Cancel. ok (may be null) is set to true only for an accepted, non-empty text. If parent
    /// is destroyed while the dialog runs, returns an empty text with ok false.
    static QString getText(QWidget* parent, const QString& title, const QString& label,
                           QTextInputDialog::InputType inputTypes
                           = QTextInputDialog::Alphabetic | QTextInputDialog::Numeric
                             | QTextInputDialog::Reserved,
                           bool* ok = nullptr, QStringList comparisons = QStringList(),
                           const QString& matchErrorMessage = QString());

    /// Runs a fixed-choice dialog over items and returns the chosen text, also after Cancel;
    /// ok as for getText. An empty items list gives a free-text field ruled by inputTypes.
    static QString getItem(QWidget* parent, const QStringList& items, const QString& title,
                           const QString& label, bool* ok = nullptr,
                           QTextInputDialog::InputType inputTypes
                           = QTextInputDialog::Alphabetic | QTextInputDialog::Numeric
                             | QTextInputDialog::Reserved);
};
