#pragma once

// Checks a balanced division against the division it started from: the hard
// rules of the balancing, stated independently of the optimiser's code.
#include "base/records/ClassInfo.h"
#include "base/records/DivisionRules.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// The class of every student, by id.
inline std::map<std::string, std::string> ClassesOf(const CScheduleTask& task)
{
    std::map<std::string, std::string> classes;
    for (const auto& entry : task.GetStudentInfoList())
        classes[entry.id] = static_cast<const CStudentInfo*>(entry.object.get())->GetClassId();
    return classes;
}

// Students per class id, from the students' own class ids.
inline std::map<std::string, int> ClassSizes(const std::map<std::string, std::string>& classes)
{
    std::map<std::string, int> sizes;
    for (const auto& [student, classId] : classes)
        ++sizes[classId];
    return sizes;
}

// Every broken rule, as a readable line; empty when all hold.
inline std::vector<std::string> BalanceViolations(const CScheduleTask& task,
                                                  const std::map<std::string, std::string>& before)
{
    std::vector<std::string> problems;
    const auto after = ClassesOf(task);
    const CQZObjectList& classList = task.GetClassInfoList();
    auto isClass = [&](const std::string& id) { return !id.empty() && classList.Find(id) != nullptr; };

    for (const auto& [student, classId] : before) {
        const std::string& now = after.at(student);
        if (!isClass(classId) && now != classId)
            problems.push_back("unplaced student " + student + " was moved");
    }
    for (const auto& entry : task.GetStudentPresetList()) {
        const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
        const auto was = before.find(entry.id);
        if (was != before.end() && isClass(preset->GetPresetClassId()) && after.at(entry.id) != was->second)
            problems.push_back("pre-assigned student " + entry.id + " was moved");
    }
    for (const auto& entry : task.GetMutexStudentList()) {
        const auto& members = static_cast<const CMutexStudent*>(entry.object.get())->GetMutexStudents();
        for (std::size_t i = 0; i < members.size(); ++i) {
            for (std::size_t j = i + 1; j < members.size(); ++j) {
                const auto a = after.find(members[i]);
                const auto b = after.find(members[j]);
                if (a == after.end() || b == after.end() || members[i] == members[j] || !isClass(a->second))
                    continue;
                if (a->second == b->second && before.at(members[i]) != before.at(members[j]))
                    problems.push_back("group " + entry.id + " shares class " + a->second);
            }
        }
    }

    const auto sizesBefore = ClassSizes(before);
    const auto sizesAfter = ClassSizes(after);
    int lowBefore = 1 << 30, highBefore = -1, lowAfter = 1 << 30, highAfter = -1;
    for (const auto& entry : classList) {
        const auto* info = static_cast<const CClassInfo*>(entry.object.get());
        const int was = sizesBefore.count(entry.id) ? sizesBefore.at(entry.id) : 0;
        const int now = sizesAfter.count(entry.id) ? sizesAfter.at(entry.id) : 0;
        if (now > std::max<int>(was, static_cast<int>(info->GetStudentCount())))
            problems.push_back("class " + entry.id + " over its capacity");
        if (was > 0 || info->GetStudentCount() > 0) {
            lowBefore = std::min(lowBefore, was);
            highBefore = std::max(highBefore, was);
            lowAfter = std::min(lowAfter, now);
            highAfter = std::max(highAfter, now);
        }

        // The class's list holds exactly its students, girls first.
        const auto& ids = info->GetStudentArray();
        std::multiset<std::string> listed(ids.begin(), ids.end());
        std::multiset<std::string> members;
        for (const auto& [student, classId] : after) {
            if (classId == entry.id)
                members.insert(student);
        }
        if (listed != members)
            problems.push_back("student list of class " + entry.id + " does not match its students");
        bool boySeen = false;
        for (const std::string& id : ids) {
            const auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>(id);
            if (student && !student->IsGirl())
                boySeen = true;
            else if (student && boySeen)
                problems.push_back("class " + entry.id + " lists a girl after a boy");
        }
    }
    if (highAfter - lowAfter > highBefore - lowBefore)
        problems.push_back("class sizes further apart than before");

    // The task's own rules: twins who shared a class still do, and students
    // of one name the division kept apart are still apart.
    const CDivisionRules& rules = task.GetDivisionRules();
    for (const auto& group : rules.TogetherGroups()) {
        for (const std::string& id : group.studentIds) {
            const auto first = before.find(group.studentIds.front());
            const auto was = before.find(id);
            if (first != before.end() && was != before.end() && first->second == was->second
                && after.at(id) != after.at(group.studentIds.front()))
                problems.push_back("together group " + group.id + " split");
        }
    }
    if (rules.GetSameNameApart()) {
        std::map<std::string, std::vector<std::string>> byName;
        for (const auto& entry : task.GetStudentInfoList())
            byName[static_cast<const CStudentInfo*>(entry.object.get())->GetName()].push_back(entry.id);
        for (const auto& [name, ids] : byName) {
            for (std::size_t i = 0; i < ids.size(); ++i) {
                for (std::size_t j = i + 1; j < ids.size(); ++j) {
                    if (isClass(after.at(ids[i])) && before.at(ids[i]) != before.at(ids[j])
                        && after.at(ids[i]) == after.at(ids[j]))
                        problems.push_back("students named " + name + " share class " + after.at(ids[i]));
                }
            }
        }
    }
    return problems;
}

} // namespace testsupport
