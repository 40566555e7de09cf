// Opening the division table and the statistics of a school of 100,000
// students in 2,000 classes, offscreen, including the first paint.
#include "GuiBenchSupport.h"

#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionTableDialog.h"

namespace {

CScheduleTask& LargeSchool()
{
    static CScheduleTask task;
    static const bool made = (ResultsTest::MakeSchool(task, 100000, 2000, true), true);
    (void)made;
    return task;
}

void BM_LargeDivisionTableOpen(benchmark::State& state)
{
    CScheduleTask& task = LargeSchool();
    for (auto _ : state) {
        CDivisionTableDialog dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_LargeDivisionTableOpen)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_LargeStatisticsOpen(benchmark::State& state)
{
    CScheduleTask& task = LargeSchool();
    for (auto _ : state) {
        CDivisionStatisticsDialog dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_LargeStatisticsOpen)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
