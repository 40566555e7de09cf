// Opening the division table and the statistics of a school of 20,000
// students in 400 classes, offscreen, including the first paint.
#include "GuiBenchSupport.h"

#include "DivisionStatistics.h"
#include "DivisionStatisticsDlg.h"
#include "DivisionTableData.h"
#include "DivisionTableDlg.h"

#include <QComboBox>

namespace {

void BM_DivisionTableOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionTableDlg dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_DivisionTableOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DivisionTableChooseClass(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    CDivisionTableDlg dialog(task);
    dialog.show();
    int index = 1;
    for (auto _ : state) {
        dialog.classChooser()->setCurrentIndex(index);
        dialog.classChooser()->setCurrentIndex(0); // back to every class
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
        index = index % 400 + 1;
    }
}
BENCHMARK(BM_DivisionTableChooseClass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DivisionTableRows(benchmark::State& state)
{
    CDivisionTableData data(GuiBench::School());
    for (auto _ : state)
        benchmark::DoNotOptimize(data.Fill());
}
BENCHMARK(BM_DivisionTableRows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StatisticsOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionStatisticsDlg dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_StatisticsOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StatisticsCalculate(benchmark::State& state)
{
    CDivisionStatistics statistics(GuiBench::School());
    for (auto _ : state) {
        statistics.Calculate();
        benchmark::DoNotOptimize(statistics.GetSchoolStatistics().count);
    }
}
BENCHMARK(BM_StatisticsCalculate)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
