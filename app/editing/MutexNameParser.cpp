#include "MutexNameParser.h"

#include "ScheduleTask.h"
#include "SheetText.h"

#include <unordered_map>

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
