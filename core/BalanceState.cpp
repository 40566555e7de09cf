#include "core/BalanceState.h"

#include "core/BalanceModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Weight of one girl or boy outside the band around the mean, and of one
// student of a school outside its band. A score average one unit (see
// SetUnits) outside its band weighs as much as one girl too many.
constexpr double kGenderWeight = 2.0;
constexpr double kSchoolWeight = 0.5;
// A category outside its band weighs four times a girl: one class over the
// band means another under it, and the score averages would otherwise
// rather keep the two than give up a little of their closeness. The first
// release weighed it as a girl.
constexpr double kCategoryWeight = 4.0 * kGenderWeight;
constexpr double kFirstReleaseCategoryWeight = kGenderWeight;

constexpr double kUnits = static_cast<double>(CBalanceModel::kUnitsPerPoint);

} // namespace

CBalanceState::CBalanceState(const CBalanceModel& model, const std::vector<int>& assignment, CBalanceMethod method)
    : m_model(model),
      m_classCount(model.GetClassCount()),
      m_dimensions(static_cast<std::size_t>(model.GetScoreDimensions())),
      m_kinds(model.GetTallyKinds()),
      m_tallies(static_cast<std::size_t>(model.GetTallyCount())),
      m_classOf(assignment)
{
    const std::size_t classes = static_cast<std::size_t>(m_classCount);
    m_slot.assign(m_classOf.size(), -1);
    m_movable.resize(classes);
    m_size.assign(classes, 0);
    m_girls.assign(classes, 0);
    m_sums.assign(classes * m_dimensions, 0);
    m_deviation.assign(classes * m_dimensions, 0.0);
    m_tallyCounts.assign(classes * m_tallies, 0);
    m_averageCost.assign(classes, 0.0);
    m_offAverage.assign(classes, 0);
    m_offBand.assign(classes, 0);
    m_excessCost.assign(classes, 0.0);
    m_genderCost.assign(classes, 0.0);
    m_tallyCost.assign(classes, 0.0);
    m_classCost.assign(classes, 0.0);
    m_mean.assign(m_dimensions, 0.0);
    m_offset.assign(m_dimensions, 0.0);
    m_middle.assign(m_dimensions, 0.0);
    m_tolerance.assign(m_dimensions, std::numeric_limits<double>::infinity());
    m_averageWeight.assign(m_dimensions, 0.0);
    m_unit.assign(m_dimensions, 1.0);

    m_points.reserve(m_classOf.size() * m_dimensions);
    for (int s = 0; s < model.GetStudentCount(); ++s) {
        for (std::size_t d = 0; d < m_dimensions; ++d)
            m_points.push_back(static_cast<double>(model.GetUnits(s)[d]) / kUnits);
    }

    int girls = 0;
    std::vector<std::int64_t> totals(m_dimensions, 0);
    for (int s = 0; s < model.GetStudentCount(); ++s) {
        Add(s, m_classOf[static_cast<std::size_t>(s)]);
        girls += model.IsGirl(s) ? 1 : 0;
        for (std::size_t d = 0; d < m_dimensions; ++d)
            totals[d] += model.GetUnits(s)[d];
    }

    const int students = model.GetStudentCount();
    for (std::size_t d = 0; d < m_dimensions && students > 0; ++d)
        m_mean[d] = static_cast<double>(totals[d]) / (static_cast<double>(students) * kUnits);
    m_middle = m_mean;

    // The bands of the counts are the whole numbers next to the mean over
    // the classes that can hold students.
    int active = 0;
    for (int c = 0; c < m_classCount; ++c)
        active += (m_size[static_cast<std::size_t>(c)] > 0 || model.GetCapacity(c) > 0) ? 1 : 0;
    const double perClass = active > 0 ? 1.0 / active : 0.0;
    auto band = [perClass](int count, int& low, int& high) {
        const double mean = count * perClass;
        low = static_cast<int>(std::floor(mean));
        high = static_cast<int>(std::ceil(mean));
    };
    band(girls, m_girlsLow, m_girlsHigh);
    band(students - girls, m_boysLow, m_boysHigh);
    m_tallyLow.resize(m_tallies);
    m_tallyHigh.resize(m_tallies);
    m_tallyWeight.resize(m_tallies);
    for (std::size_t i = 0; i < m_tallies; ++i) {
        const int tally = static_cast<int>(i);
        const bool school = model.IsSchoolTally(tally);
        m_tallyWeight[i] = school ? kSchoolWeight
                                  : (method == CBalanceMethod::Current ? kCategoryWeight : kFirstReleaseCategoryWeight);
        if (!school || tally == model.GetLargestSchool()) {
            band(model.GetTallySize(tally), m_tallyLow[i], m_tallyHigh[i]);
        } else {
            const int middle = static_cast<int>(std::lround(model.GetTallySize(tally) * perClass));
            m_tallyLow[i] = middle - 1;
            m_tallyHigh[i] = middle + 1;
        }
    }

    Refresh();
}

