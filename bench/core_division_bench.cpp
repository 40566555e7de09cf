// Speed of a whole division run without file I/O: the checks, the dealing
// and the write-back into the task.
#include "DivisionCore.h"
#include "ScheduleTask.h"
#include "TaskBuilder.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

// students over classes, six subjects, 2% of the students in exclusive
// groups of two to four.
std::unique_ptr<CScheduleTask> MakeTask(int students, int classes)
{
    auto task = std::make_unique<CScheduleTask>();
    task->SetMessageHandler([](const std::string&) {});
    testsupport::FillLargeSchool(*task, students, classes, 20240305);
    return task;
}

CScheduleTask& TaskOf(int students, int classes)
{
    static std::map<std::pair<int, int>, std::unique_ptr<CScheduleTask>> tasks;
    auto& task = tasks[{students, classes}];
    if (!task)
        task = MakeTask(students, classes);
    return *task;
}

void BM_Division(benchmark::State& state)
{
    CScheduleTask& task = TaskOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::uint64_t seed = 1;
    for (auto _ : state) {
        CDivisionCore core;
        core.Init(nullptr, &task);
        core.SetSaveFiles(false);
        core.SetSeed(seed++);
        const int result = core.RunSynchronously();
        if (result != 0)
            state.SkipWithError("the division did not place every student");
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Division)->Args({2000, 50})->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Division)->Args({100000, 2000})->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
