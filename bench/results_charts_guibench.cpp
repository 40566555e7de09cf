// Opening the charts of a school of 20,000 students in 400 classes,
// offscreen, at 1366 × 768, including the first paint; and switching
// between them.
#include "GuiBenchSupport.h"

#include "core/DivisionChartFigures.h"
#include "gui/results/DivisionChartView.h"

#include <QComboBox>

namespace {

void BM_ChartsOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionChartView view(task);
        view.resize(1366, 768);
        view.show();
        QPixmap shot = view.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_ChartsOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ChartsSwitch(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    CDivisionChartView view(task);
    view.resize(1366, 768);
    view.show();
    int kind = 0;
    for (auto _ : state) {
        kind = (kind + 1) % view.kindChooser()->count();
        view.kindChooser()->setCurrentIndex(kind);
        QPixmap shot = view.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_ChartsSwitch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ChartFigures(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionChartFigures figures(task);
        benchmark::DoNotOptimize(figures.ClassDistributions(CDivisionChartFigures::kTotal).size());
    }
}
BENCHMARK(BM_ChartFigures)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
