#include "core/BalanceOptimizer.h"

#include "core/BalanceBands.h"
#include "core/BalanceModel.h"
#include "core/BalanceSearch.h"
#include "core/BalanceState.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// Steps between two checks of the division kept as the best.
constexpr std::uint64_t kCheckpointInterval = 64;
constexpr auto kReportInterval = std::chrono::milliseconds(100);

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
        Search(state, start);
    }

    for (std::size_t s = 0; s < m_best.size(); ++s)
        m_result.movedStudents += m_best[s] != initial[s] ? 1 : 0;
    m_result.seconds = Seconds(Clock::now() - start);
    Report(1.0);
    return m_result;
}

void CBalanceOptimizer::Search(CBalanceState& state, Clock::time_point start)
{
    CBalanceBands bands(state);
    CBalanceSearch search(state, m_options.seed, m_options.method);
    auto lastReport = Clock::now();
    std::uint64_t& steps = m_result.steps;
    for (;;) {
        if (m_cancel.load(std::memory_order_relaxed)) {
            m_result.cancelled = true;
            break;
        }
        const auto now = Clock::now();
        const double share = m_options.iterations > 0
                                 ? static_cast<double>(steps) / static_cast<double>(m_options.iterations)
                                 : Seconds(now - start) / std::max(m_options.seconds, 1.0e-9);
        if (share >= 1.0)
            break;
        if (now - lastReport >= kReportInterval) {
            Report(share);
            lastReport = now;
        }

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
