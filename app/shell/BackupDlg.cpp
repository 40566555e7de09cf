#include "BackupDlg.h"

#include "UICore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CBackupDlg::CBackupDlg(const QString& taskName, const QString& taskFolder, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("备份当前排课任务"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_text = new QLabel(QStringLiteral("当前排课任务“%1”的所有相关文件保存在下面的文件夹中：\n%2\n\n"
                                       "执行备份操作后，系统将该文件夹中相关排课任务文件备份到您指定的位置。")
                            .arg(taskName, taskFolder),
                        this);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setMargin(10);
    m_text->setAutoFillBackground(true);
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    m_text->setPalette(palette);
    m_text->setMinimumHeight(110);
    m_text->setFrameShape(QFrame::StyledPanel);

    m_openFolder = new QCheckBox(QStringLiteral("备份完成后打开备份文件夹"), this);
    m_openFolder->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* start = buttons->addButton(QStringLiteral("开始备份吧"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_openFolder);
    layout->addWidget(buttons);
    resize(460, 230);
    CUICore::instance()->SetAllChildWindowFont(this);
}

bool CBackupDlg::openFolderAfterwards() const
{
    return m_openFolder->isChecked();
}

QString CBackupDlg::text() const
{
    return m_text->text();
}
