#include "logic/lottery/TeacherDraw.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "core/BalanceRandom.h"
#include "logic/lottery/LotterySeed.h"

#include <algorithm>
#include <set>

namespace {

// The name without the spaces around it, full-width ones included.
std::string Trimmed(std::string text)
{
    static const std::string kWide = "\xE3\x80\x80";
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (bool changed = true; changed;) {
        changed = false;
        if (!text.empty() && isSpace(text.front())) {
            text.erase(0, 1);
            changed = true;
        } else if (text.compare(0, kWide.size(), kWide) == 0) {
            text.erase(0, kWide.size());
            changed = true;
        }
        if (!text.empty() && isSpace(text.back())) {
            text.pop_back();
            changed = true;
        } else if (text.size() >= kWide.size() && text.compare(text.size() - kWide.size(), kWide.size(), kWide) == 0) {
            text.erase(text.size() - kWide.size());
            changed = true;
        }
    }
    // A name is one field of the record.
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

} // namespace

std::vector<CTeacherDraw::Class> CTeacherDraw::ClassesOf(const CScheduleTask& task)
{
    std::vector<Class> classes;
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        classes.push_back({info->GetId(), info->GetName()});
    std::sort(classes.begin(), classes.end(), [](const Class& a, const Class& b) { return a.id < b.id; });
    return classes;
}

std::vector<std::string> CTeacherDraw::TeachersOf(const CScheduleTask& task)
{
    std::vector<std::string> teachers;
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>()) {
        const std::string name = Trimmed(info->GetHeadTeacherName());
        if (name.empty())
            return {};
        teachers.push_back(name);
    }
    return teachers;
}

std::vector<std::string> CTeacherDraw::ParseTeacherList(const std::string& text)
{
    std::vector<std::string> teachers;
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string name = Trimmed(text.substr(start, end - start));
        if (!name.empty())
            teachers.push_back(name);
        start = end + 1;
    }
    return teachers;
}

std::string CTeacherDraw::Problem(const std::vector<Class>& classes, const std::vector<std::string>& teachers)
{
    if (classes.empty())
        return "任务中没有班级，无法抽签。";
    if (teachers.size() != classes.size())
        return "班主任人数（" + std::to_string(teachers.size()) + "）与班级数（" + std::to_string(classes.size())
               + "）不同，无法抽签。";
    std::set<std::string> seen;
    for (const std::string& teacher : teachers) {
        if (!seen.insert(teacher).second)
            return "班主任名单中有重名：" + teacher + "。请加以区分（如“王芳（语文）”）后再抽签。";
    }
    return {};
}

std::vector<CTeacherDraw::Assignment> CTeacherDraw::Draw(std::vector<Class> classes, std::vector<std::string> teachers,
                                                         const std::string& seedDigits)
{
    std::sort(classes.begin(), classes.end(), [](const Class& a, const Class& b) { return a.id < b.id; });
    std::sort(teachers.begin(), teachers.end());
    CBalanceRandom random(CLotterySeed::Value(seedDigits));
    for (std::size_t i = teachers.size(); i > 1; --i) {
        const std::size_t j = static_cast<std::size_t>(random.Below(static_cast<int>(i)));
        std::swap(teachers[i - 1], teachers[j]);
    }
    std::vector<Assignment> assignments;
    for (std::size_t k = 0; k < classes.size() && k < teachers.size(); ++k)
        assignments.push_back({classes[k].id, classes[k].name, teachers[k]});
    return assignments;
}

void CTeacherDraw::Apply(const std::vector<Assignment>& assignments, CScheduleTask& task)
{
    for (const Assignment& assignment : assignments) {
        if (auto* info = task.GetClassInfoList().FindAs<CClassInfo>(assignment.classId))
            info->SetHeadTeacherName(assignment.teacher);
    }
}
