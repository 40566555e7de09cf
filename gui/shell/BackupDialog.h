#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;

// Asks before the open task is copied to a folder of the user's choice.
class CBackupDialog : public QDialog
{
    Q_OBJECT
public:
    CBackupDialog(const QString& taskName, const QString& taskFolder, QWidget* parent = nullptr);

    bool openFolderAfterwards() const;
    QString text() const;
    QCheckBox* openFolderBox() const { return m_openFolder; }
    // The task folder's line of the text.
    QLabel* folderLabel() const { return m_folder; }

private:
    QString m_text;
    QLabel* m_folder;
    QCheckBox* m_openFolder;
};
