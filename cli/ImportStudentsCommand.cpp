#include "cli/ImportStudentsCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "logic/editing/StudentTable.h"
#include "logic/import/SpreadsheetReader.h"

CImportStudentsCommand::CImportStudentsCommand()
    : CTaskCommand("import-students", "从表格（.xlsx、.xls、.csv）导入学生，替换任务的学生与成绩科目",
                   Access::Change, {{"表格文件", "缺少要导入的表格文件。"}})
{
}

ExitCode CImportStudentsCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    // As the import wizard feeds an empty students editor: the header row,
    // then every record row; then the editor's save.
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    if (!reader.Open(arguments.operands[1]))
        return console.Error(ExitCode::Import, reader.GetFailureText());
    CStudentTable students;
    RowRequest header;
    header.quiet = true;
    header.mode = RowMode::Header;
    students.SubmitRow(header, reader.GetHeader());
    if (!header.accepted && !header.message.empty())
        return console.Error(ExitCode::Import, header.message);
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        RowRequest request;
        request.quiet = true;
        students.SubmitRow(request, cells);
        if (!request.accepted && !request.message.empty())
            return console.Error(ExitCode::Import, request.message);
    }
    if (reader.Failed())
        return console.Error(ExitCode::Import, reader.GetFailureText());

    // A sheet without a single student never empties the task.
    if (students.GetRowCount() == 0)
        return console.Error(ExitCode::Import, "表格中没有可导入的学生，分班任务没有改变。");
    students.SaveTo(task);
    if (!task.SaveInputData())
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("学生名单"));
    std::string scores;
    for (const std::string& name : students.GetScoreNames())
        scores += (scores.empty() ? "" : "、") + name;
    std::ostream& out = console.Out();
    out << "已导入 " << students.GetRowCount() << " 名学生（工作表“" << reader.GetSheetName() << "”）。\n"
        << "成绩列：" << (scores.empty() ? "无" : scores) << '\n';
    if (const std::size_t nameless = students.NamelessCount())
        out << "其中 " << nameless << " 名学生没有姓名，请检查表格。\n";
    out.flush();
    return ExitCode::Done;
}
