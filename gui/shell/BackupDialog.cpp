#include "gui/shell/BackupDialog.h"

#include "gui/common/UICore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* textLabel(const QString& text, bool wrap, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    return label;
}
} // namespace

CBackupDialog::CBackupDialog(const QString& taskName, const QString& taskFolder, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("备份当前分班任务"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QString intro = QStringLiteral("当前分班任务“%1”的所有相关文件保存在下面的文件夹中：").arg(taskName);
    const QString outro = QStringLiteral("执行备份操作后，系统将该文件夹中相关分班任务文件备份到您指定的位置。");
    m_text = intro + QLatin1Char('\n') + taskFolder + QStringLiteral("\n\n") + outro;

    // The text area: the folder on a line of its own that is never broken,
    // the sentences around it wrapped.
    auto* area = new QFrame(this);
    area->setFrameShape(QFrame::StyledPanel);
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    area->setPalette(palette);
    area->setMinimumHeight(110);
    m_folder = textLabel(taskFolder, false, area);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(10, 10, 10, 10);
    areaLayout->setSpacing(0);
    areaLayout->addWidget(textLabel(intro, true, area));
    areaLayout->addWidget(m_folder);
    areaLayout->addSpacing(area->fontMetrics().height());
    areaLayout->addWidget(textLabel(outro, true, area));
    areaLayout->addStretch(1);

    m_openFolder = new QCheckBox(QStringLiteral("备份完成后打开备份文件夹"), this);
    m_openFolder->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* start = buttons->addButton(QStringLiteral("开始备份吧"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(area, 1);
    layout->addWidget(m_openFolder);
    layout->addWidget(buttons);
    resize(460, 230);
    CUICore::instance()->SetAllChildWindowFont(this);
}

bool CBackupDialog::openFolderAfterwards() const
{
    return m_openFolder->isChecked();
}

QString CBackupDialog::text() const
{
    return m_text;
}
