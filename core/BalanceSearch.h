#pragma once

#include "core/BalanceDoubleExchange.h"
#include "core/BalanceExchangeScan.h"
#include "core/BalanceGroupExchange.h"
#include "core/BalanceMethod.h"
#include "core/BalanceMoveStats.h"
#include "core/BalanceRandom.h"
#include "core/BalanceResplit.h"

#include <cstdint>
#include <vector>

class CBalanceState;

// The moves of the balancing. Each step picks a class that lies outside its
// bands (the further, the likelier) and improves it together with one or
// two classes whose deviations best cancel its own:
// - a re-split of the two classes' pooled students (CBalanceResplit),
//   polished by an exchange chain;
// - two exchanges at once (CBalanceDoubleExchange);
// - three students for three (CBalanceGroupExchange), which keeps the
//   totals together while it corrects the subjects more finely than any
//   one or two exchanges can;
// - an exchange chain: the best exchange (or single move where the sizes
//   allow) between the two classes, then the best among the students not
//   yet moved, and so on for a few rounds, keeping the best prefix; the
//   chain may pass through worse divisions on its way;
// - a rotation of three students among three classes.
// A step changes the division only when it gets strictly better, and
// always leaves it complete: a move is either applied whole or not at all.
// A search may be kept to some of the classes (SetClasses), so that two
// searches step at once on one state, each on its own classes.
class CBalanceSearch
{
public:
    // Under the first release's method no step exchanges three students
    // for three.
    CBalanceSearch(CBalanceState& state, std::uint64_t seed, CBalanceMethod method = CBalanceMethod::Current);

    // Returns true when the division improved.
    bool Step();
    // The classes the steps work on: they pick classes and partners only
    // among them (all classes unless set). Two searches on two disjoint
    // sets of classes may step at the same time on one state.
    void SetClasses(const std::vector<int>& classes);
    // Whether a move may take a second thread for itself (by default).
    void SetThreads(bool threads) { m_group.SetThreads(threads); }
    // What each move did in the steps so far.
    const CBalanceMoveStats& GetStats() const { return m_stats; }

private:
    struct Change
    {
        int first = -1;  // student
        int second = -1; // exchanged student, or -1 for a single move
        int from = -1;   // class the first student came from
    };

    // Runs a move (run() is true when it made the division better) and
    // counts it.
    template <typename Move>
    bool Perform(CBalanceMove move, Move run);
    int PickClass();
    int PickPartner(int classIndex, int other = -1);
    bool Resplit(int first, int second);
    bool DoubleExchange(int first, int second);
    bool GroupExchange(int first, int second);
    bool ExchangeChain(int first, int second);
    bool Rotate(int first);
    // A block of students who share a class by rule, exchanged for as many
    // students of another class (of the same sexes where there are).
    bool ExchangeBlock();
    // The movable students of a class, or a random sample of them when
    // there are many, so that a step stays short.
    void Sample(int classIndex, std::vector<int>& out);
    void Undo(const Change& change);

    CBalanceState& m_state;
    CBalanceRandom m_random;
    CBalanceExchangeScan m_scan;
    CBalanceResplit m_resplit;
    CBalanceDoubleExchange m_double;
    CBalanceGroupExchange m_group;
    std::vector<std::uint32_t> m_locked; // stamp per student
    std::uint32_t m_stamp = 0;
    bool m_groups = true;
    std::vector<int> m_first;
    std::vector<int> m_second;
    std::vector<int> m_third;
    std::vector<int> m_openFirst;
    std::vector<int> m_openSecond;
    std::vector<Change> m_changes; // of the last exchange chain, as applied
    CBalanceMoveStats m_stats;
    std::vector<int> m_classes; // that the steps work on
    std::vector<char> m_mine;   // per class: among them
};
