#include "logic/editing/MutexNameParser.h"

#include "base/task/ScheduleTask.h"
#include "logic/import/SheetText.h"

#include <algorithm>
#include <unordered_map>

namespace {
// "王五，赵六": names as the group dialog lists them.
std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i ? "，" : "") + names[i];
    return text;
}
} // namespace

std::vector<std::string> CMutexNameParser::SplitNames(std::string_view text)
{
    // At equal positions the separator listed first wins ("\r\n" before "\n").
    static constexpr std::string_view separators[] = {",", "\xEF\xBC\x8C" /* ， */, "\r\n", "\n"};
    std::vector<std::string> names;
    auto take = [&names](std::string_view name) {
        name = CSheetText::Trim(name);
        if (!name.empty())
            names.emplace_back(name);
    };
    while (!text.empty()) {
        std::size_t at = std::string_view::npos;
        std::size_t length = 0;
        for (std::string_view separator : separators) {
            const std::size_t found = text.find(separator);
            if (found < at) {
                at = found;
                length = separator.size();
            }
        }
        if (at == std::string_view::npos) {
            take(text);
            break;
        }
        take(text.substr(0, at));
        text.remove_prefix(at + length);
    }
    return names;
}

CMutexNameParser::Match CMutexNameParser::MatchStudents(const CScheduleTask& task,
                                                        const std::vector<std::string>& names)
{
    // The first student of each trimmed name, in the list's order.
    std::unordered_map<std::string_view, const CQZObject*> byName;
    const CQZObjectList& students = task.GetStudentInfoList();
    byName.reserve(students.GetCount());
    for (const CQZObjectList::Entry& entry : students) {
        if (entry.object)
            byName.emplace(CSheetText::Trim(entry.object->NameRef()), entry.object.get());
    }
    Match match;
    for (const std::string& name : names) {
        const auto found = byName.find(name);
        if (found == byName.end()) {
            match.unmatched.push_back(name);
        } else {
            match.ids.push_back(found->second->GetId());
            match.names.push_back(found->second->GetName());
        }
    }
    return match;
}

CMutexNameParser::Group CMutexNameParser::ReadGroup(const CScheduleTask& task, std::string_view text, const Kind& kind)
{
    Group group;
    const std::vector<std::string> names = SplitNames(text);
    if (names.empty()) {
        group.message = "请输入有效的学生姓名列表，以逗号分隔";
        return group;
    }
    Match match = MatchStudents(task, names);
    if (match.ids.empty()) {
        group.outcome = Group::Outcome::NoStudent;
        group.message = "在学生列表中没有找到对应的学生信息：" + JoinNames(match.unmatched)
                        + "\n请确认输入的学生姓名有效并以逗号分隔。";
        return group;
    }
    if (kind.distinct) {
        std::vector<std::string> ids;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < match.ids.size(); ++i) {
            if (std::find(ids.begin(), ids.end(), match.ids[i]) == ids.end()) {
                ids.push_back(match.ids[i]);
                names.push_back(match.names[i]);
            }
        }
        match.ids = std::move(ids);
        match.names = std::move(names);
    }
    if (match.ids.size() == 1) {
        group.outcome = Group::Outcome::OneStudent;
        group.message = std::string(kind.label)
                        + "至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：" + match.names.front();
        if (!match.unmatched.empty())
            group.message += "\n没有找到的学生：" + JoinNames(match.unmatched);
        return group;
    }
    group.outcome = Group::Outcome::Made;
    group.ids = std::move(match.ids);
    if (!match.unmatched.empty()) {
        group.message = "部分学生姓名在学生列表中没有找到对应的信息：\n" + JoinNames(match.unmatched);
    }
    return group;
}
