#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CBalanceRandom;
class CBalanceState;

// Three students of one class for three of another at once. When every
// pair and every two exchanges have been tried, what is left to correct is
// finer than the difference between any two students; sums of three come
// in so many more kinds that some match it. The groups of each side are
// listed with their sums, the other side's sorted by total, and for each
// group the partners whose total brings the two classes' totals together
// are priced in every figure; the best is applied when it really helps.
class CBalanceGroupExchange
{
public:
    static constexpr int kMembers = 3;

    CBalanceGroupExchange(CBalanceState& state, CBalanceRandom& random);

    // studentsA are in classA, studentsB in classB. True when the division
    // improved; otherwise it is left as it was.
    bool Run(int classA, const std::vector<int>& studentsA, int classB, const std::vector<int>& studentsB);

private:
    struct Group
    {
        std::array<int, kMembers> members;
        std::int64_t total; // in the model's units
        int girls;
    };

    // The groups of the students that may go over to the other class with
    // anyone, and their score sums (points, group x dimension).
    void List(int other, const std::vector<int>& students, std::vector<Group>& groups,
              std::vector<float>& sums);
    float TallyPrice(int classA, int classB, const Group& fromA, const Group& fromB);
    void Exchange(const Group& fromA, const Group& fromB);

    CBalanceState& m_state;
    CBalanceRandom& m_random;
    std::vector<int> m_eligible;
    std::vector<Group> m_groupsA, m_groupsB;
    std::vector<float> m_sumsA, m_sumsB;
    struct Entry
    {
        std::int64_t total;
        int index; // in m_groupsB
        bool operator<(const Entry& other) const
        {
            return total != other.total ? total < other.total : index < other.index;
        }
    };
    std::vector<Entry> m_byTotal; // of m_groupsB, by total
    std::vector<std::pair<int, int>> m_net; // tally, change of the first class
};
