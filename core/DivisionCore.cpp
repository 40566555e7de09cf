#include "core/DivisionCore.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionOwner.h"
#include "core/DivisionRuleGroups.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <unordered_set>

namespace {

// How often long loops look at the stop request.
constexpr std::size_t kStopCheckInterval = 4096;

bool TimeToCheck(std::size_t i)
{
    return (i % kStopCheckInterval) == 0;
}

// Fisher-Yates with the raw output of the engine, so the order for a seed is
// the same with every standard library.
void Shuffle(std::vector<std::uint32_t>& order, std::mt19937_64& random)
{
    for (std::size_t i = order.size(); i > 1; --i) {
        const std::size_t j = static_cast<std::size_t>(random() % i);
        std::swap(order[i - 1], order[j]);
    }
}

// Scores are ordered with a value that cannot break the sort: a total that
// is not a number ranks below every other.
float OrderingScore(float score)
{
    return std::isnan(score) ? -std::numeric_limits<float>::infinity() : score;
}

// Strictly-lower test for class score sums; a sum that is not a number is
// higher than any other, so such a class is chosen last among equals.
bool SumLess(float a, float b)
{
    if (std::isnan(a))
        return false;
    if (std::isnan(b))
        return true;
    return a < b;
}

} // namespace

CDivisionCore::CDivisionCore() = default;

CDivisionCore::~CDivisionCore()
{
    // The worker uses the members below; it must be gone before they are.
    StopWorker();
    Clear();
}

void CDivisionCore::Clear()
{
    m_slots.clear();
    m_slotByClassId.clear();
    m_students.clear();
    m_studentByKey.clear();
    m_partnerIds.clear();
    m_partnerIdStart.clear();
    m_partnerStudents.clear();
    m_partnerStudentStart.clear();
    m_queue.clear();
    m_ruleGroups.reset();
    m_messages.clear();
}

void CDivisionCore::Divide()
{
    if (!NotifyStatus("正在分班,请稍候..."))
        return;

    Clear();
    bool allPlaced = true;
    const bool dealt = BuildSlots() && ReadStudents() && BuildExclusion() && ReadPresets() && BuildQueue()
                       && ReadRuleGroups() && Deal(allPlaced);
    if (!dealt || IsStopRequested()) {
        Clear();
        return; // stopped: the task is left as it was
    }

    // From here on the run is no longer stopped: the result is written into
    // the task and saved as a whole, so that a late cancel never leaves the
    // task in memory different from its folder.
    WriteBack();
    GetTask()->GetLastReportInfo().MakeReport(0);
    Clear();

    if (ShouldSaveFiles()) {
        // The data and the report are saved as a pair, so the two files
        // always describe the same run. A task whose data could not be saved
        // holds a result that is in memory only.
        const bool saved = GetTask()->SaveInputDataWithReport();
        GetTask()->SetDirty(!saved);
        SetResultSaved(saved);
    }

    const int result = allPlaced ? DIVISION_RESULT_DONE : DIVISION_RESULT_UNPLACED;
    SetResult(result);
    if (!Notify(DIVISION_NOTIFY_PROGRESS, 100))
        return;
    if (!NotifyStatus("分班完成."))
        return;
    NotifyEnd(result);
}

bool CDivisionCore::BuildSlots()
{
    const auto classes = GetTask()->GetClassInfoList().Records<CClassInfo>();
    std::vector<std::uint32_t> order(classes.size());
    std::iota(order.begin(), order.end(), 0u);
    if (!KeepsListOrder()) {
        std::mt19937_64 random(GetRunSeed());
        Shuffle(order, random);
    }

    m_slots.reserve(classes.size());
    m_slotByClassId.reserve(classes.size());
    for (std::uint32_t position : order) {
        CClassInfo* info = classes[position];
        m_slots.push_back(std::make_unique<CClassSlot>(info->GetId(), info, info->GetStudentCount()));
        m_slotByClassId.emplace(m_slots.back()->GetClassId(), static_cast<int>(m_slots.size() - 1));
    }
    return !IsStopRequested();
}

