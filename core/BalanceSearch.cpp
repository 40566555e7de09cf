#include "core/BalanceSearch.h"

#include "core/BalanceModel.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <numeric>

namespace {

// How the steps are shared among the moves; the rest are exchange chains.
// Group exchanges correct most finely, so they get a quarter of the steps
// (and take about half the time); with more, the condition categories and
// score bands come out less even. Without them the steps are shared as in
// the first release, so that its divisions are drawn again.
struct Shares
{
    double rotation;
    double resplit;
    double doubleExchange;
    double group;
};
constexpr Shares kShares{0.05, 0.15, 0.25, 0.25};
constexpr Shares kFirstReleaseShares{0.1, 0.3, 0.3, 0.0};
// Share of steps that start from a class whose averages lie outside their
// bands (when there is one).
constexpr double kOutsideShare = 0.7;
// Rounds of an exchange chain.
constexpr int kChainLength = 6;
// Students of a class looked at in one step.
constexpr std::size_t kSampleSize = 64;
// Student pairs tried in one rotation.
constexpr int kRotationPairs = 8;
// Share of steps that exchange a block of students who share a class by
// rule (when the task has such blocks), and the choices tried in one.
constexpr double kBlockShare = 0.05;
constexpr int kBlockTries = 8;
// Classes looked at when choosing a partner class.
constexpr int kPartnerCandidates = 24;
// Share of partner classes drawn at random instead.
constexpr double kRandomPartnerShare = 0.25;

} // namespace

CBalanceSearch::CBalanceSearch(CBalanceState& state, std::uint64_t seed, CBalanceMethod method)
    : m_state(state),
      m_random(seed),
      m_resplit(state, m_random),
      m_double(state),
      m_group(state, m_random),
      m_locked(state.GetAssignment().size(), 0),
      m_groups(method == CBalanceMethod::Current)
{
    std::vector<int> all(static_cast<std::size_t>(state.GetClassCount()));
    std::iota(all.begin(), all.end(), 0);
    SetClasses(all);
}

void CBalanceSearch::SetClasses(const std::vector<int>& classes)
{
    m_classes = classes;
    m_mine.assign(static_cast<std::size_t>(m_state.GetClassCount()), 0);
    for (const int c : classes)
        m_mine[static_cast<std::size_t>(c)] = 1;
}

