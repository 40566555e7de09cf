#include "core/BalanceGroupExchange.h"

#include "core/BalanceModel.h"
#include "core/BalancePairPrice.h"
#include "core/BalanceRandom.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <system_error>

namespace {

// Students of a class grouped at most, drawn at random where there are more
// (the groups grow with the cube).
constexpr std::size_t kMaxStudents = 40;
// Partners priced per group, nearest to the ideal total first.
constexpr std::size_t kPartners = 8;
// Groups of the first class from which the scan takes two threads.
constexpr std::size_t kParallelGroups = 2000;

} // namespace

CBalanceGroupExchange::CBalanceGroupExchange(CBalanceState& state, CBalanceRandom& random)
    : m_state(state), m_random(random)
{
}

void CBalanceGroupExchange::List(int other, const std::vector<int>& students, std::vector<Group>& groups,
                                 std::vector<float>& sums)
{
    const CBalanceModel& model = m_state.GetModel();
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    const std::size_t total = static_cast<std::size_t>(model.GetSubjectCount());
    m_eligible.clear();
    for (int s : students) {
        if (m_state.JoinCondition(s, other) == -1)
            m_eligible.push_back(s);
    }
    if (m_eligible.size() > kMaxStudents) {
        for (std::size_t i = 0; i < kMaxStudents; ++i) {
            const std::size_t j =
                i + static_cast<std::size_t>(m_random.Below(static_cast<int>(m_eligible.size() - i)));
            std::swap(m_eligible[i], m_eligible[j]);
        }
        m_eligible.resize(kMaxStudents);
    }
    groups.clear();
    sums.clear();
    const std::size_t n = m_eligible.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            for (std::size_t k = j + 1; k < n; ++k) {
                const int a = m_eligible[i], b = m_eligible[j], c = m_eligible[k];
                Group group{{a, b, c},
                            model.GetUnits(a)[total] + model.GetUnits(b)[total] + model.GetUnits(c)[total],
                            (model.IsGirl(a) ? 1 : 0) + (model.IsGirl(b) ? 1 : 0) + (model.IsGirl(c) ? 1 : 0)};
                groups.push_back(group);
                const double* pa = m_state.GetPoints(a);
                const double* pb = m_state.GetPoints(b);
                const double* pc = m_state.GetPoints(c);
                for (std::size_t d = 0; d < dimensions; ++d)
                    sums.push_back(static_cast<float>(pa[d] + pb[d] + pc[d]));
            }
        }
    }
}

float CBalanceGroupExchange::TallyPrice(int classA, int classB, const Group& fromA, const Group& fromB,
                                        std::vector<std::pair<int, int>>& net) const
{
    const CBalanceModel& model = m_state.GetModel();
    float price = 0.0f;
    for (int kind = 0; kind < model.GetTallyKinds(); ++kind) {
        net.clear();
        auto add = [&net](int tally, int change) {
            if (tally < 0)
                return;
            for (auto& entry : net) {
                if (entry.first == tally) {
                    entry.second += change;
                    return;
                }
            }
            net.emplace_back(tally, change);
        };
        for (int s : fromA.members)
            add(model.GetTally(s, kind), -1);
        for (int s : fromB.members)
            add(model.GetTally(s, kind), 1);
        for (const auto& [tally, change] : net) {
            if (change != 0)
                price += static_cast<float>(m_state.TallyChange(classA, tally, change)
                                            + m_state.TallyChange(classB, tally, -change));
        }
    }
    return price;
}

void CBalanceGroupExchange::Exchange(const Group& fromA, const Group& fromB)
{
    for (int i = 0; i < kMembers; ++i)
        m_state.Swap(fromA.members[static_cast<std::size_t>(i)], fromB.members[static_cast<std::size_t>(i)]);
}

