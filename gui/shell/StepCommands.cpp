#include "gui/shell/StepCommands.h"

namespace {
constexpr CStepCommands::Button kButtons[] = {
    {0, StepCommandId::OpenTask, "打开分班任务", "open_task"},
    {0, StepCommandId::NewTask, "创建新分班任务", "new_task"},
    {1, StepCommandId::ClassInfo, "班级信息", "classes"},
    {1, StepCommandId::StudentInfo, "学生信息", "students"},
    {2, StepCommandId::StudentPreset, "预分班", "preset"},
    {2, StepCommandId::MutexStudent, "互斥学生组", "mutex"},
    {2, StepCommandId::TogetherStudent, "同班学生组", "together"},
    {2, StepCommandId::DivisionRules, "分班规则", "rules"},
    {3, StepCommandId::StartDivision, "开始自动分班", "start_division"},
    {3, StepCommandId::DivisionReport, "自动分班报告", "report"},
    {3, StepCommandId::BalanceDivision, "均衡优化", "balance"},
    {3, StepCommandId::LotteryDivision, "摇号分班", "lottery"},
    {4, StepCommandId::DivisionTable, "分班表", "division_table"},
    {4, StepCommandId::DivisionStatistics, "分班统计表", "statistics"},
};
} // namespace

std::span<const CStepCommands::Button> CStepCommands::all()
{
    return kButtons;
}
