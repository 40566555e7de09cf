#include "core/DivisionEditor.h"

#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

// How many members a group shows by name in a message.
constexpr std::size_t kGroupNamesShown = 5;

int IndexOf(const std::vector<std::string>& ids, const std::string& id)
{
    const auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

} // namespace

CDivisionEditor::CDivisionEditor(CScheduleTask& task) : m_task(task)
{
    SyncClassLists();
}

CStudentInfo* CDivisionEditor::FindStudent(const std::string& id) const
{
    return m_task.GetStudentInfoList().FindAs<CStudentInfo>(id);
}

CClassInfo* CDivisionEditor::FindClass(const std::string& id) const
{
    return id.empty() ? nullptr : m_task.GetClassInfoList().FindAs<CClassInfo>(id);
}

std::string CDivisionEditor::PlacedClassId(const CStudentInfo& student) const
{
    return FindClass(student.ClassIdRef()) ? student.ClassIdRef() : std::string();
}

void CDivisionEditor::SyncClassLists()
{
    // The students of each class by their class ids, girls first.
    std::unordered_map<std::string, std::vector<std::string>> girls;
    std::unordered_map<std::string, std::vector<std::string>> boys;
    for (const auto& entry : m_task.GetStudentInfoList()) {
        const auto* student = static_cast<const CStudentInfo*>(entry.object.get());
        if (!FindClass(student->ClassIdRef()))
            continue;
        (student->IsGirl() ? girls : boys)[student->ClassIdRef()].push_back(entry.id);
    }

    for (CClassInfo* info : m_task.GetClassInfoList().Records<CClassInfo>()) {
        std::vector<std::string>& list = info->GetStudentArray();
        const std::vector<std::string>& ownGirls = girls[info->IdRef()];
        const std::vector<std::string>& ownBoys = boys[info->IdRef()];
        // A list that names exactly the class's students stays as it is.
        bool consistent = list.size() == ownGirls.size() + ownBoys.size();
        std::unordered_set<std::string_view> seen;
        for (std::size_t k = 0; consistent && k < list.size(); ++k) {
            const CStudentInfo* student = FindStudent(list[k]);
            consistent = student && student->ClassIdRef() == info->IdRef() && seen.insert(list[k]).second;
        }
        if (consistent)
            continue;
        list = ownGirls;
        list.insert(list.end(), ownBoys.begin(), ownBoys.end());
    }
}

std::optional<CDivisionChange> CDivisionEditor::MakeMove(const std::vector<std::string>& studentIds,
                                                         const std::string& classId, std::string& problem) const
{
    problem.clear();
    if (!FindClass(classId)) {
        problem = "没有这个班级。";
        return std::nullopt;
    }
    std::vector<CDivisionChange::Step> steps;
    std::unordered_set<std::string> seen;
    for (const std::string& id : studentIds) {
        const CStudentInfo* student = FindStudent(id);
        if (!student) {
            problem = "没有这名学生：" + id;
            return std::nullopt;
        }
        if (student->ClassIdRef() == classId || !seen.insert(id).second)
            continue;
        steps.push_back({id, student->ClassIdRef(), classId});
    }
    if (steps.empty()) {
        const std::string className = m_task.GetClassName(classId);
        problem = studentIds.size() == 1 ? m_task.GetStudentName(studentIds.front()) + " 已在 " + className + "。"
                                         : "选中的学生都已在 " + className + "。";
        return std::nullopt;
    }
    return CDivisionChange(CDivisionChange::Kind::Move, std::move(steps));
}

std::optional<CDivisionChange> CDivisionEditor::MakeExchange(const std::string& firstId, const std::string& secondId,
                                                             std::string& problem) const
{
    problem.clear();
    const CStudentInfo* first = FindStudent(firstId);
    const CStudentInfo* second = FindStudent(secondId);
    if (!first || !second) {
        problem = "没有这名学生：" + (first ? secondId : firstId);
        return std::nullopt;
    }
    const std::string firstClass = PlacedClassId(*first);
    const std::string secondClass = PlacedClassId(*second);
    if (firstClass.empty() || secondClass.empty() || firstClass == secondClass) {
        problem = "只能对调两名不同班级的学生。";
        return std::nullopt;
    }
    return CDivisionChange(CDivisionChange::Kind::Exchange,
                           {{firstId, firstClass, secondClass}, {secondId, secondClass, firstClass}});
}

