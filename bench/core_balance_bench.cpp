// Balancing after the greedy division, on realistic cohorts: how close the
// classes come within the time budget, and how long it takes. Each
// repetition divides and balances a cohort drawn with another seed; the
// aggregates give the medians. Counters:
//   greedy_* the division as dealt, *_after the balanced one:
//   total (total-average spread), subject (worst subject-average spread),
//   girls, boys, school (largest school), worst_school (any school),
//   category (the most uneven condition category or score band);
//   violations (broken rules, always 0), moved (students), rss_mb (peak);
//   per search move (rotation, resplit, double, group, chain, block): *_tries,
//   *_gains (steps that made the division better) and *_time (its share of
//   the search time).
// QUILLON_BALANCE_STEPS=N runs N search steps instead of the time budget:
// the same work whatever else the machine is doing, for comparing changes.
#include "core/BalanceOptimizer.h"
#include "BalanceRules.h"
#include "Cohort.h"
#include "base/task/ScheduleTask.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include <sys/resource.h>

namespace {

void SetSpreads(benchmark::State& state, const std::string& prefix, const CBalanceSpreads& spreads)
{
    const double subject =
        spreads.subjects.empty() ? 0.0 : *std::max_element(spreads.subjects.begin(), spreads.subjects.end());
    state.counters[prefix + "total"] = spreads.total;
    state.counters[prefix + "subject"] = subject;
    state.counters[prefix + "girls"] = spreads.girls;
    state.counters[prefix + "boys"] = spreads.boys;
    state.counters[prefix + "school"] = spreads.GetLargestSchoolSpread();
    state.counters[prefix + "worst_school"] = spreads.GetWorstSchoolSpread();
    state.counters[prefix + "category"] = spreads.GetWorstCategorySpread();
}

void SetMoves(benchmark::State& state, const CBalanceMoveStats& moves)
{
    constexpr std::pair<CBalanceMove, const char*> kNames[] = {
        {CBalanceMove::Rotation, "rotation"},
        {CBalanceMove::Resplit, "resplit"},
        {CBalanceMove::DoubleExchange, "double"},
        {CBalanceMove::GroupExchange, "group"},
        {CBalanceMove::ExchangeChain, "chain"},
        {CBalanceMove::BlockExchange, "block"},
    };
    double seconds = 0.0;
    for (const auto& [move, name] : kNames)
        seconds += moves.Of(move).seconds;
    for (const auto& [move, name] : kNames) {
        const CBalanceMoveStats::Figures& figures = moves.Of(move);
        state.counters[std::string(name) + "_tries"] = static_cast<double>(figures.tries);
        state.counters[std::string(name) + "_gains"] = static_cast<double>(figures.gains);
        state.counters[std::string(name) + "_time"] = seconds > 0.0 ? figures.seconds / seconds : 0.0;
    }
}

// Arguments: students, classes, subjects, time budget in tenths of a second,
// and 1 for a cohort with the task's own rules (conditions, score bands,
// twins, same names).
void BM_Balance(benchmark::State& state)
{
    // Every configuration sees the same five cohorts.
    static std::uint64_t repetition = 0;
    const std::uint64_t seed = repetition++ % 5 + 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto task = std::make_unique<CScheduleTask>();
        task->SetMessageHandler([](const std::string&) {});
        testsupport::FillCohort(*task, {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                        static_cast<int>(state.range(2)), seed, 0.02, 0.01, 1,
                                        state.range(4) != 0});
        testsupport::DivideInMemory(*task, seed);
        const auto before = testsupport::ClassesOf(*task);
        state.ResumeTiming();

        CBalanceOptimizer optimizer(*task);
        CBalanceOptions options;
        options.seconds = static_cast<double>(state.range(3)) / 10.0;
        if (const char* steps = std::getenv("QUILLON_BALANCE_STEPS"))
            options.iterations = std::strtoull(steps, nullptr, 10);
        options.seed = seed;
        optimizer.SetOptions(options);
        const CBalanceResult& result = optimizer.Run();
        optimizer.Apply();
        state.PauseTiming();
        SetSpreads(state, "greedy_", result.before);
        SetSpreads(state, "", result.after);
        state.counters["violations"] = static_cast<double>(testsupport::BalanceViolations(*task, before).size());
        state.counters["moved"] = result.movedStudents;
        state.counters["steps"] = static_cast<double>(result.steps);
        SetMoves(state, result.moves);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
        task.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_Balance)
    ->Args({400, 10, 3, 20, 0})
    ->Args({1800, 40, 6, 20, 0})
    ->Args({1800, 40, 6, 20, 1})
    ->Args({20000, 400, 9, 100, 0})
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
