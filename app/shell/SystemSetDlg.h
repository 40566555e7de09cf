#pragma once

#include <QDialog>

class QPushButton;

// The system settings: for now the login password.
class CSystemSetDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSystemSetDlg(QWidget* parent = nullptr);

    QPushButton* changePasswordButton() const { return m_changePassword; }

private:
    QPushButton* m_changePassword;
};
