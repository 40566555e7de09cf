#include "gui/results/DivisionCommands.h"

#include "gui/results/AutoDivisionDialog.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/common/FolderAccess.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ReportDialog.h"
#include "base/task/ScheduleTask.h"

namespace {

const char* const kConfirmation =
    "欢迎使用计算机自动分班。\n所有的学生将重新分班，现有的分班数据将被新的分班结果覆盖。\n\n"
    "点击\"确定\"按钮立即开始自动分班。";

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QString storedReport(const CScheduleTask& task)
{
    return qs(task.GetLastReportInfo().GetReportInfo());
}

// The report after a run that was stopped before it changed anything.
QString cancelledReportText(const CScheduleTask& task)
{
    QString text = QStringLiteral("【分班结果】\n本次自动分班已取消，分班数据没有任何改变。");
    text += CDivisionTableDialog::hasDivision(task) ? QStringLiteral("分班表仍是上一次自动分班的结果。")
                                                    : QStringLiteral("还没有分班结果。");
    const QString previous = storedReport(task);
    if (!previous.isEmpty())
        text += QStringLiteral("\n\n以下是上一次自动分班的报告：\n\n") + previous;
    return text;
}

} // namespace

QString CDivisionCommands::unsavedReason(const CScheduleTask& task)
{
    const CTaskInfo& info = task.GetTaskInfo();
    if (task.IsReadOnly() && CFolderAccess::canWriteIn(info.GetTaskFolder()))
        return QStringLiteral("分班任务正被另一程序使用，已以只读方式打开，结果不能保存到它的文件夹。");
    if (!CFolderAccess::canWriteIn(info.GetTaskFolder()))
        return QStringLiteral("分班任务文件夹 %1 不能写入（只读的共享文件夹或U盘，或者没有写入权限）。")
            .arg(qs(info.GetTaskFolder()));
    return QStringLiteral("无法写入分班数据文件 %1。").arg(qs(info.GetInputFilePath()));
}

QString CDivisionCommands::reportText(const CScheduleTask& task)
{
    QString text = storedReport(task);
    if (text.isEmpty()) {
        text = CDivisionTableDialog::hasDivision(task)
                   ? QStringLiteral("没有找到最近一次自动分班的报告。")
                   : QStringLiteral("还没有进行过自动分班。\n请在“4 自动分班”中点击“开始自动分班”。");
    }
    if (task.IsDirty()) {
        text += QStringLiteral("\n\n【保存结果】\n分班结果没有保存！\n") + unsavedReason(task)
                + QStringLiteral("\n分班结果只在内存中，关闭分班任务或退出程序后将会丢失。"
                                 "您可以把分班任务另存到其他文件夹。");
    }
    return text;
}

bool CDivisionCommands::startDivision(QWidget* parent, CScheduleTask& task, const SaveElsewhere& saveElsewhere)
{
    const auto answer = CMessageBox::show(parent, QString::fromUtf8(kConfirmation), CMessageBox::Icon::Warning,
                                          QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return false;

    int mode = 0;
    int engineResult = DIVISION_RESULT_CANCELLED;
    bool saved = false;
    {
        CAutoDivisionDialog dialog(task, parent);
        dialog.exec();
        mode = dialog.resultCode();
        engineResult = dialog.engineResult();
        saved = dialog.isResultSaved();
    }

    if (engineResult == DIVISION_RESULT_CANCELLED) {
        // No end code arrived: the report opens as after a run that
        // divided, the table showing what the task holds.
        CReportDialog report(cancelledReportText(task), mode, parent);
        return report.exec() == QDialog::Accepted;
    }

    // A cancel that came after the result was written stopped nothing.
    mode = engineResult;
    CScheduleTask* shown = &task;
    QString savedElsewhere;
    if (engineResult != DIVISION_RESULT_REFUSED && !saved) {
        if (CScheduleTask* copy = reportUnsaved(parent, task, QStringLiteral("分班结果"), saveElsewhere)) {
            shown = copy;
            savedElsewhere =
                QStringLiteral("\n\n【保存结果】\n分班任务已另存到 %1").arg(qs(copy->GetTaskInfo().GetTaskFile()));
        }
    }

    CReportDialog report(reportText(*shown) + savedElsewhere, mode, parent);
    return report.exec() == QDialog::Accepted;
}

CScheduleTask* CDivisionCommands::reportUnsaved(QWidget* parent, const CScheduleTask& task, const QString& result,
                                                const SaveElsewhere& saveElsewhere)
{
    QString text = QStringLiteral("%1没有保存！\n").arg(result) + unsavedReason(task)
                   + QStringLiteral("\n\n%1只在内存中，关闭分班任务或退出程序后将会丢失。").arg(result);
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (saveElsewhere) {
        text += QStringLiteral("\n要把分班任务另存到其他文件夹吗？");
        buttons = QMessageBox::Yes | QMessageBox::No;
    }
    if (CMessageBox::show(parent, text, CMessageBox::Icon::Error, buttons) != QMessageBox::Yes)
        return nullptr;
    return saveElsewhere();
}

bool CDivisionCommands::showReport(QWidget* parent, CScheduleTask& task)
{
    CReportDialog report(reportText(task), DIVISION_RESULT_SHOW_REPORT, parent);
    return report.exec() == QDialog::Accepted;
}

void CDivisionCommands::showDivisionTable(QWidget* parent, CScheduleTask& task, const QString& schoolName)
{
    CDivisionTableDialog dialog(task, parent);
    dialog.setSchoolName(schoolName);
    dialog.exec();
}

void CDivisionCommands::showStatistics(QWidget* parent, CScheduleTask& task)
{
    CDivisionStatisticsDialog dialog(task, parent);
    dialog.exec();
}