std::vector<CDivisionEditor::Breach> CDivisionEditor::Check(const CDivisionChange& change) const
{
    std::vector<Breach> breaches;
    CheckPresets(change, breaches);
    CheckGroups(change, breaches);
    if (!m_task.GetDivisionRules().IsEmpty()) {
        CheckTogether(change, breaches);
        CheckSameNames(change, breaches);
    }
    CheckCapacities(change, breaches);
    return breaches;
}

void CDivisionEditor::CheckPresets(const CDivisionChange& change, std::vector<Breach>& breaches) const
{
    const CQZObjectList& presets = m_task.GetStudentPresetList();
    for (const CDivisionChange::Step& step : change.GetSteps()) {
        const auto* preset = presets.FindAs<CStudentPreset>(step.studentId);
        if (!preset)
            continue;
        const std::string presetClass = preset->GetPresetClassId();
        // A pre-assignment to a class that is gone binds nobody.
        if (!FindClass(presetClass) || presetClass == step.toClassId)
            continue;
        breaches.push_back({Rule::PresetClass, m_task.GetStudentName(step.studentId) + " 预排在 "
                                                   + m_task.GetClassName(presetClass) + "，调整后将在 "
                                                   + m_task.GetClassName(step.toClassId) + "。"});
    }
}

void CDivisionEditor::CheckGroups(const CDivisionChange& change, std::vector<Breach>& breaches) const
{
    std::unordered_map<std::string, std::string> moved; // student id → class after the change
    for (const CDivisionChange::Step& step : change.GetSteps())
        moved[step.studentId] = step.toClassId;
    auto classAfter = [&](const std::string& id) {
        const auto found = moved.find(id);
        if (found != moved.end())
            return found->second;
        const CStudentInfo* student = FindStudent(id);
        return student ? PlacedClassId(*student) : std::string();
    };

    // Groups are numbered as the groups editor lists them.
    std::vector<const CMutexStudent*> groups = m_task.GetMutexStudentList().Records<const CMutexStudent>();
    std::stable_sort(groups.begin(), groups.end(),
                     [](const CMutexStudent* a, const CMutexStudent* b) { return a->GetIndex() < b->GetIndex(); });

    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<std::string>& ids = groups[g]->GetMutexStudents();
        if (std::none_of(ids.begin(), ids.end(), [&](const std::string& id) { return moved.count(id) > 0; }))
            continue;

        // The group's students by their class after the change, each once.
        std::vector<std::string> members;
        std::unordered_map<std::string, std::vector<std::string>> byClass;
        for (const std::string& id : ids) {
            if (std::find(members.begin(), members.end(), id) != members.end() || !FindStudent(id))
                continue;
            members.push_back(id);
            const std::string classId = classAfter(id);
            if (!classId.empty())
                byClass[classId].push_back(id);
        }

        std::string label;
        std::set<std::pair<std::string, std::string>> reported;
        for (const std::string& id : members) {
            if (!moved.count(id))
                continue;
            const std::string& classId = moved[id];
            for (const std::string& other : byClass[classId]) {
                if (other == id || !reported.insert(std::minmax(id, other)).second)
                    continue;
                if (label.empty()) {
                    std::vector<std::string> shown(members.begin(),
                                                   members.begin() + std::min(members.size(), kGroupNamesShown));
                    label = "互斥组 " + std::to_string(g + 1) + "（" + m_task.GetStudentNameList(shown);
                    if (members.size() > shown.size())
                        label += " 等 " + std::to_string(members.size()) + " 人";
                    label += "）";
                }
                breaches.push_back(
                    {Rule::ExclusiveGroup, m_task.GetStudentName(id) + " 与 " + m_task.GetStudentName(other) + " 同在"
                                               + label + "，调整后将同在 " + m_task.GetClassName(classId) + "。"});
            }
        }
    }
}

std::string CDivisionEditor::ClassAfter(const CDivisionChange& change, const std::string& studentId) const
{
    for (const CDivisionChange::Step& step : change.GetSteps()) {
        if (step.studentId == studentId)
            return step.toClassId;
    }
    const CStudentInfo* student = FindStudent(studentId);
    return student ? PlacedClassId(*student) : std::string();
}

