#include "core/BalanceOptimizer.h"

#include "core/BalanceBands.h"
#include "core/BalanceModel.h"
#include "core/BalanceRandom.h"
#include "core/BalanceSearch.h"
#include "core/BalanceState.h"

#include <algorithm>
#include <future>
#include <numeric>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

// Steps between two checks of the division kept as the best.
constexpr std::uint64_t kCheckpointInterval = 64;
constexpr auto kReportInterval = std::chrono::milliseconds(100);
// Classes from which two searches work at once, each on half of them, and
// the steps each takes before the halves are drawn again.
constexpr int kHalvedClasses = 8;
constexpr std::uint64_t kRoundSteps = 16;
// Narrowings of the bands at most between two rounds.
constexpr int kNarrowingsPerRound = 8;
// The second search's seed differs from the first's by this.
constexpr std::uint64_t kSecondSeed = 0x5DEECE66DULL;

double Seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

} // namespace

CBalanceOptimizer::CBalanceOptimizer(CScheduleTask& task) : m_task(task) {}

CBalanceOptimizer::~CBalanceOptimizer() = default;

const CBalanceResult& CBalanceOptimizer::Run()
{
    const auto start = Clock::now();
    m_result = CBalanceResult();
    m_applied = false;
    m_model = std::make_unique<CBalanceModel>(m_task);
    const std::vector<int>& initial = m_model->GetInitialAssignment();
    m_best = initial;
    m_result.divided = m_model->IsDivided();
    m_result.before = CBalanceSpreads::Measure(*m_model, initial);
    m_result.after = m_result.before;
    Report(0.0);

    if (m_result.divided && m_model->GetClassCount() > 1) {
        CBalanceState state(*m_model, initial, m_options.method);
        if (m_options.method == CBalanceMethod::Current && m_model->GetClassCount() >= kHalvedClasses)
            SearchInHalves(state, start);
        else
            Search(state, start);
    }

    for (std::size_t s = 0; s < m_best.size(); ++s)
        m_result.movedStudents += m_best[s] != initial[s] ? 1 : 0;
    m_result.seconds = Seconds(Clock::now() - start);
    Report(1.0);
    return m_result;
}

bool CBalanceOptimizer::Going(Clock::time_point start, Clock::time_point& lastReport)
{
    if (m_cancel.load(std::memory_order_relaxed)) {
        m_result.cancelled = true;
        return false;
    }
    const auto now = Clock::now();
    const double share = m_options.iterations > 0
                             ? static_cast<double>(m_result.steps) / static_cast<double>(m_options.iterations)
                             : Seconds(now - start) / std::max(m_options.seconds, 1.0e-9);
    if (share >= 1.0)
        return false;
    if (now - lastReport >= kReportInterval) {
        Report(share);
        lastReport = now;
    }
    return true;
}

void CBalanceOptimizer::SearchInHalves(CBalanceState& state, Clock::time_point start)
{
    // Each round draws the halves, and the two searches take the same
    // number of steps on them, the second on a thread of its own where one
    // can be had. A search only reads and changes its own classes (and
    // reads where the partners of its students are, which the other search
    // only moves among its own), so the same seed and steps give the same
    // division however the threads run. The bands, the best division and
    // the report are kept between rounds.
    CBalanceBands bands(state);
    CBalanceSearch one(state, m_options.seed, m_options.method);
    CBalanceSearch two(state, m_options.seed ^ kSecondSeed, m_options.method);
    one.SetThreads(false);
    two.SetThreads(false);
    CBalanceRandom split(m_options.seed + kSecondSeed);
    std::vector<int> classes(static_cast<std::size_t>(state.GetClassCount()));
    std::iota(classes.begin(), classes.end(), 0);
    const std::size_t half = classes.size() / 2;
    auto lastReport = Clock::now();
    std::uint64_t& steps = m_result.steps;
    std::uint64_t nextCheckpoint = kCheckpointInterval;
    while (Going(start, lastReport)) {
        for (std::size_t i = 0; i + 1 < classes.size(); ++i)
            std::swap(classes[i],
                      classes[i + static_cast<std::size_t>(split.Below(static_cast<int>(classes.size() - i)))]);
        one.SetClasses(std::vector<int>(classes.begin(), classes.begin() + static_cast<std::ptrdiff_t>(half)));
        two.SetClasses(std::vector<int>(classes.begin() + static_cast<std::ptrdiff_t>(half), classes.end()));
        std::uint64_t round = kRoundSteps;
        if (m_options.iterations > 0)
            round = std::min(round, (m_options.iterations - steps + 1) / 2);
        auto run = [round](CBalanceSearch* search) {
            for (std::uint64_t i = 0; i < round; ++i)
                search->Step();
        };
        state.DeferTotals(true);
        std::future<void> second;
        try {
            second = std::async(std::launch::async, run, &two);
        } catch (const std::system_error&) {
            second = std::async(std::launch::deferred, run, &two);
        }
        run(&one);
        second.get();
        state.DeferTotals(false);
        steps += 2 * round;

        if (steps >= nextCheckpoint) {
            Checkpoint(state);
            nextCheckpoint = steps + kCheckpointInterval;
        }
        // Where a round brought every class within the bands, they narrow
        // as often as a search step by step would have narrowed them.
        bool going = bands.Update(steps);
        for (int again = 1; going && again < kNarrowingsPerRound && state.GetClassesOffAverage() == 0; ++again)
            going = bands.Update(steps);
        if (!going)
            break; // nothing left to gain
    }
    Checkpoint(state);
    m_result.moves = one.GetStats();
    m_result.moves += two.GetStats();
}

void CBalanceOptimizer::Search(CBalanceState& state, Clock::time_point start)
{
    CBalanceBands bands(state);
    CBalanceSearch search(state, m_options.seed, m_options.method);
    auto lastReport = Clock::now();
    std::uint64_t& steps = m_result.steps;
    while (Going(start, lastReport)) {
        search.Step();
        ++steps;
        if (steps % kCheckpointInterval == 0)
            Checkpoint(state);
        if (!bands.Update(steps))
            break; // nothing left to gain
    }
    Checkpoint(state);
    m_result.moves = search.GetStats();
}

void CBalanceOptimizer::Checkpoint(const CBalanceState& state)
{
    CBalanceSpreads spreads = CBalanceSpreads::Measure(*m_model, state.GetAssignment());
    if (!spreads.NoWorseThan(m_result.before))
        return;
    m_best = state.GetAssignment();
    m_result.after = std::move(spreads);
}

void CBalanceOptimizer::Report(double share)
{
    if (m_options.progress)
        m_options.progress(CBalanceProgress{std::min(share, 1.0), m_result.after});
}

int CBalanceOptimizer::Apply()
{
    if (!m_model || m_applied)
        return 0;
    m_applied = true;
    return m_model->Apply(m_best);
}
