#include "core/BalanceDoubleExchange.h"

#include "core/BalanceModel.h"
#include "core/BalancePairPrice.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Partners looked at per exchange, nearest to the ideal total first.
constexpr std::size_t kPartners = 12;

} // namespace

CBalanceDoubleExchange::CBalanceDoubleExchange(CBalanceState& state) : m_state(state) {}

void CBalanceDoubleExchange::List(int classA, const std::vector<int>& studentsA, int classB,
                                  const std::vector<int>& studentsB)
{
    // What each student brings along when it goes over, once per student.
    const CBalanceModel& model = m_state.GetModel();
    const int total = model.GetSubjectCount();
    struct Side
    {
        int student;
        int join; // CBalanceState::JoinCondition for the other class
        int girl;
        float total;
        std::size_t tallies; // first of its entries in m_tallies and m_tallyMoves
    };
    const std::size_t kinds = static_cast<std::size_t>(model.GetTallyKinds());
    m_tallies.clear();
    m_tallyMoves.clear();
    auto describe = [&](const std::vector<int>& students, int own, int other, std::vector<Side>& out) {
        out.clear();
        for (int s : students) {
            out.push_back({s, m_state.JoinCondition(s, other), model.IsGirl(s) ? 1 : 0,
                           static_cast<float>(m_state.GetPoints(s)[total]), m_tallies.size()});
            for (std::size_t k = 0; k < kinds; ++k) {
                const int tally = model.GetTally(s, static_cast<int>(k));
                m_tallies.push_back(tally);
                m_tallyMoves.push_back(
                    static_cast<float>(m_state.TallyChange(own, tally, -1) + m_state.TallyChange(other, tally, 1)));
            }
        }
    };
    std::vector<Side> sideA, sideB;
    describe(studentsA, classA, classB, sideA);
    describe(studentsB, classB, classA, sideB);

    m_exchanges.clear();
    for (const Side& a : sideA) {
        if (a.join == -2)
            continue;
        for (const Side& b : sideB) {
            if ((a.join >= 0 && a.join != b.student) || b.join == -2 || (b.join >= 0 && b.join != a.student))
                continue;
            float tallies = 0.0f;
            for (std::size_t k = 0; k < kinds; ++k) {
                if (m_tallies[a.tallies + k] != m_tallies[b.tallies + k])
                    tallies += m_tallyMoves[a.tallies + k] + m_tallyMoves[b.tallies + k];
            }
            m_exchanges.push_back({a.student, b.student, b.total - a.total, b.girl - a.girl, tallies});
        }
    }
    std::sort(m_exchanges.begin(), m_exchanges.end(),
              [](const Exchange& x, const Exchange& y) { return x.total < y.total; });
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    m_changes.resize(m_exchanges.size() * dimensions);
    for (std::size_t i = 0; i < m_exchanges.size(); ++i) {
        const double* pa = m_state.GetPoints(m_exchanges[i].a);
        const double* pb = m_state.GetPoints(m_exchanges[i].b);
        for (std::size_t d = 0; d < dimensions; ++d)
            m_changes[i * dimensions + d] = static_cast<float>(pb[d] - pa[d]);
    }
}

bool CBalanceDoubleExchange::Run(int classA, const std::vector<int>& studentsA, int classB,
                                 const std::vector<int>& studentsB)
{
    List(classA, studentsA, classB, studentsB);
    if (m_exchanges.size() < 2)
        return false;

    const CBalanceModel& model = m_state.GetModel();
    const std::size_t total = static_cast<std::size_t>(model.GetSubjectCount());
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    const CBalancePairPrice price(m_state, classA, classB);
    std::vector<float> change(dimensions);

    // The total change that would give both classes the same total average.
    const float ideal = (price.deviationB[total] - price.deviationA[total]) / (price.shareA + price.shareB);

    float bestDelta = std::numeric_limits<float>::infinity();
    std::size_t bestFirst = 0, bestSecond = 0;
    const std::size_t count = m_exchanges.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Exchange& one = m_exchanges[i];
        const float wanted = ideal - one.total;
        // Partners around the wanted total change, nearest first.
        std::size_t right =
            static_cast<std::size_t>(std::lower_bound(m_exchanges.begin(), m_exchanges.end(), wanted,
                                                      [](const Exchange& x, float value) { return x.total < value; })
                                     - m_exchanges.begin());
        std::size_t left = right;
        for (std::size_t looked = 0; looked < kPartners && (left > 0 || right < count); ++looked) {
            std::size_t j;
            if (left == 0
                || (right < count && m_exchanges[right].total - wanted < wanted - m_exchanges[left - 1].total))
                j = right++;
            else
                j = --left;
            const Exchange& two = m_exchanges[j];
            if (two.a == one.a || two.b == one.b)
                continue;
            const float* c1 = m_changes.data() + i * dimensions;
            const float* c2 = m_changes.data() + j * dimensions;
            for (std::size_t d = 0; d < dimensions; ++d)
                change[d] = c1[d] + c2[d];
            const float counts = price.Gender(one.girls + two.girls) + one.tallies + two.tallies;
            const float delta = counts + price.Averages(change.data(), bestDelta - counts);
            if (delta < bestDelta) {
                bestDelta = delta;
                bestFirst = i;
                bestSecond = j;
            }
        }
    }
    if (!(static_cast<double>(bestDelta) - price.base < -CBalanceState::kMinGain))
        return false;

    // Priced apart from each other's effects on the rules and the tallies:
    // check for real.
    const Exchange one = m_exchanges[bestFirst];
    const Exchange two = m_exchanges[bestSecond];
    const double before = m_state.GetClassCost(classA) + m_state.GetClassCost(classB);
    m_state.Swap(one.a, one.b);
    if (m_state.CanSwap(two.a, two.b)) {
        m_state.Swap(two.a, two.b);
        if (m_state.GetClassCost(classA) + m_state.GetClassCost(classB) < before - CBalanceState::kMinGain)
            return true;
        m_state.Swap(two.a, two.b);
    }
    m_state.Swap(one.a, one.b);
    return false;
}
