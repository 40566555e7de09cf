// Printing the class rosters of a school of 20,000 students in 400 classes
// to a PDF file, offscreen.
#include "../tests/app/ResultsTestSupport.h"

#include "DivisionPrinter.h"
#include "TablePrinter.h"
#include "TestSupport.h"

#include <QApplication>

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

// From the task to the finished file: rows, layout, both passes, the PDF.
void BM_RostersToPdf(benchmark::State& state)
{
    testsupport::TempFolder folder;
    const QString pdf = QString::fromStdString(folder.File("rosters.pdf"));
    for (auto _ : state) {
        CTablePrinter printer;
        printer.StartPdf(pdf);
        if (!CDivisionPrinter::Print(printer, CDivisionPrinter::ClassRosters(School())))
            state.SkipWithError("the PDF was not written");
    }
}
BENCHMARK(BM_RostersToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

// The rows alone.
void BM_RosterSections(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CDivisionPrinter::ClassRosters(School()));
}
BENCHMARK(BM_RosterSections)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

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
