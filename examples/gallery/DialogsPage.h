#pragma once

#include <QStringList>
#include <QWidget>

class QDialog;
class QLabel;
class QLogDialog;
class QPageWidget;
class QTextInputDialog;

/// The text input dialog with its character rules and taken names, a three-step paged widget,
/// and the log viewer on a generated log.
class DialogsPage : public QWidget
{
    Q_OBJECT
public:
    explicit DialogsPage(const QString& workDir, QWidget* parent = nullptr);

    /// Asks for a new layer name, modally, and reports the result.
    void askForName();
    /// Asks the user to pick a colour map, modally.
    void pickItem();
    /// Builds, without showing it, the text input dialog that askForName() runs.
    QTextInputDialog* makeNameDialog(QWidget* parent);
    /// Opens the three-step wizard in a window of its own and returns it.
    QDialog* openWizard();
    /// Opens the log viewer on the generated log and returns it.
    QLogDialog* openLog();

private:
    QString writeSampleLog() const;

    QString m_workDir;
    QStringList m_taken{QStringLiteral("background"), QStringLiteral("annotations")};
    QLabel* m_result;
    QLabel* m_takenLabel;
};
