#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

// Asks before the open task is copied to a folder of the user's choice.
class CBackupDlg : public QDialog
{
    Q_OBJECT
public:
    CBackupDlg(const QString& taskName, const QString& taskFolder, QWidget* parent = nullptr);

    bool openFolderAfterwards() const;
    QString text() const;
    QCheckBox* openFolderBox() const { return m_openFolder; }

private:
    QLabel* m_text;
    QCheckBox* m_openFolder;
};
