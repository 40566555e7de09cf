#pragma once

#include <QDialog>
#include <QRect>

class QLineEdit;
class QPushButton;

// The picture shown at start. With no password it is a splash of 1.5 s
// that asks nothing; with a password it asks for it.
class CLoginDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kSplashMilliseconds = 1500;

    // Whether start-up may go on. stored is the digest kept in the settings
    // file; empty means no password.
    static bool check(const QString& stored);

    explicit CLoginDlg(const QString& stored, QWidget* parent = nullptr);

    bool isSplash() const { return m_stored.isEmpty(); }
    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void onOk();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_stored;
    QRect m_editFrame;
    QRect m_labelRect;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
