// Opening the list editors on 20,000 rows and searching the record picker
// over 20,000 names, offscreen, including the first paint.
#include "GuiBenchSupport.h"

#include "gui/editors/ClassListDialog.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "gui/editors/StudentPresetListDialog.h"

#include <QLineEdit>
#include <QListView>

namespace {

constexpr int kRows = 20000;

// 20,000 classes; made once.
CScheduleTask& ManyClasses()
{
    static CScheduleTask task;
    static const bool made = [] {
        for (int c = 0; c < kRows; ++c)
            testsupport::AddClass(task, "c" + std::to_string(c), "高一(" + std::to_string(c + 1) + ")班", c, 40);
        return true;
    }();
    (void)made;
    return task;
}

// The large school with a pre-assignment and a group of two for each of
// its 20,000 students; made once.
CScheduleTask& SchoolWithConditions()
{
    CScheduleTask& task = GuiBench::School();
    static const bool made = [&task] {
        const std::vector<CStudentInfo*> students = task.GetStudentInfoList().Records<CStudentInfo>();
        for (std::size_t i = 0; i < students.size(); ++i) {
            testsupport::AddPreset(task, students[i]->GetId(), students[i]->GetClassId());
            testsupport::AddGroup(task, "g" + std::to_string(i),
                                  {students[i]->GetId(), students[(i + 1) % students.size()]->GetId()});
        }
        return true;
    }();
    (void)made;
    return task;
}

template <class Editor>
void OpenEditor(benchmark::State& state, CScheduleTask& task)
{
    for (auto _ : state) {
        Editor editor(task);
        editor.show();
        QApplication::processEvents();
        QPixmap shot = editor.grab();
        benchmark::DoNotOptimize(shot);
        if (editor.rowCount() != kRows)
            state.SkipWithError("rows missing");
    }
}

void BM_ClassEditorOpen(benchmark::State& state)
{
    OpenEditor<CClassListDialog>(state, ManyClasses());
}
BENCHMARK(BM_ClassEditorOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PresetEditorOpen(benchmark::State& state)
{
    OpenEditor<CStudentPresetListDialog>(state, SchoolWithConditions());
}
BENCHMARK(BM_PresetEditorOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GroupEditorOpen(benchmark::State& state)
{
    OpenEditor<CMutexStudentListDialog>(state, SchoolWithConditions());
}
BENCHMARK(BM_GroupEditorOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StudentPickerOpen(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    for (auto _ : state) {
        CObjectPickerDialog picker(task.GetStudentInfoList(), CObjectPickerDialog::Kind::Students,
                                   QStringLiteral("选择预分班的学生"));
        picker.show();
        QApplication::processEvents();
        QPixmap shot = picker.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_StudentPickerOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One keystroke: the search text grows or shrinks by a letter, the list is
// refilled and painted. Cycles through typing "zhangsan" and deleting it
// again, so short texts (many matches) and long ones (few) both count.
void BM_StudentPickerKeystroke(benchmark::State& state)
{
    CScheduleTask& task = GuiBench::School();
    CObjectPickerDialog picker(task.GetStudentInfoList(), CObjectPickerDialog::Kind::Students,
                               QStringLiteral("选择预分班的学生"));
    picker.show();
    QApplication::processEvents();
    const QString word = QStringLiteral("zhangsan");
    std::vector<QString> texts;
    for (int n = 1; n <= word.size(); ++n)
        texts.push_back(word.left(n));
    for (int n = static_cast<int>(word.size()) - 1; n >= 0; --n)
        texts.push_back(word.left(n));
    std::size_t next = 0;
    for (auto _ : state) {
        picker.searchEdit()->setText(texts[next]);
        QApplication::processEvents();
        QPixmap shot = picker.grab();
        benchmark::DoNotOptimize(shot);
        next = (next + 1) % texts.size();
    }
}
BENCHMARK(BM_StudentPickerKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return GuiBench::Main(argc, argv);
}
