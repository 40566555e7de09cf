#pragma once

#include <vector>

class CBalanceRandom;
class CBalanceState;

// Splits the movable students of two classes anew. Each student of the one
// class is paired with a student of the other of the same sex (as far as
// the numbers allow) and a similar total (with a little noise, so that
// every try pairs differently); each pair then sends one member to either
// class, which keeps both headcounts. Which member goes where is decided by differencing, as for
// balanced number partitioning but on whole vectors of score sums: the two
// largest differences are repeatedly replaced by their smaller sum or
// difference, so that the large ones cancel and the small ones fine-tune,
// aiming at the split that brings both classes to the same averages. Single
// pairs are then flipped while that helps. A class with more movable
// students than the other keeps the extra ones where they are.
class CBalanceResplit
{
public:
    CBalanceResplit(CBalanceState& state, CBalanceRandom& random);

    // Applies the new split; false when it changed nothing.
    bool Split(int first, int second);
    // Restores the division as it was before the last Split.
    void TakeBack();

private:
    struct Couple
    {
        int x; // in the first class; stays there when the side is +1
        int y; // in the second class
    };

    void Pair(int first, int second);
    // The side of every couple (+1: x to the first class).
    void ChooseSides(int first, int second);
    double HalfDifference(const Couple& couple, int dimension) const;
    void Flip(const Couple& couple);

    CBalanceState& m_state;
    CBalanceRandom& m_random;
    std::vector<Couple> m_couples;
    std::vector<int> m_sides;
    std::vector<Couple> m_flipped; // in order, to take them back
};