bool CDivisionCore::ReadStudents()
{
    const CQZObjectList& list = GetTask()->GetStudentInfoList();
    m_students.reserve(list.GetCount());
    m_studentByKey.reserve(list.GetCount());
    std::size_t i = 0;
    for (const auto& entry : list) {
        if (TimeToCheck(++i) && IsStopRequested())
            return false;
        Student student;
        student.info = static_cast<CStudentInfo*>(entry.object.get());
        student.id = &entry.id;
        // The total score is derived from the scores alone; refreshing it
        // changes nothing the user entered.
        student.info->CalculateScoreCount();
        student.score = student.info->GetScoreCount();
        student.sex = student.info->GetSex();
        m_studentByKey.emplace(entry.id, static_cast<int>(m_students.size()));
        m_students.push_back(student);
    }

    // Tie-break rank: the list position, or a seeded permutation of it.
    std::vector<std::uint32_t> rank(m_students.size());
    std::iota(rank.begin(), rank.end(), 0u);
    if (!KeepsListOrder()) {
        std::mt19937_64 random(GetRunSeed() ^ 0x9e3779b97f4a7c15ull);
        Shuffle(rank, random);
    }
    for (std::size_t k = 0; k < m_students.size(); ++k)
        m_students[k].rank = rank[k];
    return !IsStopRequested();
}

bool CDivisionCore::BuildExclusion()
{
    const std::size_t count = m_students.size();
    // The groups of two or more, their members resolved to student
    // positions (-1 for identifiers that name no student), and the groups
    // each student is in, in list order.
    struct Group
    {
        const std::vector<std::string>* ids;
        std::vector<int> members;
    };
    std::vector<Group> groups;
    std::vector<std::vector<std::uint32_t>> groupsOf(count);
    std::size_t visited = 0;
    for (const auto& entry : GetTask()->GetMutexStudentList()) {
        const auto& ids = static_cast<const CMutexStudent*>(entry.object.get())->GetMutexStudents();
        if (ids.size() < 2)
            continue;
        Group group{&ids, {}};
        group.members.reserve(ids.size());
        for (const std::string& id : ids) {
            if (TimeToCheck(++visited) && IsStopRequested())
                return false;
            const auto found = m_studentByKey.find(id);
            group.members.push_back(found == m_studentByKey.end() ? -1 : found->second);
            if (found != m_studentByKey.end()) {
                const auto position = static_cast<std::size_t>(found->second);
                groupsOf[position].push_back(static_cast<std::uint32_t>(groups.size()));
            }
        }
        groups.push_back(std::move(group));
    }

    // Each student's partners: every other identifier of its groups, each
    // once, in the order first met. Identifiers that name no student still
    // count as partners. Repeated partners are skipped as they are met, so
    // memory follows the number of distinct partners, not of pairs.
    m_partnerIdStart.assign(count + 1, 0);
    m_partnerStudentStart.assign(count + 1, 0);
    std::vector<std::uint32_t> seenStudent(count, 0);
    std::unordered_set<std::string_view> seenOther;
    for (std::size_t i = 0; i < count; ++i) {
        m_partnerIdStart[i] = m_partnerIds.size();
        m_partnerStudentStart[i] = m_partnerStudents.size();
        if (groupsOf[i].empty())
            continue;
        const auto stamp = static_cast<std::uint32_t>(i + 1);
        seenStudent[i] = stamp; // never its own partner
        seenOther.clear();
        for (const std::uint32_t g : groupsOf[i]) {
            if (TimeToCheck(++visited) && IsStopRequested())
                return false;
            const Group& group = groups[g];
            for (std::size_t k = 0; k < group.members.size(); ++k) {
                const int member = group.members[k];
                const std::string_view id = (*group.ids)[k];
                if (member >= 0) {
                    if (seenStudent[static_cast<std::size_t>(member)] == stamp)
                        continue;
                    seenStudent[static_cast<std::size_t>(member)] = stamp;
                    m_partnerStudents.push_back(member);
                } else if (!seenOther.insert(id).second) {
                    continue;
                }
                m_partnerIds.push_back(id);
            }
        }
        m_students[i].partnerCount = static_cast<int>(m_partnerIds.size() - m_partnerIdStart[i]);
        std::vector<std::uint32_t>().swap(groupsOf[i]);
    }
    m_partnerIdStart[count] = m_partnerIds.size();
    m_partnerStudentStart[count] = m_partnerStudents.size();
    return !IsStopRequested();
}

