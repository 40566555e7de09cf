#include "cli/MoveCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/RecordFinder.h"
#include "core/DivisionBalance.h"
#include "core/DivisionEditor.h"

CMoveCommand::CMoveCommand()
    : CTaskCommand(
        "move", "把一名学生调到一个班级（姓名、名称或ID），先检查预排、\n互斥组与计划人数；--force 违反规则也调整",
        Access::Change, {{"学生", "缺少要调整的学生（姓名或ID）。"}, {"班级", "缺少要调到的班级（名称或ID）。"}},
        {{"--force", "", ""}})
{
}

ExitCode CMoveCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const bool force = arguments.Has("--force");
    std::string studentId;
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console)
                                   .StudentAndClass(arguments.operands[1], arguments.operands[2], studentId, classId);
        found != ExitCode::Done)
        return found;

    CDivisionEditor editor(task);
    std::string problem;
    const auto change = editor.MakeMove({studentId}, classId, problem);
    if (!change) {
        console.Out() << problem << "没有调整。" << std::endl;
        return ExitCode::Done;
    }
    std::ostream& err = console.Err();
    const std::vector<CDivisionEditor::Breach> breaches = editor.Check(*change);
    for (const CDivisionEditor::Breach& breach : breaches)
        err << (force ? "注意：" : "错误：") << breach.text << '\n';
    if (!breaches.empty() && !force) {
        err << "没有调整。要仍然调整，请加 --force。" << std::endl;
        switch (breaches.front().rule) {
        case CDivisionEditor::Rule::PresetClass: return ExitCode::PresetClass;
        case CDivisionEditor::Rule::ExclusiveGroup: return ExitCode::ExclusiveGroup;
        case CDivisionEditor::Rule::TogetherGroup: return ExitCode::TogetherGroup;
        case CDivisionEditor::Rule::SameName: return ExitCode::SameName;
        case CDivisionEditor::Rule::Capacity: return ExitCode::Capacity;
        }
    }

    const auto className = [&task](const std::string& id) { return CRecordFinder::ClassNameOrNone(task, id); };
    const CDivisionBalance before = CDivisionBalance::Of(task);
    const std::string from = className(change->GetSteps().front().fromClassId);
    if (!editor.Apply(*change))
        return console.Error(ExitCode::NotSaved, CommandTexts::ChangeNotSaved("调整"));
    console.Out() << "已把 " << task.GetStudentName(studentId) << " 从 " << from << " 调到 " << className(classId)
                  << "。\n"
                  << CDivisionBalance::Describe(CDivisionBalance::Of(task), &before) << std::endl;
    return ExitCode::Done;
}