void CDivisionEditor::CheckTogether(const CDivisionChange& change, std::vector<Breach>& breaches) const
{
    const std::vector<std::string> movedIds = change.GetStudentIds();
    for (const CDivisionRules::TogetherGroup& group : m_task.GetDivisionRules().TogetherGroups()) {
        if (std::none_of(group.studentIds.begin(), group.studentIds.end(), [&](const std::string& id) {
                return std::find(movedIds.begin(), movedIds.end(), id) != movedIds.end();
            }))
            continue;
        std::vector<std::string> classes;
        std::string where;
        for (const std::string& id : group.studentIds) {
            if (!FindStudent(id))
                continue;
            const std::string classId = ClassAfter(change, id);
            if (classId.empty())
                continue;
            if (std::find(classes.begin(), classes.end(), classId) == classes.end())
                classes.push_back(classId);
            where +=
                (where.empty() ? "" : "，") + m_task.GetStudentName(id) + "（" + m_task.GetClassName(classId) + "）";
        }
        if (classes.size() > 1)
            breaches.push_back({Rule::TogetherGroup, "同班学生组（" + m_task.GetStudentNameList(group.studentIds)
                                                         + "）调整后将不在同一班级：" + where + "。"});
    }
}

void CDivisionEditor::CheckSameNames(const CDivisionChange& change, std::vector<Breach>& breaches) const
{
    const CDivisionRules& rules = m_task.GetDivisionRules();
    if (!rules.GetSameNameApart() && !rules.GetSameSoundApart())
        return;
    const bool bySound = rules.GetSameSoundApart();
    const auto key = [&](const std::string& name) { return bySound ? m_task.GetNameSound(name) : name; };
    std::set<std::pair<std::string, std::string>> reported;
    for (const CDivisionChange::Step& step : change.GetSteps()) {
        const CStudentInfo* moved = FindStudent(step.studentId);
        const CClassInfo* target = FindClass(step.toClassId);
        if (!moved || !target || moved->NameRef().empty())
            continue;
        const std::string movedKey = key(moved->NameRef());
        // Those in the class who stay there, and those moved into it with it.
        std::vector<std::string> after;
        for (const std::string& id : target->GetStudentArray()) {
            if (ClassAfter(change, id) == step.toClassId)
                after.push_back(id);
        }
        for (const CDivisionChange::Step& other : change.GetSteps()) {
            if (other.toClassId == step.toClassId)
                after.push_back(other.studentId);
        }
        for (const std::string& otherId : after) {
            const CStudentInfo* other = FindStudent(otherId);
            if (!other || otherId == step.studentId || key(other->NameRef()) != movedKey
                || !reported.insert(std::minmax(step.studentId, otherId)).second)
                continue;
            const char* const kind = bySound && moved->NameRef() != other->NameRef() ? " 同音" : " 同名";
            breaches.push_back({Rule::SameName, moved->NameRef() + " 与 " + other->NameRef() + kind + "，调整后将同在 "
                                                    + target->GetName() + "。"});
        }
    }
}

void CDivisionEditor::CheckCapacities(const CDivisionChange& change, std::vector<Breach>& breaches) const
{
    // How many students each class gains, in the order the classes are
    // first named as a target.
    std::vector<std::pair<std::string, long long>> gains;
    auto gain = [&gains](const std::string& classId, long long by) {
        auto found = std::find_if(gains.begin(), gains.end(), [&](const auto& g) { return g.first == classId; });
        if (found == gains.end())
            gains.emplace_back(classId, by);
        else
            found->second += by;
    };
    for (const CDivisionChange::Step& step : change.GetSteps()) {
        gain(step.toClassId, 1);
        if (FindClass(step.fromClassId))
            gain(step.fromClassId, -1);
    }
    for (const auto& [classId, by] : gains) {
        const CClassInfo* info = FindClass(classId);
        if (!info || by <= 0)
            continue;
        const long long after = static_cast<long long>(info->GetStudentArray().size()) + by;
        if (after <= static_cast<long long>(info->GetStudentCount()))
            continue;
        breaches.push_back({Rule::Capacity, info->GetName() + " 计划人数 " + std::to_string(info->GetStudentCount())
                                                + " 人，调整后将有 " + std::to_string(after) + " 人。"});
    }
}

bool CDivisionEditor::Fits(const CDivisionChange& change) const
{
    for (const CDivisionChange::Step& step : change.GetSteps()) {
        const CStudentInfo* student = FindStudent(step.studentId);
        if (!student || student->ClassIdRef() != step.fromClassId || !FindClass(step.toClassId))
            return false;
    }
    return !change.GetSteps().empty();
}