template <typename Move>
bool CBalanceSearch::Perform(CBalanceMove move, Move run)
{
    const auto start = std::chrono::steady_clock::now();
    const bool gained = run();
    m_stats.Add(move, gained, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return gained;
}

bool CBalanceSearch::Step()
{
    if (m_classes.size() < 2)
        return false;
    if (!m_state.GetModel().GetBlocks().empty() && m_random.Unit() < kBlockShare)
        return Perform(CBalanceMove::BlockExchange, [this] { return ExchangeBlock(); });
    const int first = PickClass();
    if (first < 0)
        return false;
    const Shares& shares = m_groups ? kShares : kFirstReleaseShares;
    const double draw = m_random.Unit();
    double bound = shares.rotation;
    if (draw < bound)
        return Perform(CBalanceMove::Rotation, [&] { return m_classes.size() >= 3 && Rotate(first); });
    if (draw < (bound += shares.resplit))
        return Perform(CBalanceMove::Resplit, [&] { return Resplit(first, PickPartner(first)); });
    if (draw < (bound += shares.doubleExchange))
        return Perform(CBalanceMove::DoubleExchange, [&] { return DoubleExchange(first, PickPartner(first)); });
    if (draw < (bound += shares.group))
        return Perform(CBalanceMove::GroupExchange, [&] { return GroupExchange(first, PickPartner(first)); });
    return Perform(CBalanceMove::ExchangeChain, [&] { return ExchangeChain(first, PickPartner(first)); });
}

int CBalanceSearch::PickClass()
{
    // Mostly a class whose averages lie outside their bands, drawn in
    // proportion to how far; otherwise any class in proportion to its cost,
    // so that the counts and the pull towards the middle get their turn.
    const bool anyOutside =
        std::any_of(m_classes.begin(), m_classes.end(), [this](int c) { return m_state.IsOffAverage(c); });
    const bool outside = anyOutside && m_random.Unit() < kOutsideShare;
    auto weight = [&](int c) { return outside ? m_state.GetExcess(c) : m_state.GetClassCost(c); };
    double total = 0.0;
    for (const int c : m_classes)
        total += weight(c);
    if (!(total > 0.0))
        return -1;
    double pick = m_random.Unit() * total;
    int last = -1;
    for (const int c : m_classes) {
        const double cost = weight(c);
        if (cost <= 0.0)
            continue;
        last = c;
        pick -= cost;
        if (pick < 0.0)
            return c;
    }
    return last;
}

int CBalanceSearch::PickPartner(int classIndex, int other)
{
    const int classes = static_cast<int>(m_classes.size());
    auto at = [this](int i) { return m_classes[static_cast<std::size_t>(i)]; };
    auto random = [&] {
        int i = m_random.Below(classes);
        while (at(i) == classIndex || at(i) == other)
            i = (i + 1) % classes;
        return at(i);
    };
    if (m_random.Unit() < kRandomPartnerShare)
        return random();

    // The class whose deviations, measured in tolerances, point most
    // against this one's.
    const int dimensions = m_state.GetModel().GetScoreDimensions();
    const auto& tolerances = m_state.GetTolerances();
    const bool all = classes <= kPartnerCandidates + 2;
    const int count = all ? classes : kPartnerCandidates;
    int best = -1;
    double bestScore = std::numeric_limits<double>::infinity();
    for (int i = 0; i < count; ++i) {
        const int c = all ? at(i) : random();
        if (c == classIndex || c == other || m_state.Size(c) == 0)
            continue;
        double score = 0.0;
        for (int d = 0; d < dimensions; ++d) {
            const double t = tolerances[static_cast<std::size_t>(d)];
            score += m_state.GetDeviation(classIndex, d) * m_state.GetDeviation(c, d) / (t * t);
        }
        if (score < bestScore) {
            bestScore = score;
            best = c;
        }
    }
    return best >= 0 ? best : random();
}

void CBalanceSearch::Sample(int classIndex, std::vector<int>& out)
{
    const auto& movable = m_state.Movable(classIndex);
    out.assign(movable.begin(), movable.end());
    if (out.size() <= kSampleSize)
        return;
    for (std::size_t i = 0; i < kSampleSize; ++i) {
        const std::size_t j = i + static_cast<std::size_t>(m_random.Below(static_cast<int>(out.size() - i)));
        std::swap(out[i], out[j]);
    }
    out.resize(kSampleSize);
}

bool CBalanceSearch::Resplit(int first, int second)
{
    const double before = m_state.GetClassCost(first) + m_state.GetClassCost(second);
    if (!m_resplit.Split(first, second))
        return false;
    ExchangeChain(first, second);
    if (m_state.GetClassCost(first) + m_state.GetClassCost(second) < before - CBalanceState::kMinGain)
        return true;
    for (std::size_t i = m_changes.size(); i-- > 0;)
        Undo(m_changes[i]);
    m_resplit.TakeBack();
    return false;
}

bool CBalanceSearch::DoubleExchange(int first, int second)
{
    Sample(first, m_first);
    Sample(second, m_second);
    return m_double.Run(first, m_first, second, m_second);
}

bool CBalanceSearch::GroupExchange(int first, int second)
{
    Sample(first, m_first);
    Sample(second, m_second);
    return m_group.Run(first, m_first, second, m_second);
}

bool CBalanceSearch::ExchangeChain(int first, int second)
{
    Sample(first, m_first);
    Sample(second, m_second);
    if (++m_stamp == 0) {
        std::fill(m_locked.begin(), m_locked.end(), 0);
        m_stamp = 1;
    }
    auto locked = [this](int s) { return m_locked[static_cast<std::size_t>(s)] == m_stamp; };
    auto unlocked = [&](const std::vector<int>& students, std::vector<int>& out) {
        out.clear();
        for (int s : students) {
            if (!locked(s))
                out.push_back(s);
        }
    };

    m_changes.clear();
    double gain = 0.0;
    double bestGain = 0.0;
    std::size_t bestLength = 0;
    for (int round = 0; round < kChainLength; ++round) {
        Change choice;
        double bestDelta = std::numeric_limits<double>::infinity();
        unlocked(m_first, m_openFirst);
        unlocked(m_second, m_openSecond);
        const auto exchange = m_scan.Best(m_state, first, m_openFirst, second, m_openSecond);
        if (exchange.a >= 0) {
            bestDelta = exchange.delta;
            choice = Change{exchange.a, exchange.b, first};
        }
        auto tryMoves = [&](const std::vector<int>& students, int from, int to) {
            for (int s : students) {
                if (!m_state.CanMove(s, to))
                    continue;
                const double delta = m_state.MoveDelta(s, to);
                if (delta < bestDelta) {
                    bestDelta = delta;
                    choice = Change{s, -1, from};
                }
            }
        };
        tryMoves(m_openFirst, first, second);
        tryMoves(m_openSecond, second, first);
        if (choice.first < 0)
            break;

        if (choice.second >= 0) {
            m_state.Swap(choice.first, choice.second);
            m_locked[static_cast<std::size_t>(choice.second)] = m_stamp;
        } else {
            m_state.Move(choice.first, choice.from == first ? second : first);
        }
        m_locked[static_cast<std::size_t>(choice.first)] = m_stamp;
        m_changes.push_back(choice);
        gain -= bestDelta;
        if (gain > bestGain + CBalanceState::kMinGain) {
            bestGain = gain;
            bestLength = m_changes.size();
        }
    }

    while (m_changes.size() > bestLength) {
        Undo(m_changes.back());
        m_changes.pop_back();
    }
    return bestLength > 0;
}

void CBalanceSearch::Undo(const Change& change)
{
    if (change.second >= 0)
        m_state.Swap(change.first, change.second);
    else
        m_state.Move(change.first, change.from);
}

bool CBalanceSearch::Rotate(int first)
{
    const int second = PickPartner(first);
    const int third = PickPartner(first, second);
    Sample(first, m_first);
    Sample(second, m_second);
    Sample(third, m_third);
    if (m_first.empty() || m_second.empty() || m_third.empty())
        return false;

    // For random pairs from the first two classes, the best student of the
    // third to close the ring, in either direction.
    double bestDelta = -CBalanceState::kMinGain;
    int bestA = -1, bestB = -1, bestC = -1;
    for (int i = 0; i < kRotationPairs; ++i) {
        const int a = m_first[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_first.size())))];
        const int b = m_second[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_second.size())))];
        auto tryRing = [&](int x, int y, int z) {
            if (!m_state.CanRotate(x, y, z))
                return;
            const double delta = m_state.RotateDelta(x, y, z);
            if (delta < bestDelta) {
                bestDelta = delta;
                bestA = x, bestB = y, bestC = z;
            }
        };
        for (int c : m_third) {
            tryRing(a, b, c);
            tryRing(a, c, b);
        }
    }
    if (bestA < 0)
        return false;
    m_state.Rotate(bestA, bestB, bestC);
    return true;
}

