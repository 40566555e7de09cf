#include "logic/session/StudentImport.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/StudentTable.h"
#include "logic/import/SpreadsheetReader.h"
#include "logic/session/SheetImport.h"

#include <utility>

CStudentImport::Result CStudentImport::Run(CScheduleTask& task, const std::string& file)
{
    Result result;
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    if (!reader.Open(file)) {
        result.outcome = Outcome::Unreadable;
        result.message = reader.GetFailureText();
        return result;
    }
    Result imported;
    imported.sheetName = reader.GetSheetName();
    {
        CStudentTable students;
        const CSheetImport::Result fed = CSheetImport::Feed(
            reader, [&students](RowMode mode, const std::vector<std::string>& cells, int, RowRequest& answer) {
                answer.quiet = true;
                answer.mode = mode;
                students.SubmitRow(answer, cells);
                return true;
            });
        if (fed.outcome != CSheetImport::Outcome::Done) {
            result.outcome = Outcome::Unreadable;
            result.message = fed.error;
            return result;
        }
        // A sheet without a single student never empties the task.
        if (students.GetRowCount() == 0) {
            result.outcome = Outcome::Empty;
            result.message = "表格中没有可导入的学生，分班任务没有改变。";
            return result;
        }
        imported.students = students.GetRowCount();
        imported.nameless = students.NamelessCount();
        imported.scoreNames = students.GetScoreNames();
        imported.conditionNames = students.GetConditionNames();
        students.MoveTo(task);
    } // the table goes before the save, which needs the memory for the file
    if (!task.SaveInputData()) {
        result.outcome = Outcome::NotSaved;
        result.message = "学生名单未能保存到任务文件夹。";
        return result;
    }
    result = std::move(imported);
    return result;
}

std::string CStudentImport::Summary(const Result& result)
{
    std::string scores;
    for (const std::string& name : result.scoreNames)
        scores += (scores.empty() ? "" : "、") + name;
    std::string text = "已导入 " + std::to_string(result.students) + " 名学生（工作表“" + result.sheetName + "”）。\n"
                       + "成绩列：" + (scores.empty() ? "无" : scores) + '\n';
    std::string conditions;
    for (const std::string& name : result.conditionNames)
        conditions += (conditions.empty() ? "" : "、") + name;
    if (!conditions.empty())
        text += "特别条件列：" + conditions + '\n';
    if (result.nameless > 0)
        text += "其中 " + std::to_string(result.nameless) + " 名学生没有姓名，请检查表格。\n";
    return text;
}