bool CDivisionCore::ReadPresets()
{
    for (const auto& entry : GetTask()->GetStudentPresetList()) {
        const auto student = m_studentByKey.find(entry.id);
        if (student == m_studentByKey.end())
            continue;
        const std::string classId = static_cast<const CStudentPreset*>(entry.object.get())->GetPresetClassId();
        const auto slot = m_slotByClassId.find(classId);
        m_students[static_cast<std::size_t>(student->second)].presetSlot =
            slot == m_slotByClassId.end() ? kPresetMissingClass : slot->second;
    }
    return !IsStopRequested();
}

bool CDivisionCore::BuildQueue()
{
    m_queue.resize(m_students.size());
    std::iota(m_queue.begin(), m_queue.end(), 0);
    std::sort(m_queue.begin(), m_queue.end(), [this](int left, int right) {
        const Student& a = m_students[static_cast<std::size_t>(left)];
        const Student& b = m_students[static_cast<std::size_t>(right)];
        const bool presetA = a.presetSlot != kNoPreset;
        const bool presetB = b.presetSlot != kNoPreset;
        if (presetA != presetB)
            return presetA;
        if (a.partnerCount != b.partnerCount)
            return a.partnerCount > b.partnerCount;
        if (a.sex != b.sex)
            return a.sex < b.sex;
        const float scoreA = OrderingScore(a.score);
        const float scoreB = OrderingScore(b.score);
        if (scoreA != scoreB)
            return scoreA > scoreB;
        return a.rank < b.rank;
    });
    return !IsStopRequested();
}

bool CDivisionCore::ReadRuleGroups()
{
    const CScheduleTask& task = *GetTask();
    if (task.GetDivisionRules().IsEmpty())
        return true;
    std::vector<std::string> names;
    names.reserve(m_students.size());
    for (const Student& student : m_students)
        names.push_back(student.info->NameRef());
    m_ruleGroups = std::make_unique<CDivisionRuleGroups>(task, m_studentByKey, names);
    if (m_ruleGroups->IsEmpty())
        m_ruleGroups.reset();
    return !IsStopRequested();
}