void CBalanceState::SetTolerances(const std::vector<double>& tolerances)
{
    for (std::size_t d = 0; d < m_dimensions; ++d) {
        m_tolerance[d] = std::max(tolerances[d], 1.0e-9);
        m_averageWeight[d] = kGenderWeight / (m_unit[d] * m_unit[d]);
        m_middle[d] = m_mean[d] + m_offset[d];
    }
    Refresh();
}

double CBalanceState::GetMaxDeviation(int dimension) const
{
    double largest = 0.0;
    for (int c = 0; c < m_classCount; ++c)
        largest = std::max(largest, std::abs(GetDeviation(c, dimension)));
    return largest;
}

void CBalanceState::Refresh()
{
    m_cost = 0.0;
    m_excess = 0.0;
    m_classesOffAverage = 0;
    m_classesOffBand = 0;
    for (int c = 0; c < m_classCount; ++c) {
        m_classCost[static_cast<std::size_t>(c)] = 0.0;
        m_averageCost[static_cast<std::size_t>(c)] = 0.0;
        m_offAverage[static_cast<std::size_t>(c)] = 0;
        m_offBand[static_cast<std::size_t>(c)] = 0;
        m_excessCost[static_cast<std::size_t>(c)] = 0.0;
        UpdateDeviations(c);
        Reprice(c);
    }
}

double CBalanceState::GenderCost(int girls, int size) const
{
    return CountTerm(girls, m_girlsLow, m_girlsHigh, kGenderWeight)
           + CountTerm(size - girls, m_boysLow, m_boysHigh, kGenderWeight);
}

double CBalanceState::TallyTerm(int tally, int count) const
{
    const std::size_t t = static_cast<std::size_t>(tally);
    return CountTerm(count, m_tallyLow[t], m_tallyHigh[t], m_tallyWeight[t]);
}

void CBalanceState::UpdateDeviations(int classIndex)
{
    const int size = Size(classIndex);
    const double scale = size > 0 ? 1.0 / (static_cast<double>(size) * kUnits) : 0.0;
    for (std::size_t d = 0; d < m_dimensions; ++d) {
        const std::size_t cell = Cell(classIndex, static_cast<int>(d));
        m_deviation[cell] = size > 0 ? static_cast<double>(m_sums[cell]) * scale - m_middle[d] : 0.0;
    }
}

void CBalanceState::Reprice(int classIndex)
{
    const std::size_t c = static_cast<std::size_t>(classIndex);
    const double oldCost = m_classCost[c];
    const bool wasOffAverage = m_offAverage[c] != 0;
    const bool wasOffBand = m_offBand[c] != 0;

    double average = 0.0;
    double excess = 0.0;
    double gender = 0.0;
    double tallies = 0.0;
    if (m_size[c] > 0) {
        for (std::size_t d = 0; d < m_dimensions; ++d) {
            const double deviation = m_deviation[Cell(classIndex, static_cast<int>(d))];
            average += AverageTerm(static_cast<int>(d), deviation);
            excess += ExcessTerm(static_cast<int>(d), deviation);
        }
        gender = GenderCost(m_girls[c], m_size[c]);
        for (std::size_t i = 0; i < m_tallies; ++i)
            tallies += TallyTerm(static_cast<int>(i), m_tallyCounts[c * m_tallies + i]);
    }
    m_averageCost[c] = average;
    m_genderCost[c] = gender;
    m_tallyCost[c] = tallies;
    m_classCost[c] = average + gender + tallies;
    const bool offAverage = excess > 0.0;
    const bool offBand = offAverage || gender + tallies > 0.0;
    if (!m_deferTotals) {
        m_cost += m_classCost[c] - oldCost;
        m_excess += excess - m_excessCost[c];
        m_classesOffAverage += (offAverage ? 1 : 0) - (wasOffAverage ? 1 : 0);
        m_classesOffBand += (offBand ? 1 : 0) - (wasOffBand ? 1 : 0);
    }
    m_excessCost[c] = excess;
    m_offAverage[c] = offAverage ? 1 : 0;
    m_offBand[c] = offBand ? 1 : 0;
}

