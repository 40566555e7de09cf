#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The system settings: for now the login password.
class CSystemSetDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSystemSetDlg(QWidget* parent = nullptr);

    QPushButton* changePasswordButton() const { return m_changePassword; }
    QLabel* explanationLabel() const { return m_explanation; }

private:
    QPushButton* m_changePassword;
    QLabel* m_explanation;
};
