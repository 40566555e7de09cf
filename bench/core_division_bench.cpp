// Speed of a whole division run without file I/O: the checks, the dealing
// and the write-back into the task.
#include "ClassInfo.h"
#include "DivisionCore.h"
#include "MutexStudent.h"
#include "ScheduleTask.h"
#include "StudentInfo.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

namespace {

// students over classes, six subjects, 2% of the students in exclusive
// groups of two to four.
std::unique_ptr<CScheduleTask> MakeTask(int students, int classes)
{
    auto task = std::make_unique<CScheduleTask>();
    task->SetMessageHandler([](const std::string&) {});
    task->GetCustomSubjectArray() = {"语文", "数学", "英语", "物理", "化学", "生物"};
    std::mt19937_64 random(20240305);
    const unsigned capacity = static_cast<unsigned>(students / classes + 2);
    for (int c = 0; c < classes; ++c) {
        auto info = std::make_unique<CClassInfo>();
        info->SetId("class" + std::to_string(c));
        info->SetName(std::to_string(c + 1) + "班");
        info->SetStudentCount(capacity);
        task->GetClassInfoList().Add(std::move(info));
    }
    for (int s = 0; s < students; ++s) {
        auto student = std::make_unique<CStudentInfo>();
        student->SetId("student" + std::to_string(s));
        student->SetName("学生" + std::to_string(s));
        student->SetSex(static_cast<int>(random() % 2));
        for (int k = 0; k < 6; ++k)
            student->GetScoreArray().push_back(std::to_string(40 + random() % 61) + ".5");
        task->GetStudentInfoList().Add(std::move(student));
    }
    int grouped = 0;
    for (int g = 0; grouped < students / 50; ++g) {
        auto group = std::make_unique<CMutexStudent>();
        group->SetId("group" + std::to_string(g));
        const int size = 2 + static_cast<int>(random() % 3);
        for (int k = 0; k < size; ++k)
            group->GetMutexStudents().push_back("student" + std::to_string(random() % students));
        task->GetMutexStudentList().Add(std::move(group));
        grouped += size;
    }
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