void CBalanceState::DeferTotals(bool defer)
{
    m_deferTotals = defer;
    if (defer)
        return;
    m_cost = 0.0;
    m_excess = 0.0;
    m_classesOffAverage = 0;
    m_classesOffBand = 0;
    for (std::size_t c = 0; c < static_cast<std::size_t>(m_classCount); ++c) {
        m_cost += m_classCost[c];
        m_excess += m_excessCost[c];
        m_classesOffAverage += m_offAverage[c];
        m_classesOffBand += m_offBand[c];
    }
}

double CBalanceState::CostAfter(int classIndex, int removed, int added) const
{
    const std::size_t c = static_cast<std::size_t>(classIndex);
    const int size = m_size[c] - (removed >= 0 ? 1 : 0) + (added >= 0 ? 1 : 0);
    if (size == 0)
        return 0.0;

    const std::int64_t* out = removed >= 0 ? m_model.GetUnits(removed) : nullptr;
    const std::int64_t* in = added >= 0 ? m_model.GetUnits(added) : nullptr;
    double cost = 0.0;
    if (size == m_size[c]) {
        // Same headcount: shift the deviations by the difference.
        const double scale = 1.0 / (static_cast<double>(size) * kUnits);
        for (std::size_t d = 0; d < m_dimensions; ++d) {
            const double shift = static_cast<double>(in[d] - out[d]) * scale;
            cost += AverageTerm(static_cast<int>(d), m_deviation[Cell(classIndex, static_cast<int>(d))] + shift);
        }
    } else {
        const double scale = 1.0 / (static_cast<double>(size) * kUnits);
        for (std::size_t d = 0; d < m_dimensions; ++d) {
            const std::int64_t sum =
                m_sums[Cell(classIndex, static_cast<int>(d))] + (in ? in[d] : 0) - (out ? out[d] : 0);
            cost += AverageTerm(static_cast<int>(d), static_cast<double>(sum) * scale - m_middle[d]);
        }
    }

    const int girls =
        m_girls[c] + (added >= 0 && m_model.IsGirl(added) ? 1 : 0) - (removed >= 0 && m_model.IsGirl(removed) ? 1 : 0);
    cost += GenderCost(girls, size);

    cost += m_tallyCost[c];
    for (int k = 0; k < m_kinds; ++k) {
        const int out = removed >= 0 ? m_model.GetTally(removed, k) : -1;
        const int in = added >= 0 ? m_model.GetTally(added, k) : -1;
        if (out != in)
            cost += TallyChange(classIndex, out, -1) + TallyChange(classIndex, in, 1);
    }
    return cost;
}

double CBalanceState::TallyChange(int classIndex, int tally, int change) const
{
    if (tally < 0)
        return 0.0;
    const int count = m_tallyCounts[static_cast<std::size_t>(classIndex) * m_tallies + static_cast<std::size_t>(tally)];
    return TallyTerm(tally, count + change) - TallyTerm(tally, count);
}

int CBalanceState::JoinCondition(int student, int classIndex) const
{
    int only = -1;
    for (const int* p = m_model.PartnersBegin(student); p != m_model.PartnersEnd(student); ++p) {
        if (ClassOf(*p) != classIndex)
            continue;
        if (only >= 0)
            return -2;
        only = *p;
    }
    return only;
}

bool CBalanceState::CanJoin(int student, int classIndex, int leaving) const
{
    for (const int* p = m_model.PartnersBegin(student); p != m_model.PartnersEnd(student); ++p) {
        if (*p != leaving && ClassOf(*p) == classIndex)
            return false;
    }
    return true;
}

bool CBalanceState::CanSwap(int a, int b) const
{
    const int classA = ClassOf(a);
    const int classB = ClassOf(b);
    return classA != classB && !m_model.IsFixed(a) && !m_model.IsFixed(b) && CanJoin(a, classB, b)
           && CanJoin(b, classA, a);
}

double CBalanceState::SwapDelta(int a, int b) const
{
    const int classA = ClassOf(a);
    const int classB = ClassOf(b);
    return CostAfter(classA, a, b) + CostAfter(classB, b, a) - GetClassCost(classA) - GetClassCost(classB);
}

