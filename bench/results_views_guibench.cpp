// Opening the division table and the statistics of a school of 20,000
// students in 400 classes, offscreen, including the first paint; and a
// change by hand in that table, saved and drawn again.
#include "GuiBenchSupport.h"

#include "core/DivisionStatistics.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "core/DivisionTableData.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/common/MessageBox.h"

#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {

void BM_DivisionTableOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionTableDialog dialog(task);
        dialog.show();
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_DivisionTableOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DivisionTableChooseClass(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    CDivisionTableDialog dialog(task);
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

// One student moved to another class and back in turn: the rule check, the
// change, the save of input.xml, the table filled again, the balance line
// and the window drawn.
void BM_DivisionTableMove(benchmark::State& state)
{
    QTemporaryDir folder;
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    task.GetTaskInfo().SetTaskFolder(folder.path().toStdString());
    task.GetTaskInfo().SetTaskName("moves");
    ResultsTest::MakeSchool(task, 20000, 400, true);
    if (!task.SaveInputData()) {
        state.SkipWithError("input.xml not written");
        return;
    }
    CMessageBox::setTestMode(true); // nothing may wait for an answer
    CDivisionTableDialog dialog(task);
    dialog.show();
    dialog.table()->selectRow(0);
    bool back = false;
    for (auto _ : state) {
        if (!dialog.moveStudents({"student0"}, back ? "class0" : "class1")) {
            state.SkipWithError("not moved");
            break;
        }
        back = !back;
        QPixmap shot = dialog.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_DivisionTableMove)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StatisticsOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CDivisionStatisticsDialog dialog(task);
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
