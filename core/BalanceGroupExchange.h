#pragma once

#include "core/BalancePairPrice.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

class CBalanceRandom;
class CBalanceState;

// Three students of one class for three of another at once. When every
// pair and every two exchanges have been tried, what is left to correct is
// finer than the difference between any two students; sums of three come
// in so many more kinds that some match it. The groups of each side are
// listed with their sums and sorted by total, and for each group of the
// first class the partners whose total brings the two classes' totals
// together are priced in every figure (the two lists are walked side by
// side); the best is applied when it really helps.
// A candidate whose score averages alone already cost more than the best
// so far is passed over. The groups of the first class are scanned in two
// halves on two threads where there are many; the halves are fixed by the
// number of groups, so the same seed gives the same division on any
// machine.
class CBalanceGroupExchange
{
public:
    static constexpr int kMembers = 3;

    CBalanceGroupExchange(CBalanceState& state, CBalanceRandom& random);

    // studentsA are in classA, studentsB in classB. True when the division
    // improved; otherwise it is left as it was.
    bool Run(int classA, const std::vector<int>& studentsA, int classB, const std::vector<int>& studentsB);
    // Whether the scan may take a second thread where there are many groups
    // (by default); without, the second half is scanned after the first, and
    // the division is the same.
    void SetThreads(bool threads) { m_threads = threads; }

private:
    struct Group
    {
        std::array<int, kMembers> members;
        std::int64_t total; // in the model's units
        int girls;
    };
    // The groups of one class in the order of their totals, with what the
    // scan reads of them side by side.
    struct Sorted
    {
        std::vector<std::int64_t> totals;
        std::vector<int> index; // in the class's groups
        std::vector<int> girls;
        std::vector<float> sums; // group x dimension
    };
    // The pair's figures every candidate is priced against.
    struct Pair
    {
        int classA;
        int classB;
        CBalancePairPrice price;
        std::array<float, 2 * kMembers + 1> gender{}; // girls change -kMembers..kMembers
        std::int64_t ideal = 0; // the change of the first class's total that evens the two
    };
    struct Best
    {
        float delta = 0.0f;
        int a = 0; // in m_groupsA
        int b = 0; // in m_groupsB
        bool found = false;
    };

    // The groups of the students that may go over to the other class with
    // anyone, and their score sums (points, group x dimension).
    void List(int other, const std::vector<int>& students, std::vector<Group>& groups, std::vector<float>& sums);
    // Sorts the groups by total into sorted.
    void Sort(const std::vector<Group>& groups, const std::vector<float>& sums, Sorted& sorted);
    // The best candidate for the groups of the first class at [begin, end)
    // in the order of totals.
    Best Scan(const Pair& pair, std::size_t begin, std::size_t end) const;
    // What the counts of the two classes cost more after the exchange; net
    // is room for the changes of one kind.
    float TallyPrice(int classA, int classB, const Group& fromA, const Group& fromB,
                     std::vector<std::pair<int, int>>& net) const;
    void Exchange(const Group& fromA, const Group& fromB);

    CBalanceState& m_state;
    CBalanceRandom& m_random;
    std::vector<int> m_eligible;
    std::vector<Group> m_groupsA, m_groupsB;
    std::vector<float> m_sumsA, m_sumsB;
    std::vector<std::uint64_t> m_keys; // total above the smallest, then index
    std::vector<std::uint64_t> m_scratch;
    Sorted m_sortedA, m_sortedB;
    bool m_threads = true;
};
