#include "core/BalancePairPrice.h"

#include "core/BalanceModel.h"
#include "core/BalanceState.h"

CBalancePairPrice::CBalancePairPrice(const CBalanceState& state, int classA, int classB)
{
    const std::size_t dimensions = static_cast<std::size_t>(state.GetModel().GetScoreDimensions());
    deviationA.resize(dimensions);
    deviationB.resize(dimensions);
    tolerance.resize(dimensions);
    weight.resize(dimensions);
    for (std::size_t d = 0; d < dimensions; ++d) {
        deviationA[d] = static_cast<float>(state.GetDeviation(classA, static_cast<int>(d)));
        deviationB[d] = static_cast<float>(state.GetDeviation(classB, static_cast<int>(d)));
        tolerance[d] = static_cast<float>(state.GetTolerances()[d]);
        weight[d] = static_cast<float>(state.GetAverageWeights()[d]);
    }
    pull = static_cast<float>(CBalanceState::GetPull());
    shareA = 1.0f / static_cast<float>(state.Size(classA));
    shareB = 1.0f / static_cast<float>(state.Size(classB));
    base = state.GetAverageCost(classA) + state.GetAverageCost(classB);
    for (int change = -2; change <= 2; ++change) {
        m_gender[change + 2] = static_cast<float>(
            state.GenderCost(state.GetGirls(classA) + change, state.Size(classA)) - state.GetGenderCost(classA)
            + state.GenderCost(state.GetGirls(classB) - change, state.Size(classB)) - state.GetGenderCost(classB));
    }
}
