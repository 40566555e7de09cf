#include "core/BalanceModel.h"

#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "core/DivisionCategories.h"
#include "core/DivisionRuleGroups.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

// Scores beyond this are not school marks; they are capped so that exact
// class sums cannot overflow.
constexpr double kScoreLimit = 1.0e9;

std::int64_t ToUnits(double value)
{
    if (!std::isfinite(value))
        return 0;
    value = std::clamp(value, -kScoreLimit, kScoreLimit);
    return std::llround(value * static_cast<double>(CBalanceModel::kUnitsPerPoint));
}

} // namespace

CBalanceModel::CBalanceModel(CScheduleTask& task) : m_task(task)
{
    m_subjectNames = task.GetCustomSubjectArray();
    m_subjectCount = static_cast<int>(m_subjectNames.size());
    ReadClasses();
    ReadStudents();
    ReadPartners();
}

void CBalanceModel::ReadClasses()
{
    m_classes = m_task.GetClassInfoList().Records<CClassInfo>();
    m_capacities.reserve(m_classes.size());
    for (const CClassInfo* info : m_classes)
        m_capacities.push_back(static_cast<std::int64_t>(info->GetStudentCount()));
}

std::vector<std::string> CBalanceModel::ReadFixedIds() const
{
    // A pre-assignment holds its student in place as long as its class
    // exists; one naming a missing class never bound the division either.
    std::vector<std::string> ids;
    for (const auto& entry : m_task.GetStudentPresetList()) {
        const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
        if (m_task.GetClassInfoList().Find(preset->GetPresetClassId()))
            ids.push_back(entry.id);
    }
    return ids;
}

void CBalanceModel::ReadStudents()
{
    std::unordered_map<std::string_view, int> classIndex;
    for (std::size_t c = 0; c < m_classes.size(); ++c)
        classIndex.emplace(m_classes[c]->IdRef(), static_cast<int>(c));
    const std::vector<std::string> fixedIds = ReadFixedIds();
    const std::unordered_set<std::string_view> fixed(fixedIds.begin(), fixedIds.end());
    std::unordered_map<std::string, int> schoolIndex;
    const CDivisionCategories categories(m_task);
    const std::size_t kinds = categories.Kinds().size();

    const std::size_t dimensions = static_cast<std::size_t>(GetScoreDimensions());
    const std::size_t subjects = static_cast<std::size_t>(m_subjectCount);
    for (const auto& entry : m_task.GetStudentInfoList()) {
        auto* info = static_cast<CStudentInfo*>(entry.object.get());
        const auto placed = info->ClassIdRef().empty() ? classIndex.end() : classIndex.find(info->ClassIdRef());
        if (placed == classIndex.end()) {
            ++m_unplacedCount;
            continue;
        }

        Student student;
        student.info = info;
        student.fixed = fixed.count(entry.id) > 0;
        student.girl = info->IsGirl();
        const std::string school = info->GetFromSchool();
        if (!school.empty()) {
            const auto [it, added] = schoolIndex.emplace(school, static_cast<int>(m_schoolNames.size()));
            if (added) {
                m_schoolNames.push_back(school);
                m_schoolSizes.push_back(0);
            }
            student.school = it->second;
            ++m_schoolSizes[static_cast<std::size_t>(it->second)];
        }
        m_students.push_back(student);
        m_initialClass.push_back(placed->second);
        m_tallies.push_back(student.school);
        for (std::size_t k = 0; k < kinds; ++k)
            m_tallies.push_back(categories.CategoryOf(entry.id, k));

        // Missing scores count as nothing, as in the statistics.
        const auto& texts = info->GetScoreArray();
        const std::size_t first = m_units.size();
        m_units.resize(first + dimensions, 0);
        m_scores.resize(m_scores.size() + subjects, 0.0f);
        float* scores = m_scores.data() + (m_scores.size() - subjects);
        std::int64_t total = 0;
        for (std::size_t k = 0; k < std::min(subjects, texts.size()); ++k) {
            const double value = CStudentInfo::ScoreValue(texts[k]);
            scores[k] = static_cast<float>(value);
            m_units[first + k] = ToUnits(value);
            total += m_units[first + k];
        }
        m_units[first + subjects] = total;
    }

    std::vector<std::size_t> kindSizes;
    std::vector<std::string> names;
    for (const CDivisionCategories::Kind& kind : categories.Kinds()) {
        kindSizes.push_back(kind.categories.size());
        for (const std::string& category : kind.categories)
            names.push_back(kind.title + ":" + category);
    }
    ReadTallies(names, kindSizes);
}

