#include "gui/editors/DivisionRulesDialog.h"

#include "base/task/ScheduleTask.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"
#include "logic/session/TaskSession.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

CDivisionRulesDialog::CDivisionRulesDialog(CScheduleTask& task, QWidget* parent) : QDialog(parent), m_task(task)
{
    setWindowTitle(QStringLiteral("分班规则"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const CDivisionRules& rules = task.GetDivisionRules();

    m_sameName = new QCheckBox(QStringLiteral("同名学生分开"), this);
    m_sameName->setChecked(rules.GetSameNameApart());
    auto* sameNameNote = new QLabel(QStringLiteral("姓名相同的学生尽量分在不同班级。"), this);
    m_sameSound = new QCheckBox(QStringLiteral("同音学生分开"), this);
    m_sameSound->setChecked(rules.GetSameSoundApart());
    auto* sameSoundNote = new QLabel(QStringLiteral("姓名读音相同（不计声调）的学生尽量分在不同班级。"), this);
    m_scoreBands = new QCheckBox(QStringLiteral("分数段均衡"), this);
    m_scoreBands->setChecked(!rules.GetScoreBands().empty());
    auto* bandsLabel = new QLabel(QStringLiteral("分段界限（%）："), this);
    m_bands = new QLineEdit(this);
    m_bands->setText(qs(CDivisionRules::ScoreBandsText(
        rules.GetScoreBands().empty() ? CDivisionRules::DefaultScoreBands() : rules.GetScoreBands())));
    m_bands->setEnabled(m_scoreBands->isChecked());
    bandsLabel->setBuddy(m_bands);
    auto* bandsNote = new QLabel(QStringLiteral("按总分名次的百分比分段，由小到大、以逗号分隔，每个介于 1 与 99 之间。\n"
                                                "如 10,30,60：前 10%、其后 20%、其后 30% 与其余学生各为一段，均衡分到各班。"),
                                 this);
    bandsNote->setWordWrap(true);
    for (QLabel* note : {sameNameNote, sameSoundNote, bandsNote})
        note->setStyleSheet(QStringLiteral("color: #606060;"));
    connect(m_scoreBands, &QCheckBox::toggled, m_bands, &QWidget::setEnabled);

    auto* box = new QGroupBox(QStringLiteral("分班时遵守的规则"), this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(m_sameName, 0, 0, 1, 2);
    grid->addWidget(sameNameNote, 1, 1);
    grid->addWidget(m_sameSound, 2, 0, 1, 2);
    grid->addWidget(sameSoundNote, 3, 1);
    grid->addWidget(m_scoreBands, 4, 0, 1, 2);
    auto* bandsRow = new QHBoxLayout;
    bandsRow->addWidget(bandsLabel);
    bandsRow->addWidget(m_bands, 1);
    grid->addLayout(bandsRow, 5, 1);
    grid->addWidget(bandsNote, 6, 1);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(1, 1);

    m_warning = new QLabel(this);
    m_warning->setStyleSheet(QStringLiteral("color: #d00000;"));
    m_warning->setWordWrap(true);
    m_warning->setVisible(task.IsRulesFileDamaged());
    if (task.IsRulesFileDamaged())
        m_warning->setText(QStringLiteral("分班规则文件无法读取，这里的修改不能保存。"));

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDivisionRulesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(m_warning);
    layout->addStretch(1);
    layout->addWidget(buttons);

    CUICore::instance()->SetAllChildWindowFont(this);
    // Wide enough for the note about the limits on two lines.
    resize(540, sizeHint().height());
}

void CDivisionRulesDialog::warn(const QString& text)
{
    CMessageBox::show(this, text, CMessageBox::Icon::Warning);
}

void CDivisionRulesDialog::accept()
{
    CDivisionRules& rules = m_task.GetDivisionRules();
    std::vector<int> bands;
    if (m_scoreBands->isChecked()) {
        const std::optional<std::vector<int>> parsed = CDivisionRules::ParseScoreBands(m_bands->text().toStdString());
        if (!parsed) {
            warn(QStringLiteral("分段界限应为由小到大、介于 1 与 99 之间的整数，以逗号分隔，如 10,30,60。"));
            m_bands->setFocus();
            m_bands->selectAll();
            return;
        }
        bands = *parsed;
    }
    const bool sameName = m_sameName->isChecked();
    const bool sameSound = m_sameSound->isChecked();
    if (sameName == rules.GetSameNameApart() && sameSound == rules.GetSameSoundApart()
        && bands == rules.GetScoreBands()) {
        QDialog::accept();
        return;
    }
    if (m_task.IsRulesFileDamaged()) {
        CMessageBox::error(this, qs(CTaskSession::RulesDamagedText(m_task, "分班规则")));
        return;
    }

    const CDivisionRules before = rules;
    rules.SetSameNameApart(sameName);
    rules.SetSameSoundApart(sameSound);
    rules.SetScoreBands(bands);
    const CScheduleTask::SaveResult result = m_task.WriteInputData();
    if (result != CScheduleTask::SaveResult::Saved) {
        rules = before;
        const std::string reason =
            CTaskSession::SaveFailureText(m_task, result, m_task.GetTaskInfo().GetRulesFilePath());
        CMessageBox::error(this, QStringLiteral("保存失败：%1\n分班规则没有改变。").arg(qs(reason)));
        return;
    }
    QDialog::accept();
}
