// The whole import of a 20,000-student list with twelve columns into an
// empty students editor through the import wizard, offscreen: from the
// start button to the wizard closing with "导入成功". The wizard opens by
// itself, as it does for the user; the progress bar must move on the way.
#include "ClassListWorkbook.h"
#include "GuiBenchSupport.h"

#include "gui/import/ImportWizardDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/editors/StudentListDialog.h"
#include "TestSupport.h"

#include <QProgressBar>
#include <QPushButton>

#include <chrono>
#include <optional>
#include <set>

namespace {

constexpr int kStudents = 20000;

const std::string& ListFile()
{
    static testsupport::TempFolder folder;
    static const std::string path = [] {
        const std::string file = folder.File("list.xlsx");
        BenchData::WriteClassList(file, kStudents, 12, false);
        return file;
    }();
    return path;
}

void BM_ImportStudentList(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const QString file = QString::fromStdString(ListFile());
    CMessageBox::setTestMode(true);
    for (auto _ : state) {
        CScheduleTask task;
        CStudentListDialog editor(task);
        Clock::time_point started;
        std::optional<Clock::time_point> finished;
        std::set<int> progress;
        ResultsTest::ModalOf<CImportWizardDialog> driver([&](CImportWizardDialog* wizard) {
            QObject::connect(wizard->progressBar(), &QProgressBar::valueChanged,
                             [&progress](int value) { progress.insert(value); });
            QObject::connect(wizard, &QDialog::finished, [&finished] { finished = Clock::now(); });
            CMessageBox::pushPath(file);
            wizard->chooseButton()->click();
            started = Clock::now();
            wizard->startButton()->click();
        });
        editor.show();
        while (!finished)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(std::chrono::duration<double>(*finished - started).count());
        if (editor.rowCount() != kStudents
            || CMessageBox::shownTexts() != QStringList{QStringLiteral("导入成功，共导入 %1 名学生。").arg(kStudents)})
            state.SkipWithError("the list was not imported");
        if (progress.size() < 50)
            state.SkipWithError("the progress bar did not move");
        CMessageBox::clearTestState();
    }
}
BENCHMARK(BM_ImportStudentList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
