#include "cli/SetCommand.h"

#include "base/task/ScheduleTask.h"

namespace {

constexpr const char* kSameName = "same-name-apart";
constexpr const char* kSameSound = "same-sound-apart";
constexpr const char* kScoreBands = "score-bands";

// "on"/"off" (also 开/关), or nothing.
std::optional<bool> Switch(const std::string& text)
{
    if (text == "on" || text == "开")
        return true;
    if (text == "off" || text == "关")
        return false;
    return std::nullopt;
}

// The limits of "score-bands VALUE": a list, "on" for the default ones, or
// "off" (empty).
std::optional<std::vector<int>> Bands(const std::string& text)
{
    if (const std::optional<bool> on = Switch(text))
        return *on ? CDivisionRules::DefaultScoreBands() : std::vector<int>{};
    return CDivisionRules::ParseScoreBands(text);
}

} // namespace

CSetCommand::CSetCommand()
    : CTaskCommand("set",
                   "设置分班规则：same-name-apart on|off（同名学生分开）、same-sound-apart on|off（同音学生分开）、\n"
                   "score-bands 10,30,60|on|off（分数段均衡，按总分名次的百分比分段）",
                   Access::Change, {{"规则", "缺少要设置的规则。"}, {"值", "缺少规则的值。"}})
{
}

std::optional<ExitCode> CSetCommand::Check(const CArguments& arguments, CConsole& console) const
{
    const std::string& rule = arguments.operands[1];
    const std::string& value = arguments.operands[2];
    if (rule == kSameName || rule == kSameSound) {
        if (!Switch(value))
            return console.Usage(rule + " 的值应为 on 或 off。");
    } else if (rule == kScoreBands) {
        if (!Bands(value))
            return console.Usage(
                "分数段应为由小到大、介于 1 与 99 之间的百分数，以逗号分隔（如 10,30,60），或 on、off。");
    } else {
        return console.Usage("没有规则 " + rule + "：可设置 same-name-apart、same-sound-apart、score-bands。");
    }
    return std::nullopt;
}

ExitCode CSetCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const std::string& rule = arguments.operands[1];
    const std::string& value = arguments.operands[2];
    if (const std::optional<ExitCode> refused = RefuseDamagedRules(task, "分班规则", console))
        return *refused;
    CDivisionRules& rules = task.GetDivisionRules();
    std::string said;
    if (rule == kScoreBands) {
        rules.SetScoreBands(*Bands(value));
        said = rules.GetScoreBands().empty() ? "分数段均衡：关"
                                             : "分数段均衡：" + CDivisionRules::ScoreBandsText(rules.GetScoreBands());
    } else {
        const bool on = *Switch(value);
        if (rule == kSameName)
            rules.SetSameNameApart(on);
        else
            rules.SetSameSoundApart(on);
        said = std::string(rule == kSameName ? "同名学生分开：" : "同音学生分开：") + (on ? "开" : "关");
    }
    if (!SaveChange(task, "分班规则", console))
        return ExitCode::NotSaved;
    console.Out() << said << std::endl;
    return ExitCode::Done;
}