bool CDivisionCore::Deal(bool& allPlaced)
{
    // The classes that still have room, best first: fewest students, then
    // the lower score sum, then the earlier in visiting order. Only the
    // class that receives a student changes its place.
    auto better = [this](int left, int right) {
        const CClassSlot& a = *m_slots[static_cast<std::size_t>(left)];
        const CClassSlot& b = *m_slots[static_cast<std::size_t>(right)];
        if (a.GetOccupancy() != b.GetOccupancy())
            return a.GetOccupancy() < b.GetOccupancy();
        const float sumA = a.GetScoreSum();
        const float sumB = b.GetScoreSum();
        if (SumLess(sumA, sumB))
            return true;
        if (SumLess(sumB, sumA))
            return false;
        return left < right;
    };
    std::set<int, decltype(better)> open(better);
    for (std::size_t k = 0; k < m_slots.size(); ++k) {
        if (m_slots[k]->HasRoom())
            open.insert(static_cast<int>(k));
    }

    // Classes holding a partner of the current student carry its stamp.
    std::vector<std::uint64_t> blocked(m_slots.size(), 0);
    std::uint64_t stamp = 0;
    CScheduleTask& task = *GetTask();

    // With the task's rules: the students who must share a class go as one
    // when the first of them comes up, to a class with room for all of
    // them, and classes holding a student of the same name are avoided
    // while another class allows.
    std::vector<std::uint64_t> avoided(m_slots.size(), 0);
    std::vector<char> groupDealt(m_ruleGroups ? m_ruleGroups->Together().size() : 0, 0);
    const auto place = [&](int position, int chosen) {
        Student& student = m_students[static_cast<std::size_t>(position)];
        CClassSlot& slot = *m_slots[static_cast<std::size_t>(chosen)];
        if (student.sex == 0)
            slot.AddGirl(position, student.score);
        else
            slot.AddBoy(position, student.score);
        student.slot = chosen;
    };
    const auto dealWithRules = [&](int position) {
        const int together = m_ruleGroups->TogetherOf(position);
        std::vector<int> members{position};
        if (together >= 0) {
            groupDealt[static_cast<std::size_t>(together)] = 1;
            members = m_ruleGroups->Together()[static_cast<std::size_t>(together)];
        }
        const auto need = static_cast<std::uint32_t>(members.size());
        const auto fits = [&](int slot) {
            const CClassSlot& s = *m_slots[static_cast<std::size_t>(slot)];
            return s.GetCapacity() >= need && s.GetOccupancy() <= s.GetCapacity() - need;
        };
        int preset = kNoPreset;
        for (const int member : members)
            preset = std::max(preset, m_students[static_cast<std::size_t>(member)].presetSlot);
        int chosen = -1;
        if (preset >= 0) {
            chosen = fits(preset) ? preset : -1;
        } else {
            ++stamp;
            for (const int member : members) {
                const auto at = static_cast<std::size_t>(member);
                for (std::size_t p = m_partnerStudentStart[at]; p < m_partnerStudentStart[at + 1]; ++p) {
                    const int partnerSlot = m_students[static_cast<std::size_t>(m_partnerStudents[p])].slot;
                    if (partnerSlot >= 0)
                        blocked[static_cast<std::size_t>(partnerSlot)] = stamp;
                }
                const int apart = m_ruleGroups->ApartOf(member);
                if (apart < 0)
                    continue;
                for (const int other : m_ruleGroups->Apart()[static_cast<std::size_t>(apart)]) {
                    const int otherSlot = m_students[static_cast<std::size_t>(other)].slot;
                    if (otherSlot >= 0 && std::find(members.begin(), members.end(), other) == members.end())
                        avoided[static_cast<std::size_t>(otherSlot)] = stamp;
                }
            }
            int fallback = -1;
            for (const int candidate : open) {
                if (blocked[static_cast<std::size_t>(candidate)] == stamp || !fits(candidate))
                    continue;
                if (avoided[static_cast<std::size_t>(candidate)] != stamp) {
                    chosen = candidate;
                    break;
                }
                if (fallback < 0)
                    fallback = candidate;
            }
            if (chosen < 0)
                chosen = fallback;
        }
        if (chosen < 0) {
            const std::string who = together >= 0 ? "同班学生组（" + NamesOf(members) + "）"
                                                  : m_students[static_cast<std::size_t>(position)].info->NameRef();
            m_messages.push_back(preset >= 0
                                     ? who + " 预排的班级 "
                                           + task.GetClassName(m_slots[static_cast<std::size_t>(preset)]->GetClassId())
                                           + " 人数已满"
                                     : "由于互斥条件限制，" + who + " 没有匹配到合适的班级");
            allPlaced = false;
            return;
        }
        auto node = open.extract(chosen);
        for (const int member : members)
            place(member, chosen);
        if (m_slots[static_cast<std::size_t>(chosen)]->HasRoom())
            open.insert(std::move(node));
    };

    allPlaced = true;
    for (std::size_t q = 0; q < m_queue.size(); ++q) {
        if (TimeToCheck(q + 1) && IsStopRequested())
            return false;
        const int position = m_queue[q];
        Student& student = m_students[static_cast<std::size_t>(position)];
        int chosen = -1;

        if (m_ruleGroups) {
            const int together = m_ruleGroups->TogetherOf(position);
            if (together >= 0 && groupDealt[static_cast<std::size_t>(together)])
                continue; // dealt with the first of its group
            if (together >= 0 || m_ruleGroups->ApartOf(position) >= 0) {
                dealWithRules(position);
                continue;
            }
        }

        if (student.presetSlot >= 0) {
            // The pre-assigned class, regardless of partners; no other class
            // is tried.
            const CClassSlot& slot = *m_slots[static_cast<std::size_t>(student.presetSlot)];
            if (slot.HasRoom()) {
                chosen = student.presetSlot;
            } else {
                m_messages.push_back(student.info->NameRef() + " 预排的班级 " + task.GetClassName(slot.GetClassId())
                                     + " 人数已满");
                allPlaced = false;
                continue;
            }
        } else {
            const std::size_t first = m_partnerStudentStart[static_cast<std::size_t>(position)];
            const std::size_t last = m_partnerStudentStart[static_cast<std::size_t>(position) + 1];
            if (first == last) {
                if (!open.empty())
                    chosen = *open.begin();
            } else {
                ++stamp;
                for (std::size_t p = first; p < last; ++p) {
                    const int partnerSlot = m_students[static_cast<std::size_t>(m_partnerStudents[p])].slot;
                    if (partnerSlot >= 0)
                        blocked[static_cast<std::size_t>(partnerSlot)] = stamp;
                }
                for (int candidate : open) {
                    if (blocked[static_cast<std::size_t>(candidate)] != stamp) {
                        chosen = candidate;
                        break;
                    }
                }
            }
            if (chosen < 0) {
                m_messages.push_back("由于互斥条件限制，" + student.info->NameRef() + " 没有匹配到合适的班级");
                allPlaced = false;
                continue;
            }
        }

        auto node = open.extract(chosen);
        place(position, chosen);
        if (m_slots[static_cast<std::size_t>(chosen)]->HasRoom())
            open.insert(std::move(node));
    }
    if (m_ruleGroups)
        ReportUnseparated();
    return true;
}