void CBalanceModel::ReadTallies(const std::vector<std::string>& categoryNames, const std::vector<std::size_t>& kindSizes)
{
    m_tallyStart.push_back(0);
    m_tallyCount = GetSchoolCount();
    for (const std::size_t size : kindSizes) {
        m_tallyStart.push_back(m_tallyCount);
        m_tallyCount += static_cast<int>(size);
    }
    m_tallyNames = m_schoolNames;
    m_tallyNames.insert(m_tallyNames.end(), categoryNames.begin(), categoryNames.end());
    m_tallySizes.assign(static_cast<std::size_t>(m_tallyCount), 0);
    const int kinds = GetTallyKinds();
    for (int s = 0; s < GetStudentCount(); ++s) {
        for (int k = 0; k < kinds; ++k) {
            const int tally = GetTally(s, k);
            if (tally >= 0)
                ++m_tallySizes[static_cast<std::size_t>(tally)];
        }
    }
}

void CBalanceModel::ReadPartners()
{
    std::unordered_map<std::string_view, int> studentIndex;
    for (std::size_t s = 0; s < m_students.size(); ++s)
        studentIndex.emplace(m_students[s].info->IdRef(), static_cast<int>(s));

    std::vector<std::vector<int>> partners(m_students.size());
    if (!m_task.GetDivisionRules().IsEmpty()) {
        // The task's rules hold as the division left them: students who
        // share a class by rule go over only as a block (and stay where
        // they are with a pre-assigned member), and students of one name
        // that the division kept apart stay apart.
        std::vector<std::string> names;
        names.reserve(m_students.size());
        for (const Student& student : m_students)
            names.push_back(student.info->NameRef());
        const CDivisionRuleGroups rules(m_task, studentIndex, names);
        for (const std::vector<int>& together : rules.Together()) {
            const bool free = together.size() > 1 && std::none_of(together.begin(), together.end(), [this](int member) {
                return m_students[static_cast<std::size_t>(member)].fixed;
            });
            for (const int member : together)
                m_students[static_cast<std::size_t>(member)].fixed = true;
            if (free)
                m_blocks.push_back(together);
        }
        for (const std::vector<int>& apart : rules.Apart()) {
            for (const int a : apart) {
                for (const int b : apart) {
                    if (a != b
                        && m_initialClass[static_cast<std::size_t>(a)] != m_initialClass[static_cast<std::size_t>(b)])
                        partners[static_cast<std::size_t>(a)].push_back(b);
                }
            }
        }
    }
    for (const auto& entry : m_task.GetMutexStudentList()) {
        const auto* group = static_cast<const CMutexStudent*>(entry.object.get());
        std::vector<int> members;
        for (const std::string& id : group->GetMutexStudents()) {
            const auto it = studentIndex.find(id);
            if (it != studentIndex.end())
                members.push_back(it->second);
        }
        for (int a : members) {
            for (int b : members) {
                if (a != b)
                    partners[static_cast<std::size_t>(a)].push_back(b);
            }
        }
    }

    m_partnerStart.reserve(m_students.size() + 1);
    m_partnerStart.push_back(0);
    for (auto& list : partners) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        m_partners.insert(m_partners.end(), list.begin(), list.end());
        m_partnerStart.push_back(m_partners.size());
    }
}

int CBalanceModel::GetLargestSchool() const
{
    const auto largest = std::max_element(m_schoolSizes.begin(), m_schoolSizes.end());
    return largest == m_schoolSizes.end() ? -1 : static_cast<int>(largest - m_schoolSizes.begin());
}

int CBalanceModel::Apply(const std::vector<int>& assignment) const
{
    std::vector<std::unordered_set<std::string_view>> leaving(m_classes.size());
    std::vector<std::vector<const Student*>> arriving(m_classes.size());
    int moved = 0;
    for (std::size_t s = 0; s < m_students.size(); ++s) {
        const int from = m_initialClass[s];
        const int to = assignment[s];
        if (from == to)
            continue;
        ++moved;
        leaving[static_cast<std::size_t>(from)].insert(m_students[s].info->IdRef());
        arriving[static_cast<std::size_t>(to)].push_back(&m_students[s]);
        m_students[s].info->SetClassId(m_classes[static_cast<std::size_t>(to)]->GetId());
    }

    const CQZObjectList& students = m_task.GetStudentInfoList();
    for (std::size_t c = 0; c < m_classes.size(); ++c) {
        if (leaving[c].empty() && arriving[c].empty())
            continue;
        auto& ids = m_classes[c]->GetStudentArray();
        std::erase_if(ids, [&](const std::string& id) { return leaving[c].count(id) > 0; });
        // Arriving girls join the girls, arriving boys go to the end.
        std::size_t girlsEnd = 0;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const auto* student = students.FindAs<CStudentInfo>(ids[i]);
            if (student && student->IsGirl())
                girlsEnd = i + 1;
        }
        std::vector<std::string> girls;
        for (const Student* student : arriving[c]) {
            if (student->girl)
                girls.push_back(student->info->GetId());
            else
                ids.push_back(student->info->GetId());
        }
        ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(girlsEnd), girls.begin(), girls.end());
    }
    return moved;
}
