#include "DivisionCommands.h"

#include "AutoDivisionDlg.h"
#include "Core.h"
#include "DivisionStatisticsDlg.h"
#include "DivisionTableDlg.h"
#include "MessageBox.h"
#include "ReportDlg.h"
#include "ScheduleTask.h"

#include <QApplication>
#include <QCursor>

namespace {

const char* const kConfirmation =
    "欢迎使用计算机自动分班。\n所有的学生将重新分班，现有的分班数据将被新的分班结果覆盖。\n\n"
    "点击\"确定\"按钮立即开始自动分班。";

QString reportText(const CScheduleTask& task)
{
    return QString::fromStdString(task.GetLastReportInfo().GetReportInfo());
}

// A cancelled worker may still be finishing a step; nothing may read the
// task until it has let go of it.
void waitUntilTaskIsFree(const CScheduleTask& task)
{
    if (!CCore::IsTaskBusy(&task))
        return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    CCore::WaitForTask(&task);
    QApplication::restoreOverrideCursor();
}

} // namespace

bool CDivisionCommands::startDivision(QWidget* parent, CScheduleTask& task)
{
    const auto answer = CMessageBox::show(parent, QString::fromUtf8(kConfirmation), CMessageBox::Icon::Warning,
                                          QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return false;

    int resultCode = 0;
    {
        CAutoDivisionDlg dialog(task, parent);
        dialog.exec();
        resultCode = dialog.resultCode();
        // The dialog is the engine's owner: it stays alive until a worker
        // that outlived the cancel has let go of the task, so that no late
        // notification can reach a destroyed window.
        waitUntilTaskIsFree(task);
    }

    CReportDlg report(reportText(task), resultCode, parent);
    return report.exec() == QDialog::Accepted;
}

bool CDivisionCommands::showReport(QWidget* parent, CScheduleTask& task)
{
    waitUntilTaskIsFree(task);
    CReportDlg report(reportText(task), DIVISION_RESULT_SHOW_REPORT, parent);
    return report.exec() == QDialog::Accepted;
}

void CDivisionCommands::showDivisionTable(QWidget* parent, CScheduleTask& task)
{
    waitUntilTaskIsFree(task);
    CDivisionTableDlg dialog(task, parent);
    dialog.exec();
}

void CDivisionCommands::showStatistics(QWidget* parent, CScheduleTask& task)
{
    waitUntilTaskIsFree(task);
    CDivisionStatisticsDlg dialog(task, parent);
    dialog.exec();
}