bool CBalanceSearch::ExchangeBlock()
{
    const auto& blocks = m_state.GetModel().GetBlocks();
    const std::vector<int>& block = blocks[static_cast<std::size_t>(m_random.Below(static_cast<int>(blocks.size())))];
    // A block the division left apart stays as it is, and so does one in a
    // class of another search.
    const int first = m_state.ClassOf(block.front());
    if (first < 0 || !m_mine[static_cast<std::size_t>(first)]
        || std::any_of(block.begin(), block.end(), [this, first](int s) { return m_state.ClassOf(s) != first; }))
        return false;
    const int second = PickPartner(first);
    if (second < 0)
        return false;
    Sample(second, m_second);
    if (m_second.size() < block.size())
        return false;

    const CBalanceModel& model = m_state.GetModel();
    const double before = m_state.GetClassCost(first) + m_state.GetClassCost(second);
    double bestCost = before - CBalanceState::kMinGain;
    std::vector<int> best;
    std::vector<int> chosen;
    auto relocate = [this, &block, &chosen, first, second](bool there) {
        for (const int member : block)
            m_state.Move(member, there ? second : first);
        for (const int other : chosen)
            m_state.Move(other, there ? first : second);
    };
    for (int attempt = 0; attempt < kBlockTries; ++attempt) {
        // For each member a student of the same sex where there is one, so
        // that the girls stay as they are.
        chosen.clear();
        for (const int member : block) {
            int pick = -1;
            const int start = m_random.Below(static_cast<int>(m_second.size()));
            for (std::size_t k = 0; k < m_second.size() && pick < 0; ++k) {
                const int s = m_second[(static_cast<std::size_t>(start) + k) % m_second.size()];
                if (model.IsGirl(s) == model.IsGirl(member)
                    && std::find(chosen.begin(), chosen.end(), s) == chosen.end())
                    pick = s;
            }
            for (std::size_t k = 0; k < m_second.size() && pick < 0; ++k) {
                const int s = m_second[(static_cast<std::size_t>(start) + k) % m_second.size()];
                if (std::find(chosen.begin(), chosen.end(), s) == chosen.end())
                    pick = s;
            }
            chosen.push_back(pick);
        }
        relocate(true);
        const bool allowed =
            std::all_of(block.begin(), block.end(), [this](int s) { return m_state.KeepsApart(s); })
            && std::all_of(chosen.begin(), chosen.end(), [this](int s) { return m_state.KeepsApart(s); });
        const double cost = m_state.GetClassCost(first) + m_state.GetClassCost(second);
        if (allowed && cost < bestCost) {
            bestCost = cost;
            best = chosen;
        }
        relocate(false);
    }
    if (best.empty())
        return false;
    chosen = best;
    relocate(true);
    return true;
}
