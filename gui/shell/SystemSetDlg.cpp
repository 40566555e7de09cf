#include "gui/shell/SystemSetDlg.h"

#include "gui/shell/ChangePasswordDlg.h"
#include "gui/shell/TaskManager.h"
#include "gui/common/UICore.h"
#include "gui/shell/UIResources.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CSystemSetDlg::CSystemSetDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("系统设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* page = new QFrame(this);
    page->setFrameShape(QFrame::StyledPanel);
    auto* heading = new QLabel(QStringLiteral("登录密码"), page);
    auto* rule = new QFrame(page);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    m_explanation = new QLabel(QStringLiteral("您可以通过修改登录密码，来设置只有输入密码后才能使用Lumo智能分班系统。\n"
                                              "第一次使用时，原密码为空。\n"
                                              "如果要取消密码设置，将新密码设置为空即可。"),
                               page);
    // Each sentence on a line of its own: the dialog grows with the font
    // rather than breaking a line before its last word.
    m_explanation->setWordWrap(false);
    m_changePassword = new QPushButton(QStringLiteral("点此修改登录密码"), page);
    connect(m_changePassword, &QPushButton::clicked, this, [this] {
        CChangePasswordDlg dialog(CTaskManager::instance()->settingsPath(), this);
        dialog.exec();
    });

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(heading);
    pageLayout->addWidget(rule);
    pageLayout->addWidget(m_explanation);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_changePassword);
    buttonRow->addStretch(1);
    pageLayout->addLayout(buttonRow);
    pageLayout->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page, 1);
    layout->addWidget(buttons);
    resize(440, 240);
    CUICore::instance()->SetAllChildWindowFont(this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
}
