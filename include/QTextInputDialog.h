#pragma once

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
/// message in a status bar at the bottom; the dialog then stays open.
class RYQT_EXPORT QTextInputDialog : public QDialog
{
    Q_OBJECT

public:
    /// Character classes a typed text may contain; combine them with operator|.
    /// Hyphen and underscore are always allowed, and a text is at most 30 characters long.
    enum InputType : int {
        Alphabetic = 1, ///< ASCII letters
        Numeric = 2,    ///< ASCII digits
        Reserved = 4,   ///< kept for compatibility; it does not change the accepted characters
        WhiteSpace = 8  ///< blanks and other white space
    };

    /// Free-text dialog accepting letters, digits, hyphen and underscore.
    explicit QTextInputDialog(QWidget* parent = nullptr);
    /// Fixed-choice dialog offering items in list order; an empty list gives a free-text dialog.
    explicit QTextInputDialog(QStringList items, QWidget* parent = nullptr);
    /// Free-text dialog whose typed characters follow inputTypes; undefined bits are ignored.
    explicit QTextInputDialog(InputType inputTypes, QWidget* parent = nullptr);
    ~QTextInputDialog() override;

    /// Changes the character rule at once; the text already in the field is kept as it is.
    /// A fixed-choice dialog only stores the flags, its items are never restricted.
    void setInputTypes(InputType inputTypes);
    /// The character rule in force (Alphabetic | Numeric | Reserved unless changed).
    InputType inputTypes() const;
    /// Sets the prompt shown above the field.
    void setLabelText(const QString& text) const;
    /// Message shown when the text equals a taken value; an empty message still refuses.
    void setMatchErrorMessage(const QString& message);
    /// Replaces the taken values checked at the next OK; an empty list checks nothing.
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

/// Bitwise OR of two sets of input types.
RYQT_EXPORT QTextInputDialog::InputType operator|(QTextInputDialog::InputType a,
                                                  QTextInputDialog::InputType b);
