#include "core/BalanceResplit.h"

#include "core/BalanceModel.h"
#include "core/BalanceRandom.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// Rounds of single flips after the split.
constexpr int kFlipRounds = 3;
// Noise added to the totals when pairing, in points.
constexpr double kPairingNoise = 4.0;

} // namespace

CBalanceResplit::CBalanceResplit(CBalanceState& state, CBalanceRandom& random) : m_state(state), m_random(random) {}

double CBalanceResplit::HalfDifference(const Couple& couple, int dimension) const
{
    return 0.5 * (m_state.GetPoints(couple.x)[dimension] - m_state.GetPoints(couple.y)[dimension]);
}

void CBalanceResplit::Pair(int first, int second)
{
    // As many students of each class as the other has movable ones, each
    // class's sorted by sex, then total with a little noise; the k-th of
    // the one class is paired with the k-th of the other.
    const CBalanceModel& model = m_state.GetModel();
    const int total = model.GetSubjectCount();
    const std::size_t count = std::min(m_state.Movable(first).size(), m_state.Movable(second).size());
    std::vector<std::pair<double, int>> sorted[2];
    for (int side = 0; side < 2; ++side) {
        std::vector<int> movable = m_state.Movable(side == 0 ? first : second);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t j = i + static_cast<std::size_t>(m_random.Below(static_cast<int>(movable.size() - i)));
            std::swap(movable[i], movable[j]);
            const int s = movable[i];
            const double key =
                m_state.GetPoints(s)[total] + (m_random.Unit() - 0.5) * kPairingNoise + (model.IsGirl(s) ? 1.0e9 : 0.0);
            sorted[side].emplace_back(key, s);
        }
        std::sort(sorted[side].begin(), sorted[side].end());
    }
    m_couples.clear();
    for (std::size_t i = 0; i < count; ++i)
        m_couples.push_back(Couple{sorted[0][i].second, sorted[1][i].second});
}

void CBalanceResplit::ChooseSides(int first, int second)
{
    // Wanted: the sum over couples of side * half difference equals target,
    // target = (devB - devA) / (1/nA + 1/nB) + what the couples give now.
    const int dimensions = m_state.GetModel().GetScoreDimensions();
    const auto& tolerances = m_state.GetTolerances();
    const double shareA = 1.0 / m_state.Size(first);
    const double shareB = 1.0 / m_state.Size(second);

    // Differencing works on items with a vector (scaled by the tolerances)
    // and their members with relative sides; the target is one more item
    // whose side must come out +1.
    struct Item
    {
        std::vector<double> vector;
        std::vector<std::pair<int, int>> members; // couple (or -1 for the target), side
        double size = 0.0;
    };
    std::vector<Item> items(m_couples.size() + 1);
    Item& target = items.back();
    target.vector.resize(static_cast<std::size_t>(dimensions));
    for (int d = 0; d < dimensions; ++d) {
        double wanted = (m_state.GetDeviation(second, d) - m_state.GetDeviation(first, d)) / (shareA + shareB);
        for (const Couple& couple : m_couples)
            wanted += HalfDifference(couple, d); // x is in the first class now
        target.vector[static_cast<std::size_t>(d)] = -wanted / tolerances[static_cast<std::size_t>(d)];
    }
    target.members = {{-1, 1}};
    for (std::size_t i = 0; i < m_couples.size(); ++i) {
        items[i].vector.resize(static_cast<std::size_t>(dimensions));
        for (int d = 0; d < dimensions; ++d)
            items[i].vector[static_cast<std::size_t>(d)] =
                HalfDifference(m_couples[i], d) / tolerances[static_cast<std::size_t>(d)];
        items[i].members = {{static_cast<int>(i), 1}};
    }
    auto norm = [](const std::vector<double>& v) {
        double sum = 0.0;
        for (double x : v)
            sum += x * x;
        return sum;
    };
    for (Item& item : items)
        item.size = norm(item.vector);

    auto larger = [](const Item& a, const Item& b) { return a.size < b.size; };
    std::make_heap(items.begin(), items.end(), larger);
    std::vector<double> plus, minus;
    while (items.size() > 1) {
        std::pop_heap(items.begin(), items.end(), larger);
        Item u = std::move(items.back());
        items.pop_back();
        std::pop_heap(items.begin(), items.end(), larger);
        Item& v = items.back();
        plus = u.vector;
        minus = u.vector;
        for (std::size_t d = 0; d < plus.size(); ++d) {
            plus[d] += v.vector[d];
            minus[d] -= v.vector[d];
        }
        const double plusSize = norm(plus);
        const double minusSize = norm(minus);
        const int side = minusSize < plusSize ? -1 : 1;
        for (auto& member : v.members)
            member.second *= side;
        u.members.insert(u.members.end(), v.members.begin(), v.members.end());
        v.members = std::move(u.members);
        v.vector = side < 0 ? minus : plus;
        v.size = side < 0 ? minusSize : plusSize;
        std::push_heap(items.begin(), items.end(), larger);
    }

    int targetSide = 1;
    for (const auto& [member, side] : items.front().members) {
        if (member < 0)
            targetSide = side;
    }
    m_sides.assign(m_couples.size(), 1);
    for (const auto& [member, side] : items.front().members) {
        if (member >= 0)
            m_sides[static_cast<std::size_t>(member)] = side * targetSide;
    }
}

void CBalanceResplit::Flip(const Couple& couple)
{
    m_state.Swap(couple.x, couple.y);
    m_flipped.push_back(couple);
}

bool CBalanceResplit::Split(int first, int second)
{
    m_flipped.clear();
    Pair(first, second);
    if (m_couples.empty())
        return false;
    ChooseSides(first, second);

    for (std::size_t i = 0; i < m_couples.size(); ++i) {
        const Couple& couple = m_couples[i];
        const bool xInFirst = m_state.ClassOf(couple.x) == first;
        if (xInFirst != (m_sides[i] > 0) && m_state.CanSwap(couple.x, couple.y))
            Flip(couple);
    }
    for (int round = 0; round < kFlipRounds; ++round) {
        bool flipped = false;
        for (const Couple& couple : m_couples) {
            if (m_state.CanSwap(couple.x, couple.y)
                && m_state.SwapDelta(couple.x, couple.y) < -CBalanceState::kMinGain) {
                Flip(couple);
                flipped = true;
            }
        }
        if (!flipped)
            break;
    }
    return !m_flipped.empty();
}

void CBalanceResplit::TakeBack()
{
    while (!m_flipped.empty()) {
        const Couple& couple = m_flipped.back();
        m_state.Swap(couple.x, couple.y);
        m_flipped.pop_back();
    }
}
