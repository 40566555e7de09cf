#pragma once

#include <vector>

class CBalanceState;

// Finds the best exchange between the students of two classes: every pair
// of a student of the one and a student of the other is priced. The prices
// are computed in single precision, one score dimension at a time over all
// students of the second class, in loops the compiler turns into vector
// instructions; this scan is where balancing spends most of its time.
class CBalanceExchangeScan
{
public:
    struct Exchange
    {
        int a = -1; // student of the first class, -1 when no exchange is allowed
        int b = -1; // student of the second class
        double delta = 0.0;
    };

    // studentsA are all in classA, studentsB all in classB; only exchanges
    // the rules allow are considered.
    Exchange Best(const CBalanceState& state, int classA, const std::vector<int>& studentsA, int classB,
                  const std::vector<int>& studentsB);

private:
    static constexpr std::size_t kBlock = 8;

    void Prepare(const CBalanceState& state, int classA, int classB, const std::vector<int>& studentsB);

    // The second class's students in columns: one row of points per score
    // dimension, then the per-student figures; padded to whole blocks of
    // columns that never match.
    std::size_t m_columns = 0;
    std::vector<float> m_points;
    std::vector<float> m_girl; // 1 for a girl
    std::vector<int> m_tally;       // kind x column
    std::vector<float> m_tallyMove; // kind x column: tally cost change when it goes over
    std::vector<int> m_join;         // CBalanceState::JoinCondition for the first class; -2 on padding
    std::vector<int> m_student;
    std::vector<float> m_delta; // price of each column for the current student
};
