#pragma once

#include <QDialog>

class CTaskInfo;
class CTipWnd;
class QLineEdit;
class QPushButton;

// The header of a task: name, description, author, creation time and where
// it is saved. In edit mode the name and the location stay as they are.
class CTaskInfoDlg : public QDialog
{
    Q_OBJECT
public:
    CTaskInfoDlg(CTaskInfo& info, bool editMode, const QString& title, CTipWnd* tip, QWidget* parent = nullptr);

    // A name that can serve as a file and folder name: not empty, not "."
    // or "..", and free of path separators and characters Windows forbids.
    static bool isValidTaskName(const QString& name);
    // The location for a name: the location up to its last separator (the
    // whole text when there is none past the first character), a separator
    // and the name.
    static QString locationForName(const QString& location, const QString& name);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* descriptionEdit() const { return m_description; }
    QLineEdit* authorEdit() const { return m_author; }
    QLineEdit* createTimeEdit() const { return m_createTime; }
    QLineEdit* locationEdit() const { return m_location; }
    QPushButton* browseButton() const { return m_browse; }
    // The location folder when this dialog made it on OK; empty when the
    // folder was there before.
    QString createdFolder() const;

public slots:
    void onOk();
    void onBrowse();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void showTip(QWidget* box, const QString& title, const QString& text);

    CTaskInfo& m_info;
    bool m_editMode;
    CTipWnd* m_tip;
    QLineEdit* m_name;
    QLineEdit* m_description;
    QLineEdit* m_author;
    QLineEdit* m_createTime;
    QLineEdit* m_location;
    QPushButton* m_browse;
    QString m_createdFolder;
};
