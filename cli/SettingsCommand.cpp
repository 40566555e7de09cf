#include "cli/SettingsCommand.h"

#include "base/task/ScheduleTask.h"

CSettingsCommand::CSettingsCommand()
    : CTaskCommand("settings", "输出分班规则（同名、同音学生分开，分数段均衡，同班学生组，特别条件）", Access::Read)
{
}

ExitCode CSettingsCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    const CDivisionRules& rules = task.GetDivisionRules();
    const auto onOff = [](bool on) { return on ? "开" : "关"; };
    std::ostream& out = console.Out();
    out << "同名学生分开\t" << onOff(rules.GetSameNameApart()) << '\n';
    out << "同音学生分开\t" << onOff(rules.GetSameSoundApart()) << '\n';
    out << "分数段均衡\t"
        << (rules.GetScoreBands().empty() ? std::string("关") : CDivisionRules::ScoreBandsText(rules.GetScoreBands()))
        << '\n';
    out << "同班学生组\t" << rules.TogetherGroups().size() << '\n';
    const std::vector<std::string>& names = rules.GetConditionNames();
    for (std::size_t column = 0; column < names.size(); ++column) {
        out << "特别条件\t" << names[column] << '\t';
        const std::vector<std::string> categories = rules.ConditionCategories(column);
        for (std::size_t i = 0; i < categories.size(); ++i)
            out << (i ? "，" : "") << categories[i];
        out << '\n';
    }
    if (task.IsRulesFileDamaged())
        console.Err() << "注意：分班规则文件无法读取，以上为默认设置。" << std::endl;
    out.flush();
    return ExitCode::Done;
}
