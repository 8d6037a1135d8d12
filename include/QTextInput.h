#pragma once

#include "ryqt_export.h"

#include "QTextInputDialog.h"

#include <QString>
#include <QStringList>

class QWidget;

/// One-call modal text prompts built on QTextInputDialog. Both functions block in a nested
/// event loop until the dialog closes, on the GUI thread, and free the dialog before returning.
///
/// The text comes back whichever way the dialog closed: only \c ok tells an accepted text from
/// a cancelled one, so test it.
/// \code
/// bool ok = false;
/// const QString name = QTextInput::getText(this, "New layer", "Layer name:",
///                                          QTextInputDialog::Alphabetic, &ok, takenNames,
///                                          "That name is already taken.");
/// if (ok)
///     addLayer(name);
/// \endcode
class RYQT_EXPORT QTextInput
{
public:
    QTextInput() = delete;

    /// Runs a free-text dialog over \a parent titled \a title, with the prompt \a label, typing
    /// ruled by \a inputTypes (see QTextInputDialog::InputType), refusing the taken values
    /// \a comparisons (case ignored) with \a matchErrorMessage. Returns the text in the field
    /// when it closed, also after Cancel. \a ok (may be null) is set to true only for an
    /// accepted, non-empty text. If \a parent is destroyed while the dialog runs, returns an
    /// empty text with \a ok false.
    static QString getText(QWidget* parent, const QString& title, const QString& label,
                           QTextInputDialog::InputType inputTypes
                           = QTextInputDialog::Alphabetic | QTextInputDialog::Numeric
                             | QTextInputDialog::Reserved,
                           bool* ok = nullptr, QStringList comparisons = QStringList(),
                           const QString& matchErrorMessage = QString());

    /// Runs a fixed-choice dialog over \a parent titled \a title with the prompt \a label,
    /// offering \a items, and returns the chosen text, also after Cancel; \a ok as for getText().
    /// An empty \a items list gives a free-text field ruled by \a inputTypes, which otherwise
    /// has no effect. An empty item is refused with "Input cannot be empty.".
    static QString getItem(QWidget* parent, const QStringList& items, const QString& title,
                           const QString& label, bool* ok = nullptr,
                           QTextInputDialog::InputType inputTypes
                           = QTextInputDialog::Alphabetic | QTextInputDialog::Numeric
                             | QTextInputDialog::Reserved);
};
