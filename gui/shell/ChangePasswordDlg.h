#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

// Sets, changes or removes the login password kept in the settings file.
class CChangePasswordDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CChangePasswordDlg(const std::string& settingsPath, QWidget* parent = nullptr);

    QLineEdit* oldPasswordEdit() const { return m_old; }
    QLineEdit* newPasswordEdit() const { return m_new; }
    QLineEdit* repeatPasswordEdit() const { return m_repeat; }

public slots:
    void onOk();

private:
    std::string m_settingsPath;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_repeat;
};
