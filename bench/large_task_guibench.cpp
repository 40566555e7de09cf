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

// Opens a results window on the school and paints it once.
template <class Dialog>
void BM_LargeOpen(benchmark::State& state)
{
    CScheduleTask& task = LargeSchool();
    for (auto _ : state) {
        Dialog dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK_TEMPLATE(BM_LargeOpen, CDivisionTableDialog)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK_TEMPLATE(BM_LargeOpen, CDivisionStatisticsDialog)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
