#pragma once

#include <vector>

class CBalanceRandom;
class CBalanceState;

// Two exchanges between the same two classes at once. Single exchanges
// cannot fine-tune once the classes are close: even the most similar pair
// of students differs by more in some subject than is left to correct. Two
// exchanges whose effects nearly cancel can. Every allowed exchange is
// listed with what it changes, sorted by its change of the total; for each
// exchange the partners whose total change brings the total close to the
// ideal one are found by binary search, and the combination that prices
// best in every dimension is applied when it really helps.
class CBalanceDoubleExchange
{
public:
    explicit CBalanceDoubleExchange(CBalanceState& state);

    // studentsA are in classA, studentsB in classB. True when the division
    // improved; otherwise it is left as it was.
    bool Run(int classA, const std::vector<int>& studentsA, int classB, const std::vector<int>& studentsB);

private:
    struct Exchange
    {
        int a;
        int b;
        float total;   // change of the first class's total, in points
        int girls;     // change of the first class's girls
        float tallies; // change of the tally costs, alone
    };

    void List(int classA, const std::vector<int>& studentsA, int classB, const std::vector<int>& studentsB);

    CBalanceState& m_state;
    std::vector<Exchange> m_exchanges;
    std::vector<float> m_changes; // per exchange, the change of every score dimension of the first class
    // Per student of the two lists: its tally and what it costs to move, of every kind.
    std::vector<int> m_tallies;
    std::vector<float> m_tallyMoves;
};
