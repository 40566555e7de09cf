// Renders the list editors and their dialogs on the demo task to PNG files.
// Runs only when QUILLON_SCREENSHOT_DIR names the output folder and
// QUILLON_SCREENSHOT_TASK the task file to show.
#include "EditorTestSupport.h"

#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassEditDialog.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/editors/DivisionRulesDialog.h"
#include "gui/editors/MutexStudentEditDialog.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "gui/common/SearchField.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/editors/StudentPresetListDialog.h"
#include "gui/editors/TogetherStudentEditDialog.h"
#include "gui/editors/TogetherStudentListDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>

#include <map>

using namespace editortest;

TEST(EditorScreenshots, EditorsAndDialogs)
{
    const QString outDir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString taskFile = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (outDir.isEmpty() || taskFile.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outDir);
    CScheduleTask task;
    ASSERT_TRUE(task.Open(str(taskFile)));

    auto save = [&outDir](QWidget& w, const char* name) {
        w.show();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QStringLiteral("%1/%2.png").arg(outDir, QString::fromLatin1(name))));
    };

    CClassListDialog classes(task);
    classes.show();
    classes.selectRows({1, 2});
    classes.moveDown();
    save(classes, "editor-classes");

    CClassEditDialog addClass(classes, CClassEditDialog::Mode::Add);
    addClass.setFields(QStringLiteral("高一(9)班"), QStringLiteral("40"));
    save(addClass, "editor-class-add");

    CBatchAddClassDialog batch(classes);
    batch.patternBox()->setCurrentIndex(4);
    save(batch, "editor-class-batch");

    CMutexStudentListDialog groups(task);
    groups.show();
    groups.selectOnly(1);
    save(groups, "editor-mutex");

    CMutexStudentEditDialog editGroup(groups, task, CMutexStudentEditDialog::Mode::Modify);
    editGroup.setNames(qs(groups.cellText(1, CMutexStudentListDialog::ColumnNames)));
    save(editGroup, "editor-mutex-edit");

    // Siblings: the first students who share a surname, two by two.
    {
        std::map<std::string, std::vector<std::string>> bySurname;
        std::vector<CDivisionRules::TogetherGroup>& together = task.GetDivisionRules().TogetherGroups();
        for (const auto* student : task.GetStudentInfoList().Records<CQZObject>()) {
            std::vector<std::string>& ids = bySurname[student->GetName().substr(0, 3)];
            ids.push_back(student->GetId());
            if (ids.size() == 2 && together.size() < 3)
                together.push_back({"sibling" + std::to_string(together.size()), ids});
        }
    }
    CTogetherStudentListDialog together(task);
    together.show();
    together.selectOnly(0);
    save(together, "editor-together");

    CTogetherStudentEditDialog editTogether(together, task, CTogetherStudentEditDialog::Mode::Modify);
    editTogether.setNames(qs(together.cellText(0, CTogetherStudentListDialog::ColumnNames)));
    save(editTogether, "editor-together-edit");

    task.GetDivisionRules().SetSameNameApart(true);
    task.GetDivisionRules().SetScoreBands(CDivisionRules::DefaultScoreBands());
    CDivisionRulesDialog rules(task);
    save(rules, "editor-rules");

    CStudentPresetListDialog presets(task);
    presets.show();
    save(presets, "editor-preset");

    CObjectPickerDialog students(task.GetStudentInfoList(), CObjectPickerDialog::Kind::Students,
                                 QStringLiteral("选择预分班的学生"));
    save(students, "editor-picker-students");
    students.searchEdit()->setText(QStringLiteral("hu"));
    students.selectRow(1);
    save(students, "editor-picker-search");

    CObjectPickerDialog classPicker(task.GetClassInfoList(), CObjectPickerDialog::Kind::Classes,
                                    QStringLiteral("选择 黄晨 预分的班级"),
                                    task.GetClassInfoList().Records<CQZObject>().front()->GetId());
    save(classPicker, "editor-picker-classes");
}

// The students editor narrowed by a search, at window sizes that fit a
// 1366 × 768 and a 1600 × 1000 screen.
TEST(EditorScreenshots, StudentSearch)
{
    const QString outDir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString taskFile = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (outDir.isEmpty() || taskFile.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outDir);
    CScheduleTask task;
    ASSERT_TRUE(task.Open(str(taskFile)));

    for (const auto& [size, name] : {std::pair{QSize(1100, 640), "editor-students-search-1366.png"},
                                     std::pair{QSize(1300, 820), "editor-students-search-1600.png"}}) {
        CStudentListDialog students(task);
        students.show();
        students.resize(size);
        students.searchField()->edit()->setText(QStringLiteral("zh"));
        students.listView()->selectRow(1);
        QApplication::processEvents();
        EXPECT_TRUE(students.grab().save(QStringLiteral("%1/%2").arg(outDir, QString::fromLatin1(name))));
    }
}
