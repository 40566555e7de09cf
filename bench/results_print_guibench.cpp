// Printing the class rosters of a school of 20,000 students in 400 classes
// to a PDF file, offscreen.
#include "GuiBenchSupport.h"

#include "gui/render/DivisionPrinter.h"
#include "gui/render/TablePrinter.h"
#include "TestSupport.h"

namespace {

// From the task to the finished file: rows, layout, both passes, the PDF.
void BM_RostersToPdf(benchmark::State& state)
{
    testsupport::TempFolder folder;
    const QString pdf = QString::fromStdString(folder.File("rosters.pdf"));
    for (auto _ : state) {
        CTablePrinter printer;
        printer.StartPdf(pdf);
        if (!CDivisionPrinter::print(printer, CDivisionPrinter::classRosters(GuiBench::School())))
            state.SkipWithError("the PDF was not written");
    }
}
BENCHMARK(BM_RostersToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

// The rows alone.
void BM_RosterSections(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CDivisionPrinter::classRosters(GuiBench::School()));
}
BENCHMARK(BM_RosterSections)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