std::string CDivisionCore::NamesOf(const std::vector<int>& positions) const
{
    std::string names;
    for (const int position : positions)
        names += (names.empty() ? "" : "，") + m_students[static_cast<std::size_t>(position)].info->NameRef();
    return names;
}

void CDivisionCore::ReportUnseparated()
{
    const CScheduleTask& task = *GetTask();
    const char* const kind = task.GetDivisionRules().GetSameSoundApart() ? "同音" : "同名";
    for (const std::vector<int>& apart : m_ruleGroups->Apart()) {
        std::map<int, std::vector<int>> bySlot;
        for (const int position : apart) {
            const int slot = m_students[static_cast<std::size_t>(position)].slot;
            if (slot >= 0)
                bySlot[slot].push_back(position);
        }
        for (const auto& [slot, positions] : bySlot) {
            if (positions.size() > 1)
                m_messages.push_back(std::string(kind) + "学生 " + NamesOf(positions) + " 未能分在不同的班级（"
                                     + task.GetClassName(m_slots[static_cast<std::size_t>(slot)]->GetClassId()) + "）");
        }
    }
}

void CDivisionCore::WriteBack()
{
    // Every student starts unplaced, with this run's pre-assignment flag and
    // exclusion partners.
    for (std::size_t i = 0; i < m_students.size(); ++i) {
        const Student& student = m_students[i];
        student.info->SetClassId(std::string());
        student.info->SetPresetFlag(student.presetSlot != kNoPreset);
        auto& mutex = student.info->GetMutex();
        mutex.clear();
        for (std::size_t p = m_partnerIdStart[i]; p < m_partnerIdStart[i + 1]; ++p)
            mutex.emplace_back(m_partnerIds[p]);
    }

    // Each class lists its girls, then its boys, in placing order.
    for (const auto& slot : m_slots) {
        CClassInfo* info = slot->GetClassInfo();
        auto& ids = info->GetStudentArray();
        ids.clear();
        ids.reserve(slot->GetOccupancy());
        for (const auto* group : {&slot->GetGirls(), &slot->GetBoys()}) {
            for (int position : *group) {
                const Student& student = m_students[static_cast<std::size_t>(position)];
                ids.push_back(*student.id);
                student.info->SetClassId(slot->GetClassId());
            }
        }
    }

    auto& errors = GetTask()->GetLastReportInfo().GetErrorInfo();
    errors.insert(errors.end(), m_messages.begin(), m_messages.end());
}
