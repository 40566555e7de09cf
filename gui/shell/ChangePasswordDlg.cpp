#include "gui/shell/ChangePasswordDlg.h"

#include "base/util/IniFile.h"
#include "gui/shell/LoginPassword.h"
#include "gui/common/MessageBox.h"
#include "gui/shell/ProgramInfo.h"
#include "gui/common/UICore.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CChangePasswordDlg::CChangePasswordDlg(const std::string& settingsPath, QWidget* parent)
    : QDialog(parent), m_settingsPath(settingsPath)
{
    setWindowTitle(QStringLiteral("修改登录密码"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_old = new QLineEdit(this);
    m_new = new QLineEdit(this);
    m_repeat = new QLineEdit(this);
    for (QLineEdit* edit : {m_old, m_new, m_repeat})
        edit->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("原密码："), m_old);
    form->addRow(QStringLiteral("新密码："), m_new);
    form->addRow(QStringLiteral("再输一次新密码："), m_repeat);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("修改密码"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CChangePasswordDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(340, 160);
    CUICore::instance()->SetAllChildWindowFont(this);
}

void CChangePasswordDlg::onOk()
{
    const QString oldPassword = m_old->text();
    // The stored value as it is now, not as it was at start.
    const QString stored = QString::fromStdString(CIniFile::ReadString(m_settingsPath, "SYSTEM", "Auth", ""));
    const QString oldDigest = CLoginPassword::digest(oldPassword);
    if (oldDigest.compare(stored, Qt::CaseInsensitive) != 0 && (!stored.isEmpty() || !oldPassword.isEmpty())) {
        CMessageBox::show(this, QStringLiteral("原密码不正确"), CMessageBox::Icon::None, QMessageBox::Ok,
                          CProgramInfo::name());
        return;
    }

    const QString newPassword = m_new->text();
    const QString repeated = m_repeat->text();
    if (oldPassword.isEmpty() && newPassword.isEmpty()) {
        CMessageBox::information(this, QStringLiteral("请输入新密码"));
        m_new->setFocus();
        return;
    }
    if (newPassword.compare(repeated, Qt::CaseInsensitive) != 0) {
        CMessageBox::error(this, QStringLiteral("两次输入的新密码不一致，请检查后重新输入"));
        return;
    }

    const QString digest = newPassword.isEmpty() ? QString() : CLoginPassword::digest(newPassword);
    if (!CIniFile::WriteString(m_settingsPath, "SYSTEM", "Auth", digest.toStdString())) {
        CMessageBox::error(
            this,
            QStringLiteral("无法保存登录密码，请检查设置文件 %1 是否可写").arg(QString::fromStdString(m_settingsPath)));
        return;
    }
    CMessageBox::information(this, QStringLiteral("修改密码成功"));
    accept();
}
