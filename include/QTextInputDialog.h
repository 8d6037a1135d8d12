#pragma once

/// \file QTextInputDialog.h
/// The text input dialog and the operator| that combines its input types.

#include "ryqt_export.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QRegularExpressionValidator;
class QStatusBar;

/// Asks for one short text, typed under a character rule or picked from a fixed list.
/// OK refuses an empty text and a text equal (case ignored) to a taken value, with a red
/// message in a status bar at the bottom ("Input cannot be empty.", or the match error message);
/// the dialog then stays open until the text passes or the user cancels. Editing the text hides
/// the message. Cancel, Escape and the window's close button close it at once (Rejected).
///
/// The dialog sets no window title; QTextInput's functions do. GUI thread only; exec() blocks
/// in a nested event loop.
class RYQT_EXPORT QTextInputDialog : public QDialog
{
    Q_OBJECT

public:
    /// Character classes a typed text may contain; combine them with operator|.
    /// Hyphen and underscore are always allowed, and a text is at most 30 characters long.
    /// The default is 7 (Alphabetic | Numeric | Reserved). Typing is checked against
    /// `^[<classes>\-_]{0,30}$`, a keystroke that breaks it is refused:
    ///
    /// | flags                   | accepted besides `-` and `_` |
    /// |-------------------------|------------------------------|
    /// | Alphabetic \| Numeric   | `a-zA-Z0-9` (the default)    |
    /// | Alphabetic              | `a-zA-Z`                     |
    /// | Numeric                 | `0-9`                        |
    /// | none, or Reserved alone | nothing                      |
    /// | any of these with WhiteSpace | the same and white space (`\s`) |
    ///
    /// Letters are ASCII only. The flags rule only a free-text field, never the fixed items.
    enum InputType : int {
        Alphabetic = 1, ///< ASCII letters
        Numeric = 2,    ///< ASCII digits
        Reserved = 4,   ///< kept for compatibility; it does not change the accepted characters
        WhiteSpace = 8  ///< blanks and other white space
    };

    /// Free-text dialog accepting letters, digits, hyphen and underscore, as a child of \a parent.
    explicit QTextInputDialog(QWidget* parent = nullptr);
    /// Fixed-choice dialog offering \a items in list order, as a child of \a parent; an empty
    /// list gives a free-text dialog.
    explicit QTextInputDialog(QStringList items, QWidget* parent = nullptr);
    /// Free-text dialog whose typed characters follow \a inputTypes, as a child of \a parent;
    /// undefined bits are ignored.
    explicit QTextInputDialog(InputType inputTypes, QWidget* parent = nullptr);
    /// The widgets go with the dialog.
    ~QTextInputDialog() override;

    /// Changes the character rule to \a inputTypes at once; the text already in the field is
    /// kept as it is.
    /// A fixed-choice dialog only stores the flags, its items are never restricted.
    void setInputTypes(InputType inputTypes);
    /// The character rule in force (Alphabetic | Numeric | Reserved unless changed).
    InputType inputTypes() const;
    /// Sets the prompt \a text shown above the field (empty by default).
    void setLabelText(const QString& text) const;
    /// Sets the \a message shown when the text equals a taken value (empty by default); an empty
    /// message still refuses, showing an empty status bar.
    void setMatchErrorMessage(const QString& message);
    /// Replaces the taken values with \a comparisons, checked (case ignored) at the next OK; an
    /// empty list, the default, checks nothing.
    void setInputTextComparisons(QStringList comparisons);
    /// The text currently in the field (or the chosen item).
    QString getInputText() const;

private Q_SLOTS:
    void onComboBoxTextChanged(QString text);

private:
    void setupUi();
    void done(int result) override;
    void showError(const QString& message);

    InputType m_inputTypes = InputType(Alphabetic | Numeric | Reserved);
    QLabel* m_label = nullptr;
    QComboBox* m_comboBox = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QStringList m_items;
    QStringList m_comparisons;
    QString m_matchErrorMessage;
    QRegularExpressionValidator* m_validator = nullptr;
};

/// Bitwise OR of the input types \a a and \a b, for example
/// `QTextInputDialog::Alphabetic | QTextInputDialog::WhiteSpace`.
RYQT_EXPORT QTextInputDialog::InputType operator|(QTextInputDialog::InputType a,
                                                  QTextInputDialog::InputType b);
