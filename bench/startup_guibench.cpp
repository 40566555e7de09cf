// The program's start with a task of 20,000 divided students: the main
// window made, the task opened from its folder and the window painted once,
// as the program does before a user sees it (the time QApplication itself
// takes is measured apart, by whole_commands.py starting the program).
#include "GuiBenchSupport.h"

#include "gui/shell/MainDlg.h"
#include "gui/shell/TaskManager.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

void BM_MainWindowWithTask(benchmark::State& state)
{
    QTemporaryDir dir;
    CTaskManager::setSettingsFile(dir.filePath(QStringLiteral("qz.ini")).toStdString());
    std::string taskFile;
    {
        CScheduleTask task;
        ResultsTest::MakeSchool(task, 20000, 400, true);
        const QString folder = dir.filePath(QStringLiteral("school"));
        QDir().mkpath(folder);
        taskFile = ResultsTest::SaveTaskIn(task, "二万名学生", folder.toStdString());
    }
    if (taskFile.empty()) {
        state.SkipWithError("the task could not be saved");
        return;
    }
    for (auto _ : state) {
        {
            CMainDlg window(taskFile);
            window.show();
            QPixmap shot = window.grab();
            benchmark::DoNotOptimize(shot);
            if (!CTaskManager::instance()->hasTask())
                state.SkipWithError("the task did not open");
            state.PauseTiming();
        }
        CTaskManager::release();
        state.ResumeTiming();
    }
    CTaskManager::setSettingsFile(std::string());
}
BENCHMARK(BM_MainWindowWithTask)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
