#include "gui/results/BalanceCommands.h"

#include "gui/results/BalanceDialog.h"
#include "gui/results/BalanceDurationDialog.h"
#include "core/BalanceModel.h"
#include "core/BalanceReport.h"
#include "gui/results/BalanceResultDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/common/MessageBox.h"
#include "base/task/ScheduleTask.h"

#include <QRandomGenerator>

namespace {

const char* const kNotDivided = "该任务还没有分班，无法进行均衡优化。\n请先点击“开始自动分班”完成自动分班。";
const char* const kNothingFound = "均衡优化已取消。还没有找到更均衡的分班，各班学生保持原样。";

// Saves the data and the report as a pair. A failure is reported by the
// caller, in words of its own, rather than by the task's message handler.
bool saveQuietly(CScheduleTask& task)
{
    const bool saved = task.WriteInputDataWithReport() == CScheduleTask::SaveResult::Saved;
    task.SetDirty(!saved);
    return saved;
}

} // namespace

bool CBalanceCommands::balance(QWidget* parent, CScheduleTask& task, const SaveElsewhere& saveElsewhere,
                               const std::optional<CBalanceOptions>& fixedOptions)
{
    if (!CDivisionTableDialog::hasDivision(task)) {
        CMessageBox::information(parent, QString::fromUtf8(kNotDivided));
        return false;
    }
    CBalanceOptions options;
    {
        CBalanceDurationDialog duration(parent);
        if (duration.exec() != QDialog::Accepted)
            return false;
        options.seconds = duration.seconds();
        options.seed = QRandomGenerator::global()->generate64();
    }
    if (fixedOptions)
        options = *fixedOptions;

    std::vector<CBalanceReport::Row> rows;
    CBalanceResult result;
    {
        CBalanceDialog dialog(task, options, parent);
        dialog.exec();
        if (!dialog.keepsResult()) {
            if (!dialog.askedToKeep())
                CMessageBox::information(parent, QString::fromUtf8(kNothingFound));
            return false;
        }
        CBalanceOptimizer& optimizer = dialog.optimizer();
        result = optimizer.GetResult();
        const CBalanceModel* model = optimizer.GetModel();
        if (!model || !result.divided) {
            CMessageBox::information(parent, QString::fromUtf8(kNotDivided));
            return false;
        }
        rows = CBalanceReport::Table(*model, result);
        if (optimizer.Apply() > 0) {
            CReportInfo& report = task.GetLastReportInfo();
            const CReportInfo stamp; // now, in the report's own format
            report.SetReportInfo(CBalanceReport::AddSection(report.GetReportInfo(),
                                                            CBalanceReport::Section(*model, result, stamp.GetTime())));
        }
    }

    QString summary;
    if (result.movedStudents == 0) {
        // Nothing changed, so nothing is written.
        summary = QStringLiteral("没有找到更均衡的分班，各班学生未作调整。");
    } else {
        summary = QStringLiteral("调整了 %1 名学生的班级。").arg(result.movedStudents);
        if (result.cancelled)
            summary += QStringLiteral("均衡优化已取消，保留了取消前找到的最均衡的分班。");
        if (saveQuietly(task)) {
            summary += QStringLiteral("\n结果已保存到分班任务。");
        } else if (CScheduleTask* copy = CDivisionCommands::reportUnsaved(
                       parent, task, QStringLiteral("均衡优化的结果"), saveElsewhere)) {
            summary +=
                QStringLiteral("\n分班任务已另存到 %1").arg(QString::fromStdString(copy->GetTaskInfo().GetTaskFile()));
        } else {
            summary += QStringLiteral("\n结果没有保存！它只在内存中，关闭分班任务或退出程序后将会丢失。");
        }
    }

    CBalanceResultDialog dialog(rows, summary, parent);
    return dialog.exec() == QDialog::Accepted;
}
