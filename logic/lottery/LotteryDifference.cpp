#include "logic/lottery/LotteryDifference.h"

#include <algorithm>
#include <map>

namespace {

using Names = std::map<std::string, std::string>;

std::string Joined(const std::vector<std::string>& items)
{
    if (items.empty())
        return "（无）";
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "、") + item;
    return text;
}

std::string OnOff(bool on)
{
    return on ? "开" : "关";
}

std::string Bands(const std::vector<int>& bands)
{
    std::string text;
    for (int limit : bands)
        text += (text.empty() ? "" : ",") + std::to_string(limit);
    return text.empty() ? "关" : text;
}

std::string Shown(const std::string& value)
{
    return value.empty() ? "（空）" : value;
}

std::string StudentLabel(const CLotteryInput::Student& s)
{
    return "学生 " + s.name + "（" + s.id + "）";
}

std::string ClassLabel(const CLotteryInput::Class& c)
{
    return "班级 " + c.name + "（" + c.id + "）";
}

template <class T>
std::map<std::string, const T*> ById(const std::vector<T>& list)
{
    std::map<std::string, const T*> map;
    for (const T& item : list)
        map.emplace(item.id, &item);
    return map;
}

// Walks two maps in key order: change(a, b) for keys in both, gone(a),
// added(b).
template <class Map, class Change, class Gone, class Added>
void Compare(const Map& before, const Map& now, Change change, Gone gone, Added added)
{
    auto a = before.begin();
    auto b = now.begin();
    while (a != before.end() || b != now.end()) {
        if (b == now.end() || (a != before.end() && a->first < b->first)) {
            gone(*a->second);
            ++a;
        } else if (a == before.end() || b->first < a->first) {
            added(*b->second);
            ++b;
        } else {
            change(*a->second, *b->second);
            ++a;
            ++b;
        }
    }
}

std::string ColumnName(const std::vector<std::string>& names, std::size_t k, const char* fallback)
{
    return k < names.size() && !names[k].empty() ? names[k] : fallback + std::to_string(k + 1);
}

void StudentChanges(const CLotteryInput& before, const CLotteryInput& now, const CLotteryInput::Student& a,
                    const CLotteryInput::Student& b, std::vector<std::string>& lines)
{
    const std::string label = StudentLabel(b);
    if (a.name != b.name)
        lines.push_back(label + "：姓名 " + Shown(a.name) + " → " + Shown(b.name));
    if (a.sex != b.sex)
        lines.push_back(label + "：性别 " + (a.sex == 0 ? "女" : "男") + " → " + (b.sex == 0 ? "女" : "男"));
    if (a.school != b.school)
        lines.push_back(label + "：原学校 " + Shown(a.school) + " → " + Shown(b.school));
    for (std::size_t k = 0; k < std::max(a.scores.size(), b.scores.size()); ++k) {
        const std::string from = k < a.scores.size() ? a.scores[k] : std::string();
        const std::string to = k < b.scores.size() ? b.scores[k] : std::string();
        if (from != to)
            lines.push_back(label + "：" + ColumnName(now.subjects, k, "成绩") + " " + Shown(from) + " → " + Shown(to));
    }
    if (before.conditionNames == now.conditionNames && a.conditions != b.conditions) {
        for (std::size_t k = 0; k < std::min(a.conditions.size(), b.conditions.size()); ++k) {
            if (a.conditions[k] != b.conditions[k])
                lines.push_back(label + "：" + ColumnName(now.conditionNames, k, "条件") + " " + Shown(a.conditions[k])
                                + " → " + Shown(b.conditions[k]));
        }
    }
}

void GroupChanges(const char* kind, const std::vector<CLotteryInput::Group>& before,
                  const std::vector<CLotteryInput::Group>& now, const Names& names, std::vector<std::string>& lines)
{
    const auto members = [&names](const std::vector<std::string>& ids) {
        std::vector<std::string> shown;
        for (const std::string& id : ids) {
            const auto found = names.find(id);
            shown.push_back(found == names.end() ? id : found->second);
        }
        return Joined(shown);
    };
    std::map<std::string, std::vector<std::vector<std::string>>> a;
    std::map<std::string, std::vector<std::vector<std::string>>> b;
    for (const auto& g : before)
        a[g.id].push_back(g.members);
    for (const auto& g : now)
        b[g.id].push_back(g.members);
    for (const auto& [id, list] : a) {
        const auto found = b.find(id);
        if (found == b.end())
            lines.push_back(std::string(kind) + " " + id + " 已删除：" + members(list.front()));
        else if (found->second != list)
            lines.push_back(std::string(kind) + " " + id + " 成员 " + members(list.front()) + " → "
                            + members(found->second.front()));
    }
    for (const auto& [id, list] : b) {
        if (!a.count(id))
            lines.push_back(std::string(kind) + " " + id + " 是新增的：" + members(list.front()));
    }
}

} // namespace

