#include "cli/AddGroupCommand.h"

#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "cli/EditorListCommand.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/MutexGroupRows.h"
#include "logic/editing/MutexNameParser.h"

#include <memory>

CAddGroupCommand::CAddGroupCommand()
    : CTaskCommand("add-group", "添加一个互斥学生组：姓名以逗号（全角或半角）或换行分隔，\n至少两名学生",
                   Access::Change, {{"\"张三，李四,王五\"", "缺少互斥学生组的学生姓名（以逗号分隔）。"}})
{
}

ExitCode CAddGroupCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const CMutexNameParser::Group read = CMutexNameParser::ReadGroup(task, arguments.operands[1]);
    using Outcome = CMutexNameParser::Group::Outcome;
    switch (read.outcome) {
    case Outcome::NoName: return console.Usage(read.message);
    case Outcome::NoStudent: return console.Error(ExitCode::NoStudent, read.message);
    case Outcome::OneStudent: return console.Error(ExitCode::TooFewMembers, read.message);
    case Outcome::Made: break;
    }
    if (!read.message.empty())
        console.Err() << "注意：" << read.message << std::endl;

    CListEditorRows rows;
    CEditorListCommand::LoadRows(task, rows, &CMutexGroupRows::LoadInMemory);
    std::unique_ptr<CMutexStudent> group = CMutexGroupRows::NewGroup(read.ids);
    std::vector<std::string> cells = CMutexGroupRows::Cells(task, *group, rows.RowCount());
    rows.Append(cells, std::move(group));
    CMutexGroupRows::SaveTo(task, rows);
    if (!SaveChange(task, "互斥学生组", console))
        return ExitCode::NotSaved;
    console.Out() << "已添加互斥学生组 " << cells[CMutexGroupRows::ColumnNumber] << "："
                  << cells[CMutexGroupRows::ColumnNames] << std::endl;
    return ExitCode::Done;
}