CBalanceGroupExchange::Best CBalanceGroupExchange::Scan(const Pair& pair, std::size_t begin, std::size_t end) const
{
    const std::size_t dimensions = static_cast<std::size_t>(m_state.GetModel().GetScoreDimensions());
    std::vector<float> change(dimensions);
    std::vector<std::pair<int, int>> net;
    Best best;
    best.delta = static_cast<float>(pair.price.base - CBalanceState::kMinGain);
    const std::size_t count = m_byTotal.size();
    for (std::size_t i = begin; i < end; ++i) {
        const Group& one = m_groupsA[i];
        const std::int64_t wanted = one.total + pair.ideal;
        std::size_t right = static_cast<std::size_t>(
            std::lower_bound(m_byTotal.begin(), m_byTotal.end(), Entry{wanted, -1}) - m_byTotal.begin());
        std::size_t left = right;
        const float* sumA = m_sumsA.data() + i * dimensions;
        for (std::size_t looked = 0; looked < kPartners && (left > 0 || right < count); ++looked) {
            std::size_t j;
            if (left == 0 || (right < count && m_byTotal[right].total - wanted < wanted - m_byTotal[left - 1].total))
                j = right++;
            else
                j = --left;
            const std::size_t b = static_cast<std::size_t>(m_byTotal[j].index);
            const float* sumB = m_sortedSums.data() + j * dimensions;
            for (std::size_t d = 0; d < dimensions; ++d)
                change[d] = sumB[d] - sumA[d];
            const float counts = pair.gender[static_cast<std::size_t>(m_groupsB[b].girls - one.girls + kMembers)];
            if (!(counts < best.delta))
                continue;
            const float averages = pair.price.Averages(change.data(), best.delta - counts);
            if (counts + averages >= best.delta)
                continue;
            const float delta = counts + averages + TallyPrice(pair.classA, pair.classB, one, m_groupsB[b], net);
            if (delta < best.delta) {
                best.delta = delta;
                best.a = i;
                best.b = b;
                best.found = true;
            }
        }
    }
    return best;
}

bool CBalanceGroupExchange::Run(int classA, const std::vector<int>& studentsA, int classB,
                                const std::vector<int>& studentsB)
{
    List(classB, studentsA, m_groupsA, m_sumsA);
    List(classA, studentsB, m_groupsB, m_sumsB);
    if (m_groupsA.empty() || m_groupsB.empty())
        return false;

    const std::size_t total = static_cast<std::size_t>(m_state.GetModel().GetSubjectCount());
    Pair pair{classA, classB, CBalancePairPrice(m_state, classA, classB)};
    m_byTotal.resize(m_groupsB.size());
    for (std::size_t i = 0; i < m_groupsB.size(); ++i)
        m_byTotal[i] = {m_groupsB[i].total, static_cast<int>(i)};
    std::sort(m_byTotal.begin(), m_byTotal.end());
    // The second class's sums in that order, so that the partners of a
    // group lie side by side.
    const std::size_t dimensions = static_cast<std::size_t>(m_state.GetModel().GetScoreDimensions());
    m_sortedSums.resize(m_sumsB.size());
    for (std::size_t j = 0; j < m_byTotal.size(); ++j)
        std::copy_n(m_sumsB.data() + static_cast<std::size_t>(m_byTotal[j].index) * dimensions, dimensions,
                    m_sortedSums.data() + j * dimensions);

    // What a change of girls costs the pair, for -kMembers to kMembers.
    const int girlsA = m_state.GetGirls(classA), girlsB = m_state.GetGirls(classB);
    for (int change = -kMembers; change <= kMembers; ++change) {
        pair.gender[static_cast<std::size_t>(change + kMembers)] = static_cast<float>(
            m_state.GenderCost(girlsA + change, m_state.Size(classA)) - m_state.GetGenderCost(classA)
            + m_state.GenderCost(girlsB - change, m_state.Size(classB)) - m_state.GetGenderCost(classB));
    }
    // The change of the first class's total that evens the two.
    pair.ideal = static_cast<std::int64_t>(
        std::llround((pair.price.deviationB[total] - pair.price.deviationA[total])
                     / (pair.price.shareA + pair.price.shareB) * static_cast<double>(CBalanceModel::kUnitsPerPoint)));

    // The groups of the first class in two halves, the second half on
    // another thread where one can be had; the better of the two (the first
    // on a tie) whatever the threads do, so the same seed gives the same
    // division.
    const std::size_t middle = m_groupsA.size() < kParallelGroups ? m_groupsA.size() : m_groupsA.size() / 2;
    std::future<Best> second;
    if (middle < m_groupsA.size()) {
        try {
            second = std::async(std::launch::async, &CBalanceGroupExchange::Scan, this, std::cref(pair), middle,
                                m_groupsA.size());
        } catch (const std::system_error&) {
            second = std::async(std::launch::deferred, &CBalanceGroupExchange::Scan, this, std::cref(pair), middle,
                                m_groupsA.size());
        }
    }
    Best best = Scan(pair, 0, middle);
    if (second.valid()) {
        const Best other = second.get();
        if (other.found && (!best.found || other.delta < best.delta))
            best = other;
    }
    if (!best.found)
        return false;

    const Group one = m_groupsA[best.a];
    const Group two = m_groupsB[best.b];
    const double before = m_state.GetClassCost(classA) + m_state.GetClassCost(classB);
    Exchange(one, two);
    if (m_state.GetClassCost(classA) + m_state.GetClassCost(classB) < before - CBalanceState::kMinGain)
        return true;
    Exchange(one, two);
    return false;
}