void CBalanceState::Swap(int a, int b)
{
    Relocate({{a, ClassOf(b)}, {b, ClassOf(a)}});
}

void CBalanceState::Relocate(std::initializer_list<std::pair<int, int>> moves)
{
    int touched[6];
    int count = 0;
    for (const auto& [student, to] : moves) {
        touched[count++] = ClassOf(student);
        touched[count++] = to;
        Remove(student, ClassOf(student));
    }
    for (const auto& [student, to] : moves)
        Add(student, to);
    std::sort(touched, touched + count);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && touched[i] == touched[i - 1])
            continue;
        UpdateDeviations(touched[i]);
        Reprice(touched[i]);
    }
}

bool CBalanceState::CanMove(int student, int to) const
{
    const int from = ClassOf(student);
    return from != to && !m_model.IsFixed(student) && Size(to) < Size(from) && Size(from) > 1
           && Size(to) < m_model.GetCapacity(to) && CanJoin(student, to, -1);
}

double CBalanceState::MoveDelta(int student, int to) const
{
    const int from = ClassOf(student);
    return CostAfter(from, student, -1) + CostAfter(to, -1, student) - GetClassCost(from) - GetClassCost(to);
}

void CBalanceState::Move(int student, int to)
{
    Relocate({{student, to}});
}

bool CBalanceState::CanRotate(int a, int b, int c) const
{
    const int classA = ClassOf(a);
    const int classB = ClassOf(b);
    const int classC = ClassOf(c);
    return classA != classB && classB != classC && classA != classC && !m_model.IsFixed(a) && !m_model.IsFixed(b)
           && !m_model.IsFixed(c) && CanJoin(a, classB, b) && CanJoin(b, classC, c) && CanJoin(c, classA, a);
}

double CBalanceState::RotateDelta(int a, int b, int c) const
{
    const int classA = ClassOf(a);
    const int classB = ClassOf(b);
    const int classC = ClassOf(c);
    return CostAfter(classA, a, c) + CostAfter(classB, b, a) + CostAfter(classC, c, b) - GetClassCost(classA)
           - GetClassCost(classB) - GetClassCost(classC);
}

void CBalanceState::Rotate(int a, int b, int c)
{
    Relocate({{a, ClassOf(b)}, {b, ClassOf(c)}, {c, ClassOf(a)}});
}

void CBalanceState::Remove(int student, int classIndex)
{
    const std::size_t c = static_cast<std::size_t>(classIndex);
    const std::size_t s = static_cast<std::size_t>(student);
    --m_size[c];
    m_girls[c] -= m_model.IsGirl(student) ? 1 : 0;
    const std::int64_t* units = m_model.GetUnits(student);
    for (std::size_t d = 0; d < m_dimensions; ++d)
        m_sums[c * m_dimensions + d] -= units[d];
    for (int k = 0; k < m_kinds; ++k) {
        const int tally = m_model.GetTally(student, k);
        if (tally >= 0)
            --m_tallyCounts[c * m_tallies + static_cast<std::size_t>(tally)];
    }
    if (m_slot[s] >= 0) {
        auto& list = m_movable[c];
        const int last = list.back();
        list[static_cast<std::size_t>(m_slot[s])] = last;
        m_slot[static_cast<std::size_t>(last)] = m_slot[s];
        list.pop_back();
        m_slot[s] = -1;
    }
    SetClassOf(student, -1);
}

void CBalanceState::Add(int student, int classIndex)
{
    const std::size_t c = static_cast<std::size_t>(classIndex);
    const std::size_t s = static_cast<std::size_t>(student);
    ++m_size[c];
    m_girls[c] += m_model.IsGirl(student) ? 1 : 0;
    const std::int64_t* units = m_model.GetUnits(student);
    for (std::size_t d = 0; d < m_dimensions; ++d)
        m_sums[c * m_dimensions + d] += units[d];
    for (int k = 0; k < m_kinds; ++k) {
        const int tally = m_model.GetTally(student, k);
        if (tally >= 0)
            ++m_tallyCounts[c * m_tallies + static_cast<std::size_t>(tally)];
    }
    if (!m_model.IsFixed(student)) {
        m_slot[s] = static_cast<int>(m_movable[c].size());
        m_movable[c].push_back(student);
    }
    SetClassOf(student, classIndex);
}
