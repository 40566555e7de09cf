#include "core/BalanceBands.h"

#include "core/BalanceModel.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// Subject bands are this many times as wide as the total's. Narrower
// subject bands hold the total well above its floor (at 10, a cohort of
// 1,800 ends near 0.03 in the total for 0.33 in the worst subject, at 20
// near 0.022 for 0.37); at 25 the total reaches its floor, one step of a
// class average, for 0.40 in the worst subject.
constexpr double kSubjectRatio = 25.0;
// Each narrowing keeps this share of the width.
constexpr double kNarrowing = 0.7;
// The unit of the total average, as a share of the spread of random classes.
constexpr double kUnitShare = 0.01;
// Steps without gain, per class, before the bands narrow anyway; at the
// floors, four times as many end the search.
constexpr std::uint64_t kPatiencePerClass = 10;
constexpr std::uint64_t kPatienceBase = 50;
constexpr std::uint64_t kPatienceAtFloor = 4;

} // namespace

CBalanceBands::CBalanceBands(CBalanceState& state)
    : m_state(state),
      m_total(static_cast<std::size_t>(state.GetModel().GetSubjectCount())),
      m_floors(Floors()),
      m_caps(Caps()),
      m_tolerances(m_floors.size()),
      m_patience(kPatiencePerClass * static_cast<std::uint64_t>(state.GetClassCount()) + kPatienceBase)
{
    m_units = Units();
    // Only a figure the start already holds within a unit of even is held
    // there; a wider start (a fresh greedy division) is left to the usual
    // narrowing.
    for (std::size_t d = 0; d < m_caps.size(); ++d) {
        if (!(m_caps[d] < m_units[d]))
            m_caps[d] = std::numeric_limits<double>::infinity();
    }
    NarrowTo(0.5 * m_state.GetMaxDeviation(static_cast<int>(m_total)));
}

void CBalanceBands::NarrowTo(double tau)
{
    m_tau = tau;
    m_atFloor = true;
    std::vector<double> units = m_units;
    std::vector<double> offsets(m_tolerances.size(), 0.0);
    for (std::size_t d = 0; d < m_tolerances.size(); ++d) {
        const double usual = d == m_total ? tau : kSubjectRatio * tau;
        const double wanted = std::min(usual, m_caps[d]);
        // Held at the start's own spread, a figure weighs as the total
        // does: whatever it gives away, the whole result is lost.
        if (wanted < usual)
            units[d] = std::min(units[d], m_units[m_total]);
        m_tolerances[d] = std::max(m_floors[d], wanted);
        if (wanted <= m_floors[d])
            offsets[d] = Offset(d);
        else
            m_atFloor = false;
    }
    m_state.SetUnits(units);
    m_state.SetOffsets(offsets);
    m_state.SetTolerances(m_tolerances);
    m_levelBest = m_state.GetExcess();
}

bool CBalanceBands::Update(std::uint64_t step)
{
    if (m_state.GetExcess() < m_levelBest * (1.0 - 1.0e-6)) {
        m_levelBest = m_state.GetExcess();
        m_lastGain = step;
    }
    const std::uint64_t idle = step - m_lastGain;
    if (m_state.GetClassesOffAverage() > 0 && idle <= m_patience)
        return true;
    if (!m_atFloor) {
        NarrowTo(m_tau * kNarrowing);
        m_lastGain = step;
        return true;
    }
    return m_state.GetClassesOffBand() > 0 && idle <= kPatienceAtFloor * m_patience;
}

std::vector<double> CBalanceBands::Units() const
{
    const CBalanceModel& model = m_state.GetModel();
    const int students = model.GetStudentCount();
    double sum = 0.0;
    double squares = 0.0;
    for (int s = 0; s < students; ++s) {
        const double value = m_state.GetPoints(s)[m_total];
        sum += value;
        squares += value * value;
    }
    const double mean = students > 0 ? sum / students : 0.0;
    const double deviation = students > 0 ? std::sqrt(std::max(0.0, squares / students - mean * mean)) : 0.0;
    int classes = 0;
    for (int c = 0; c < model.GetClassCount(); ++c)
        classes += m_state.Size(c) > 0 ? 1 : 0;
    const double perClass = classes > 0 ? static_cast<double>(students) / classes : 1.0;
    const double unit = std::max(kUnitShare * deviation / std::sqrt(perClass), 1.0e-6);
    std::vector<double> units(static_cast<std::size_t>(model.GetScoreDimensions()), kSubjectRatio * unit);
    units[m_total] = unit;
    return units;
}

std::vector<double> CBalanceBands::Caps() const
{
    const int dimensions = m_state.GetModel().GetScoreDimensions();
    std::vector<double> caps(static_cast<std::size_t>(dimensions), 0.0);
    for (int d = 0; d < dimensions; ++d) {
        double low = 0.0, high = 0.0;
        bool any = false;
        for (int c = 0; c < m_state.GetClassCount(); ++c) {
            if (m_state.Size(c) == 0)
                continue;
            const double deviation = m_state.GetDeviation(c, d);
            low = any ? std::min(low, deviation) : deviation;
            high = any ? std::max(high, deviation) : deviation;
            any = true;
        }
        caps[static_cast<std::size_t>(d)] = 0.5 * (high - low);
    }
    return caps;
}

std::vector<double> CBalanceBands::Floors()
{
    // A class average moves in steps of the scores' common step over the
    // class size; the band at its floor is one such step of the smallest
    // class wide, which holds a step of every larger class too.
    const CBalanceModel& model = m_state.GetModel();
    int smallest = 0;
    for (int c = 0; c < model.GetClassCount(); ++c) {
        const int size = m_state.Size(c);
        if (size > 0 && (smallest == 0 || size < smallest))
            smallest = size;
    }
    smallest = std::max(smallest, 1);
    std::vector<double> floors(static_cast<std::size_t>(model.GetScoreDimensions()));
    m_grid.assign(floors.size(), 0.0);
    for (std::size_t d = 0; d < floors.size(); ++d) {
        std::int64_t step = 0;
        for (int s = 0; s < model.GetStudentCount(); ++s)
            step = std::gcd(step, model.GetUnits(s)[d]);
        const double points = static_cast<double>(step) / static_cast<double>(CBalanceModel::kUnitsPerPoint);
        m_grid[d] = step > 0 ? points / smallest : 0.0;
        floors[d] = step > 0 ? 0.5 * m_grid[d] * (1.0 + 1.0e-9) : 1.0e-6;
    }
    return floors;
}

double CBalanceBands::Offset(std::size_t dimension) const
{
    // At its floor a band holds the two steps next to the average of all,
    // so its middle lies halfway between them.
    const double grid = m_grid[dimension];
    if (!(grid > 0.0))
        return 0.0;
    const double mean = m_state.GetMean(static_cast<int>(dimension));
    return (std::floor(mean / grid) + 0.5) * grid - mean;
}
