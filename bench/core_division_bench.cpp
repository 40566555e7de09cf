// Speed of a whole division run without file I/O: the checks, the dealing
// and the write-back into the task.
#include "core/DivisionCore.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <utility>

namespace {

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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

// Exclusive groups of 500 drawn from the same 2,000 of 20,000 students:
// the partners a student has are few, the pairs of its groups many.
int MeasureLargeGroups(int groups)
{
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    testsupport::FillLargeSchool(task, 20000, 500, 20240305);
    task.GetMutexStudentList().RemoveAll();
    std::mt19937_64 random(7);
    for (int g = 0; g < groups; ++g) {
        std::vector<std::string> members;
        for (int k = 0; k < 500; ++k)
            members.push_back("s" + std::to_string(random() % 2000));
        testsupport::AddGroup(task, "g" + std::to_string(g), members);
    }
    const long before = PeakRssKiB();
    const auto start = std::chrono::steady_clock::now();
    CDivisionCore core;
    core.Init(nullptr, &task);
    core.SetSaveFiles(false);
    core.SetSeed(1);
    const int result = core.RunSynchronously();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("groups %d of 500: result %d, %.2f s, peak RSS %.1f MiB (%.1f MiB before the run)\n", groups, result,
                seconds, PeakRssKiB() / 1024.0, before / 1024.0);
    return 0;
}

} // namespace

BENCHMARK(BM_Division)->Args({2000, 50})->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Division)->Args({100000, 2000})->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

//   core_division_bench                    runs the benchmarks
//   core_division_bench --groups N         one division with N groups of 500
//                                          members, printing time and peak
//                                          resident memory
int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--groups") == 0)
        return MeasureLargeGroups(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
