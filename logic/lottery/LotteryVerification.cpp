#include "logic/lottery/LotteryVerification.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryDifference.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/lottery/TeacherDraw.h"

#include <map>

namespace {

std::string NameOf(const std::map<std::string, std::string>& names, const std::string& id)
{
    if (id.empty())
        return "（未分班）";
    const auto found = names.find(id);
    return found == names.end() ? id : found->second;
}

void CheckTeachers(const CLotteryRecord::TeacherDraw& draw, const CScheduleTask& task, std::vector<std::string>& lines)
{
    std::vector<CTeacherDraw::Class> classes;
    for (const auto& a : draw.assignments)
        classes.push_back({a.classId, a.className});
    if (!CLotterySeed::Problem(draw.seed).empty()
        || CTeacherDraw::Draw(classes, draw.teachers, draw.seed) != draw.assignments) {
        lines.push_back("班主任抽签：按记录的种子和名单重新抽签，结果与记录不同");
        return;
    }
    for (const auto& a : draw.assignments) {
        const auto* info = task.GetClassInfoList().FindAs<CClassInfo>(a.classId);
        if (!info)
            lines.push_back("班主任抽签：班级 " + a.className + "（" + a.classId + "）已不在任务中");
        else if (info->GetHeadTeacherName() != a.teacher)
            lines.push_back(
                "班主任抽签：班级 " + a.className + " 的班主任应为 " + a.teacher + "，现在是 "
                + (info->GetHeadTeacherName().empty() ? std::string("（空）") : info->GetHeadTeacherName()));
    }
}

} // namespace

CLotteryVerification::Result CLotteryVerification::Verify(const CScheduleTask& task)
{
    Result result;
    CLotteryRecord record;
    std::string inputText;
    switch (CLotteryRecord::Load(task.GetTaskInfo().GetTaskFolder(), record, inputText)) {
    case CLotteryRecord::LoadResult::Missing:
        result.outcome = Outcome::NoRecord;
        result.message = "任务文件夹中没有摇号记录（" + std::string(CLotteryRecord::kFileName) + "），无法核验。";
        return result;
    case CLotteryRecord::LoadResult::Unreadable:
        result.outcome = Outcome::Unreadable;
        result.message = "摇号记录（" + std::string(CLotteryRecord::kFileName) + " 或 " + CLotteryRecord::kInputFileName
                         + "）无法读取或已损坏，无法核验。";
        return result;
    case CLotteryRecord::LoadResult::Loaded: break;
    }

    const std::optional<CLotteryInput> recorded = CLotteryCanonicalForm::ParseInput(inputText);
    if (!recorded || CLotteryDigest::Sha256Hex(inputText) != record.inputDigest) {
        result.otherChanges.push_back("摇号时的输入快照（" + std::string(CLotteryRecord::kInputFileName)
                                      + "）与记录中的输入摘要不符");
    }

    const CLotteryInput now = CLotteryCanonicalForm::InputOf(task);
    if (recorded) {
        result.inputChanges = CLotteryDifference::Describe(*recorded, now);
    }

    // The draw again, from the recorded input.
    if (recorded && CLotterySeed::Problem(record.seed).empty()) {
        const CLotteryDraw::Outcome again = CLotteryDraw::Run(*recorded, record.seed, record.work);
        const std::string digest =
            again.Divided() ? CLotteryDigest::Sha256Hex(CLotteryCanonicalForm::DivisionText(again.division)) : "";
        if (digest != record.resultDigest) {
            result.otherChanges.push_back("按记录的种子和步数重新摇号，结果摘要与记录不同（记录的程序版本 "
                                          + record.version + "）");
        }
        std::map<std::string, std::string> classNames;
        for (const auto& c : now.classes)
            classNames.emplace(c.id, c.name);
        for (const auto& c : recorded->classes)
            classNames.emplace(c.id, c.name);
        const CLotteryCanonicalForm::Division current = CLotteryCanonicalForm::DivisionOf(task);
        std::map<std::string, std::string> studentNames;
        for (const auto& s : recorded->students)
            studentNames.emplace(s.id, s.name);
        for (const auto& s : now.students)
            studentNames.emplace(s.id, s.name);
        for (const auto& [student, drawnClass] : again.division) {
            const auto found = current.find(student);
            const std::string currentClass = found == current.end() ? std::string() : found->second;
            if (found == current.end()) {
                result.divisionChanges.push_back("学生 " + NameOf(studentNames, student) + "（" + student
                                                 + "）：摇号分在 " + NameOf(classNames, drawnClass)
                                                 + "，现在已不在任务中");
            } else if (currentClass != drawnClass) {
                result.divisionChanges.push_back("学生 " + NameOf(studentNames, student) + "（" + student
                                                 + "）：摇号分在 " + NameOf(classNames, drawnClass) + "，现在在 "
                                                 + NameOf(classNames, currentClass));
            }
        }
        for (const auto& [student, currentClass] : current) {
            if (!again.division.count(student))
                result.divisionChanges.push_back("学生 " + NameOf(studentNames, student) + "（" + student
                                                 + "）：摇号时没有这名学生，现在在 "
                                                 + NameOf(classNames, currentClass));
        }
    } else if (recorded) {
        result.otherChanges.push_back("记录中的摇号种子无效：" + record.seed);
    }

    if (record.teacherDraw)
        CheckTeachers(*record.teacherDraw, task, result.otherChanges);

    const bool same = result.inputChanges.empty() && result.divisionChanges.empty() && result.otherChanges.empty();
    result.outcome = same ? Outcome::Consistent : Outcome::Inconsistent;
    result.message = same ? "一致：任务的分班结果就是按记录的种子（" + record.seed + "）和搜索步数（"
                                + std::to_string(record.work) + "）摇号得到的结果。"
                          : std::string("不一致：");
    return result;
}

std::string CLotteryVerification::Text(const Result& result)
{
    std::string text = result.message + "\n";
    const auto section = [&text](const char* title, const std::vector<std::string>& lines) {
        if (lines.empty())
            return;
        text += std::string(title) + "\n";
        for (const std::string& line : lines)
            text += "  " + line + "\n";
    };
    section("摇号后改动的数据：", result.inputChanges);
    section("分班结果与摇号结果不同的学生：", result.divisionChanges);
    section("其他：", result.otherChanges);
    return text;
}
