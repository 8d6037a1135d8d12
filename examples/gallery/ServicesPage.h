#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;

/// The run guard's state, a background computation on Thread, and folder listings through
/// QFileUtility.
class ServicesPage : public QWidget
{
    Q_OBJECT
public:
    ServicesPage(const QString& guardKey, const QString& sampleDir, QWidget* parent = nullptr);

    /// Starts the background computation; its result appears when postExec runs.
    void compute();
    /// Lists the folder named in the path field with the filters of the filter field.
    void listFolder();
    /// True once the background result has arrived.
    bool hasResult() const;

private:
    QLabel* m_result;
    QLineEdit* m_path;
    QLineEdit* m_filters;
    QListWidget* m_names;
    QListWidget* m_paths;
    QLabel* m_listStatus;
    bool m_hasResult = false;
};
