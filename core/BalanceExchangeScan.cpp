#include "core/BalanceExchangeScan.h"

#include "core/BalanceModel.h"
#include "core/BalancePairPrice.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <cmath>
#include <limits>

void CBalanceExchangeScan::Prepare(const CBalanceState& state, int classA, int classB,
                                   const std::vector<int>& studentsB)
{
    const CBalanceModel& model = state.GetModel();
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    const std::size_t count = studentsB.size();
    m_columns = (count + kBlock - 1) / kBlock * kBlock;
    m_points.assign(dimensions * m_columns, 0.0f);
    m_girl.assign(m_columns, 0.0f);
    const std::size_t kinds = static_cast<std::size_t>(model.GetTallyKinds());
    m_tally.assign(kinds * m_columns, -1);
    m_tallyMove.assign(kinds * m_columns, 0.0f);
    m_join.assign(m_columns, -2);
    m_student.assign(m_columns, -1);
    m_delta.assign(m_columns, 0.0f);
    for (std::size_t j = 0; j < count; ++j) {
        const int s = studentsB[j];
        const double* points = state.GetPoints(s);
        for (std::size_t d = 0; d < dimensions; ++d)
            m_points[d * m_columns + j] = static_cast<float>(points[d]);
        m_girl[j] = model.IsGirl(s) ? 1.0f : 0.0f;
        for (std::size_t k = 0; k < kinds; ++k) {
            const int tally = model.GetTally(s, static_cast<int>(k));
            m_tally[k * m_columns + j] = tally;
            m_tallyMove[k * m_columns + j] =
                static_cast<float>(state.TallyChange(classB, tally, -1) + state.TallyChange(classA, tally, 1));
        }
        m_join[j] = state.JoinCondition(s, classA);
        m_student[j] = s;
    }
}

CBalanceExchangeScan::Exchange CBalanceExchangeScan::Best(const CBalanceState& state, int classA,
                                                          const std::vector<int>& studentsA, int classB,
                                                          const std::vector<int>& studentsB)
{
    Exchange best;
    if (studentsA.empty() || studentsB.empty())
        return best;
    Prepare(state, classA, classB, studentsB);

    const CBalanceModel& model = state.GetModel();
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    const CBalancePairPrice price(state, classA, classB);
    const float shareA = price.shareA;
    const float shareB = price.shareB;
    const float pull = price.pull;
    // A girl for a boy moves one girl between the classes.
    const float gainsGirl = price.Gender(1);
    const float losesGirl = price.Gender(-1);

    const std::size_t kinds = static_cast<std::size_t>(model.GetTallyKinds());
    std::vector<float> pointsA(dimensions);
    std::vector<int> talliesA(kinds);
    std::vector<float> tallyMovesA(kinds);
    float bestDelta = std::numeric_limits<float>::infinity();
    for (int a : studentsA) {
        const int joinA = state.JoinCondition(a, classB);
        if (joinA == -2)
            continue;
        const double* points = state.GetPoints(a);
        for (std::size_t d = 0; d < dimensions; ++d)
            pointsA[d] = static_cast<float>(points[d]);
        const float girlA = model.IsGirl(a) ? 1.0f : 0.0f;
        for (std::size_t k = 0; k < kinds; ++k) {
            talliesA[k] = model.GetTally(a, static_cast<int>(k));
            tallyMovesA[k] = static_cast<float>(state.TallyChange(classA, talliesA[k], -1)
                                                + state.TallyChange(classB, talliesA[k], 1));
        }

        // Score dimensions first, one streaming pass per dimension.
        float* delta = m_delta.data();
        std::fill(delta, delta + m_columns, 0.0f);
        for (std::size_t d = 0; d < dimensions; ++d) {
            const float* column = m_points.data() + d * m_columns;
            const float pa = pointsA[d];
            const float da = price.deviationA[d];
            const float db = price.deviationB[d];
            const float t = price.tolerance[d];
            const float w = price.weight[d];
            for (std::size_t j = 0; j < m_columns; ++j) {
                // As CBalancePairPrice::Averages, with the excess beyond the
                // band, max(u, 0), written without a branch: (u + |u|) / 2.
                const float diff = column[j] - pa;
                const float na = da + diff * shareA;
                const float nb = db - diff * shareB;
                const float u = std::fabs(na) - t;
                const float v = std::fabs(nb) - t;
                const float x = 0.5f * (u + std::fabs(u));
                const float y = 0.5f * (v + std::fabs(v));
                delta[j] += w * (x * x + y * y + pull * (na * na + nb * nb));
            }
        }
        // The counts: only where the two differ does anything move.
        for (std::size_t j = 0; j < m_columns; ++j) {
            if (m_girl[j] != girlA)
                delta[j] += girlA > 0.0f ? losesGirl : gainsGirl;
        }
        for (std::size_t k = 0; k < kinds; ++k) {
            const int* tally = m_tally.data() + k * m_columns;
            const float* move = m_tallyMove.data() + k * m_columns;
            for (std::size_t j = 0; j < m_columns; ++j) {
                if (tally[j] != talliesA[k])
                    delta[j] += tallyMovesA[k] + move[j];
            }
        }
        for (std::size_t j = 0; j < m_columns; ++j) {
            const float value = delta[j];
            const bool allowed = (m_join[j] == -1 || m_join[j] == a) && (joinA == -1 || joinA == m_student[j]);
            if (allowed && value < bestDelta) {
                bestDelta = value;
                best.a = a;
                best.b = m_student[j];
            }
        }
    }
    if (best.a >= 0)
        best.delta = static_cast<double>(bestDelta) - price.base;
    return best;
}
