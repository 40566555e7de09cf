#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

class CBalanceState;

// What the moves that price many candidates between two classes at once
// need to know about the pair, in single precision: the classes' current
// deviations, the bands and weights of the score dimensions, and what a
// girl more or less costs. A change of score sums d moves the first class's
// deviation by d * shareA and the second's by -d * shareB.
class CBalancePairPrice
{
public:
    CBalancePairPrice(const CBalanceState& state, int classA, int classB);

    // The two classes' score-average cost after a change of sums (one value
    // per score dimension) goes from the second class to the first. The
    // terms only add, so the pricing stops once it reaches limit (the total
    // first: it decides most). Defined here: the moves call it for every
    // candidate.
    float Averages(const float* change, float limit) const
    {
        float cost = 0.0f;
        for (std::size_t d = weight.size(); d-- > 0 && cost < limit;) {
            const float na = deviationA[d] + change[d] * shareA;
            const float nb = deviationB[d] - change[d] * shareB;
            const float u = std::max(std::fabs(na) - tolerance[d], 0.0f);
            const float v = std::max(std::fabs(nb) - tolerance[d], 0.0f);
            cost += weight[d] * (u * u + v * v + pull * (na * na + nb * nb));
        }
        return cost;
    }
    // What the two classes' girls and boys cost more when the first class
    // gains change girls (-2 to 2) from the second.
    float Gender(int change) const { return m_gender[change + 2]; }

    std::vector<float> deviationA;
    std::vector<float> deviationB;
    std::vector<float> tolerance;
    std::vector<float> weight;
    float pull = 0.0f;
    float shareA = 0.0f;
    float shareB = 0.0f;
    double base = 0.0; // the two classes' score-average cost now

private:
    float m_gender[5] = {};
};