std::vector<std::string> CLotteryDifference::Describe(const CLotteryInput& before, const CLotteryInput& now)
{
    std::vector<std::string> lines;
    if (before.subjects != now.subjects)
        lines.push_back("科目 " + Joined(before.subjects) + " → " + Joined(now.subjects));
    if (before.conditionNames != now.conditionNames)
        lines.push_back("条件列 " + Joined(before.conditionNames) + " → " + Joined(now.conditionNames));
    if (before.sameNameApart != now.sameNameApart)
        lines.push_back("规则 同名学生分开 " + OnOff(before.sameNameApart) + " → " + OnOff(now.sameNameApart));
    if (before.sameSoundApart != now.sameSoundApart)
        lines.push_back("规则 同音学生分开 " + OnOff(before.sameSoundApart) + " → " + OnOff(now.sameSoundApart));
    if (before.scoreBands != now.scoreBands)
        lines.push_back("规则 分数段均衡 " + Bands(before.scoreBands) + " → " + Bands(now.scoreBands));

    Compare(
        ById(before.classes), ById(now.classes),
        [&](const CLotteryInput::Class& a, const CLotteryInput::Class& b) {
            if (a.name != b.name)
                lines.push_back(ClassLabel(a) + "：名称 " + Shown(a.name) + " → " + Shown(b.name));
            if (a.planned != b.planned)
                lines.push_back(ClassLabel(b) + "：计划人数 " + std::to_string(a.planned) + " → "
                                + std::to_string(b.planned));
        },
        [&](const CLotteryInput::Class& a) { lines.push_back(ClassLabel(a) + " 已删除"); },
        [&](const CLotteryInput::Class& b) { lines.push_back(ClassLabel(b) + " 是新增的"); });

    Compare(
        ById(before.students), ById(now.students),
        [&](const CLotteryInput::Student& a, const CLotteryInput::Student& b) {
            StudentChanges(before, now, a, b, lines);
        },
        [&](const CLotteryInput::Student& a) { lines.push_back(StudentLabel(a) + " 已删除"); },
        [&](const CLotteryInput::Student& b) { lines.push_back(StudentLabel(b) + " 是新增的"); });

    std::map<std::string, std::string> presetsBefore;
    std::map<std::string, std::string> presetsNow;
    for (const auto& p : before.presets)
        presetsBefore[p.studentId] = p.classId;
    for (const auto& p : now.presets)
        presetsNow[p.studentId] = p.classId;
    const auto className = [&now, &before](const std::string& id) {
        for (const auto* input : {&now, &before}) {
            for (const auto& c : input->classes) {
                if (c.id == id)
                    return c.name;
            }
        }
        return id;
    };
    const auto studentName = [&now, &before](const std::string& id) {
        for (const auto* input : {&now, &before}) {
            const auto found =
                std::lower_bound(input->students.begin(), input->students.end(), id,
                                 [](const CLotteryInput::Student& s, const std::string& key) { return s.id < key; });
            if (found != input->students.end() && found->id == id)
                return "学生 " + found->name + "（" + id + "）";
        }
        return "学生 " + id;
    };
    for (const auto& [student, classId] : presetsBefore) {
        const auto found = presetsNow.find(student);
        if (found == presetsNow.end())
            lines.push_back(studentName(student) + "：预先分班 " + className(classId) + " 已取消");
        else if (found->second != classId)
            lines.push_back(studentName(student) + "：预先分班 " + className(classId) + " → "
                            + className(found->second));
    }
    for (const auto& [student, classId] : presetsNow) {
        if (!presetsBefore.count(student))
            lines.push_back(studentName(student) + "：新增预先分班 " + className(classId));
    }

    Names names;
    for (const auto* input : {&now, &before}) {
        for (const auto& s : input->students)
            names.emplace(s.id, s.name);
    }
    GroupChanges("互斥组", before.exclusiveGroups, now.exclusiveGroups, names, lines);
    GroupChanges("同班学生组", before.togetherGroups, now.togetherGroups, names, lines);
    return lines;
}