void CDivisionEditor::Forward(Applied& applied)
{
    const auto& steps = applied.change.GetSteps();
    applied.fromPositions.assign(steps.size(), -1);
    applied.toPositions.assign(steps.size(), -1);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const CDivisionChange::Step& step = steps[i];
        CStudentInfo* student = FindStudent(step.studentId);
        if (CClassInfo* from = FindClass(step.fromClassId)) {
            std::vector<std::string>& list = from->GetStudentArray();
            const int position = IndexOf(list, step.studentId);
            if (position >= 0)
                list.erase(list.begin() + position);
            applied.fromPositions[i] = position;
        }
        // Girls before boys, as a division lists them: a girl goes after the
        // class's last girl, a boy to the end.
        std::vector<std::string>& list = FindClass(step.toClassId)->GetStudentArray();
        auto at = list.end();
        if (student->IsGirl()) {
            at = std::find_if(list.begin(), list.end(), [this](const std::string& id) {
                const CStudentInfo* other = FindStudent(id);
                return !other || !other->IsGirl();
            });
        }
        applied.toPositions[i] = static_cast<int>(at - list.begin());
        list.insert(at, step.studentId);
        student->SetClassId(step.toClassId);
    }
}

void CDivisionEditor::Backward(const Applied& applied)
{
    const auto& steps = applied.change.GetSteps();
    for (std::size_t i = steps.size(); i-- > 0;) {
        const CDivisionChange::Step& step = steps[i];
        std::vector<std::string>& list = FindClass(step.toClassId)->GetStudentArray();
        int position = applied.toPositions[i];
        if (position < 0 || position >= static_cast<int>(list.size()) || list[position] != step.studentId)
            position = IndexOf(list, step.studentId);
        if (position >= 0)
            list.erase(list.begin() + position);
        if (CClassInfo* from = FindClass(step.fromClassId); from && applied.fromPositions[i] >= 0) {
            std::vector<std::string>& own = from->GetStudentArray();
            const auto at = std::min(static_cast<std::size_t>(applied.fromPositions[i]), own.size());
            own.insert(own.begin() + static_cast<std::ptrdiff_t>(at), step.studentId);
        }
        FindStudent(step.studentId)->SetClassId(step.fromClassId);
    }
}

bool CDivisionEditor::Save()
{
    // The caller says in its own words that a change was not saved; the
    // task's generic message about the file is not passed on as well.
    const bool saved = m_task.WriteInputData() == CScheduleTask::SaveResult::Saved;
    m_saveFailed = !saved;
    return saved;
}

bool CDivisionEditor::Apply(const CDivisionChange& change)
{
    m_saveFailed = false;
    if (!Fits(change))
        return false;
    Applied applied{change, {}, {}};
    Forward(applied);
    if (!Save()) {
        Backward(applied);
        return false;
    }
    m_history.erase(m_history.begin() + static_cast<std::ptrdiff_t>(m_done), m_history.end());
    m_history.push_back(std::move(applied));
    ++m_done;
    return true;
}

bool CDivisionEditor::Undo()
{
    m_saveFailed = false;
    if (!CanUndo())
        return false;
    Applied& applied = m_history[m_done - 1];
    for (const CDivisionChange::Step& step : applied.change.GetSteps()) {
        const CStudentInfo* student = FindStudent(step.studentId);
        if (!student || student->ClassIdRef() != step.toClassId || !FindClass(step.toClassId))
            return false; // the task was changed behind the editor's back
    }
    Backward(applied);
    if (!Save()) {
        Forward(applied);
        return false;
    }
    --m_done;
    return true;
}

bool CDivisionEditor::Redo()
{
    m_saveFailed = false;
    if (!CanRedo() || !Fits(m_history[m_done].change))
        return false;
    Applied& applied = m_history[m_done];
    Forward(applied);
    if (!Save()) {
        Backward(applied);
        return false;
    }
    ++m_done;
    return true;
}

const CDivisionChange* CDivisionEditor::UndoChange() const
{
    return CanUndo() ? &m_history[m_done - 1].change : nullptr;
}

const CDivisionChange* CDivisionEditor::RedoChange() const
{
    return CanRedo() ? &m_history[m_done].change : nullptr;
}
