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
// The low bits of a sort key hold a group's index.
constexpr int kIndexBits = 16;
constexpr std::uint64_t kIndexMask = (std::uint64_t{1} << kIndexBits) - 1;
static_assert(kMaxStudents * (kMaxStudents - 1) * (kMaxStudents - 2) / 6 <= kIndexMask);

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

void CBalanceGroupExchange::Sort(const std::vector<Group>& groups, const std::vector<float>& sums, Sorted& sorted)
{
    // One key per group, the total above the smallest in the high bits and
    // the index in the low ones, sorted by the total a byte at a time from
    // the lowest (each pass keeps the order of the last, so ties stay in
    // the order of listing): the lists are long and sorted for every try.
    const std::size_t dimensions = static_cast<std::size_t>(m_state.GetModel().GetScoreDimensions());
    std::int64_t smallest = groups.front().total;
    std::int64_t largest = smallest;
    for (const Group& group : groups) {
        smallest = std::min(smallest, group.total);
        largest = std::max(largest, group.total);
    }
    m_keys.resize(groups.size());
    m_scratch.resize(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i)
        m_keys[i] = (static_cast<std::uint64_t>(groups[i].total - smallest) << kIndexBits) | i;
    const std::uint64_t range = static_cast<std::uint64_t>(largest - smallest);
    for (int shift = 0; shift < 64 - kIndexBits && (shift == 0 || (range >> shift) != 0); shift += 8) {
        std::array<std::size_t, 257> starts{};
        for (const std::uint64_t key : m_keys)
            ++starts[((key >> (kIndexBits + shift)) & 0xFF) + 1];
        for (std::size_t digit = 1; digit < starts.size(); ++digit)
            starts[digit] += starts[digit - 1];
        for (const std::uint64_t key : m_keys)
            m_scratch[starts[(key >> (kIndexBits + shift)) & 0xFF]++] = key;
        m_keys.swap(m_scratch);
    }
    sorted.totals.resize(groups.size());
    sorted.index.resize(groups.size());
    sorted.girls.resize(groups.size());
    sorted.sums.resize(sums.size());
    for (std::size_t j = 0; j < groups.size(); ++j) {
        const std::size_t i = static_cast<std::size_t>(m_keys[j] & kIndexMask);
        sorted.totals[j] = groups[i].total;
        sorted.index[j] = static_cast<int>(i);
        sorted.girls[j] = groups[i].girls;
        std::copy_n(sums.data() + i * dimensions, dimensions, sorted.sums.data() + j * dimensions);
    }
}

CBalanceGroupExchange::Best CBalanceGroupExchange::Scan(const Pair& pair, std::size_t begin, std::size_t end) const
{
    const std::size_t dimensions = static_cast<std::size_t>(m_state.GetModel().GetScoreDimensions());
    std::vector<float> change(dimensions);
    std::vector<std::pair<int, int>> net;
    Best best;
    best.delta = static_cast<float>(pair.price.base - CBalanceState::kMinGain);
    const std::vector<std::int64_t>& totalsB = m_sortedB.totals;
    const std::size_t count = totalsB.size();
    // The groups of the first class come in the order of totals, so the
    // first partner with at least the wanted total only moves forward.
    std::size_t cursor = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const std::int64_t wanted = m_sortedA.totals[i] + pair.ideal;
        while (cursor < count && totalsB[cursor] < wanted)
            ++cursor;
        std::size_t right = cursor;
        std::size_t left = right;
        const float* sumA = m_sortedA.sums.data() + i * dimensions;
        const int girlsA = m_sortedA.girls[i];
        for (std::size_t looked = 0; looked < kPartners && (left > 0 || right < count); ++looked) {
            std::size_t j;
            if (left == 0 || (right < count && totalsB[right] - wanted < wanted - totalsB[left - 1]))
                j = right++;
            else
                j = --left;
            const float counts = pair.gender[static_cast<std::size_t>(m_sortedB.girls[j] - girlsA + kMembers)];
            if (!(counts < best.delta))
                continue;
            const float* sumB = m_sortedB.sums.data() + j * dimensions;
            for (std::size_t d = 0; d < dimensions; ++d)
                change[d] = sumB[d] - sumA[d];
            const float averages = pair.price.Averages(change.data(), best.delta - counts);
            if (counts + averages >= best.delta)
                continue;
            const int a = m_sortedA.index[i];
            const int b = m_sortedB.index[j];
            const float delta = counts + averages
                                + TallyPrice(pair.classA, pair.classB, m_groupsA[static_cast<std::size_t>(a)],
                                             m_groupsB[static_cast<std::size_t>(b)], net);
            if (delta < best.delta) {
                best.delta = delta;
                best.a = a;
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
    Sort(m_groupsA, m_sumsA, m_sortedA);
    Sort(m_groupsB, m_sumsB, m_sortedB);

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
            second = std::async(m_threads ? std::launch::async : std::launch::deferred, &CBalanceGroupExchange::Scan,
                                this, std::cref(pair), middle, m_groupsA.size());
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

    const Group one = m_groupsA[static_cast<std::size_t>(best.a)];
    const Group two = m_groupsB[static_cast<std::size_t>(best.b)];
    const double before = m_state.GetClassCost(classA) + m_state.GetClassCost(classB);
    Exchange(one, two);
    if (m_state.GetClassCost(classA) + m_state.GetClassCost(classB) < before - CBalanceState::kMinGain)
        return true;
    Exchange(one, two);
    return false;
}
