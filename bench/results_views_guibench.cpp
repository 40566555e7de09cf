// Opening the division table and the statistics of a school of 20,000
// students in 400 classes, offscreen, including the first paint.
#include "../tests/app/ResultsTestSupport.h"

#include "DivisionStatistics.h"
#include "DivisionStatisticsDlg.h"
#include "DivisionTableData.h"
#include "DivisionTableDlg.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

CScheduleTask& School()
{
    static CScheduleTask task;
    static const bool made = (ResultsTest::MakeSchool(task, 20000, 400, true), true);
    (void)made;
    return task;
}

void BM_DivisionTableOpen(benchmark::State& state)
{
    CScheduleTask& task = School();
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
    CScheduleTask& task = School();
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
    CDivisionTableData data(School());
    for (auto _ : state)
        benchmark::DoNotOptimize(data.Fill());
}
BENCHMARK(BM_DivisionTableRows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StatisticsOpen(benchmark::State& state)
{
    CScheduleTask& task = School();
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
    CDivisionStatistics statistics(School());
    for (auto _ : state) {
        statistics.Calculate();
        benchmark::DoNotOptimize(statistics.GetSchoolStatistics().count);
    }
}
BENCHMARK(BM_StatisticsCalculate)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
