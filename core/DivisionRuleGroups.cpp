#include "core/DivisionRuleGroups.h"

#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "base/task/ScheduleTask.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace {

// Union-find over positions, the smaller root kept so that results do not
// depend on the order of unions.
class CUnion
{
public:
    explicit CUnion(std::size_t count) : m_parent(count) { std::iota(m_parent.begin(), m_parent.end(), 0); }
    int Find(int x)
    {
        while (m_parent[static_cast<std::size_t>(x)] != x) {
            m_parent[static_cast<std::size_t>(x)] =
                m_parent[static_cast<std::size_t>(m_parent[static_cast<std::size_t>(x)])];
            x = m_parent[static_cast<std::size_t>(x)];
        }
        return x;
    }
    void Join(int a, int b)
    {
        a = Find(a);
        b = Find(b);
        if (a != b)
            m_parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    }

private:
    std::vector<int> m_parent;
};

std::string Trimmed(const std::string& name)
{
    const auto first = name.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

// The together groups of the task merged where they share a student: each
// as the ids of its students, in the order first met.
std::vector<std::vector<std::string>> MergedGroups(const CScheduleTask& task)
{
    const auto& groups = task.GetDivisionRules().TogetherGroups();
    std::vector<std::string> ids;
    std::map<std::string, int> index;
    for (const auto& group : groups) {
        for (const std::string& id : group.studentIds) {
            if (task.GetStudentInfoList().Find(id) && index.emplace(id, static_cast<int>(ids.size())).second)
                ids.push_back(id);
        }
    }
    CUnion joined(ids.size());
    for (const auto& group : groups) {
        int first = -1;
        for (const std::string& id : group.studentIds) {
            const auto found = index.find(id);
            if (found == index.end())
                continue;
            if (first < 0)
                first = found->second;
            else
                joined.Join(first, found->second);
        }
    }
    std::vector<std::vector<std::string>> merged;
    std::vector<int> groupOfRoot(ids.size(), -1);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto root = static_cast<std::size_t>(joined.Find(static_cast<int>(i)));
        if (groupOfRoot[root] < 0) {
            groupOfRoot[root] = static_cast<int>(merged.size());
            merged.emplace_back();
        }
        merged[static_cast<std::size_t>(groupOfRoot[root])].push_back(ids[i]);
    }
    std::erase_if(merged, [](const std::vector<std::string>& group) { return group.size() < 2; });
    return merged;
}

} // namespace

CDivisionRuleGroups::CDivisionRuleGroups(const CScheduleTask& task,
                                         const std::unordered_map<std::string_view, int>& position,
                                         const std::vector<std::string>& names)
    : m_togetherOf(names.size(), -1), m_apartOf(names.size(), -1)
{
    const CDivisionRules& rules = task.GetDivisionRules();
    for (const std::vector<std::string>& ids : MergedGroups(task)) {
        std::vector<int> members;
        for (const std::string& id : ids) {
            const auto found = position.find(id);
            if (found != position.end() && found->second >= 0)
                members.push_back(found->second);
        }
        if (members.size() < 2)
            continue;
        for (const int member : members)
            m_togetherOf[static_cast<std::size_t>(member)] = static_cast<int>(m_together.size());
        m_together.push_back(std::move(members));
    }

    if (!rules.GetSameNameApart() && !rules.GetSameSoundApart())
        return;
    std::map<std::string, std::vector<int>> byKey;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = Trimmed(names[i]);
        if (name.empty())
            continue;
        byKey[rules.GetSameSoundApart() ? task.GetNameSound(name) : name].push_back(static_cast<int>(i));
    }
    for (auto& [key, members] : byKey) {
        if (members.size() < 2)
            continue;
        for (const int member : members)
            m_apartOf[static_cast<std::size_t>(member)] = static_cast<int>(m_apart.size());
        m_apart.push_back(std::move(members));
    }
}

std::vector<std::string> CDivisionRuleGroups::Check(const CScheduleTask& task)
{
    std::vector<std::string> messages;
    const std::vector<std::vector<std::string>> groups = MergedGroups(task);
    if (groups.empty())
        return messages;

    std::uint64_t largest = 0;
    for (const auto& entry : task.GetClassInfoList())
        largest =
            std::max<std::uint64_t>(largest, static_cast<const CClassInfo*>(entry.object.get())->GetStudentCount());

    for (const std::vector<std::string>& group : groups) {
        const std::string named = "同班学生组（" + task.GetStudentNameList(group) + "）";
        if (group.size() > largest) {
            messages.push_back(named + "人数 " + std::to_string(group.size()) + " 超出了最大班级的计划人数 "
                               + std::to_string(largest));
        }

        std::vector<std::string> presetClasses;
        std::string presets;
        for (const std::string& id : group) {
            const auto* preset = static_cast<const CStudentPreset*>(task.GetStudentPresetList().Find(id));
            if (!preset || !task.GetClassInfoList().Find(preset->GetPresetClassId()))
                continue;
            if (std::find(presetClasses.begin(), presetClasses.end(), preset->GetPresetClassId())
                == presetClasses.end())
                presetClasses.push_back(preset->GetPresetClassId());
            presets += (presets.empty() ? "" : "，") + task.GetStudentName(id) + "（"
                       + task.GetClassName(preset->GetPresetClassId()) + "）";
        }
        if (presetClasses.size() > 1)
            messages.push_back(named + "中的学生预分在不同的班级：" + presets);

        for (const auto& entry : task.GetMutexStudentList()) {
            const auto& mutex = static_cast<const CMutexStudent*>(entry.object.get())->GetMutexStudents();
            std::vector<std::string> shared;
            for (const std::string& id : group) {
                if (std::find(mutex.begin(), mutex.end(), id) != mutex.end())
                    shared.push_back(id);
            }
            if (shared.size() >= 2) {
                messages.push_back(named + "与互斥学生组（" + task.GetStudentNameList(mutex) + "）有共同的学生 "
                                   + task.GetStudentNameList(shared) + "，两条规则无法同时满足");
            }
        }
    }
    return messages;
}
