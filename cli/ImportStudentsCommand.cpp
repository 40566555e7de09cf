#include "cli/ImportStudentsCommand.h"

#include "logic/session/StudentImport.h"

CImportStudentsCommand::CImportStudentsCommand()
    : CTaskCommand("import-students", "从表格（.xlsx、.xls、.csv）导入学生，替换任务的学生与成绩科目", Access::Change,
                   {{"表格文件", "缺少要导入的表格文件。"}})
{
}

ExitCode CImportStudentsCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    // As the import wizard feeds an empty students editor: the header row,
    // then every record row; then the editor's save.
    const CStudentImport::Result result = CStudentImport::Run(task, arguments.operands[1]);
    switch (result.outcome) {
    case CStudentImport::Outcome::Imported: break;
    case CStudentImport::Outcome::NotSaved: return console.Error(ExitCode::NotSaved, result.message);
    default: return console.Error(ExitCode::Import, result.message);
    }
    console.Out() << CStudentImport::Summary(result);
    console.Out().flush();
    return ExitCode::Done;
}
