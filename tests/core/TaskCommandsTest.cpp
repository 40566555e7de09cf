// quillon-cli new-task makes an empty task as the new-task dialog does, in
// a folder of its own only; remove-class deletes a class as the classes
// editor does, with the pre-assignments to it.
#include "CliRun.h"
#include "FolderSnapshot.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include "base/util/AccountName.h"
#include "cli/CommandLine.h"
#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskLock.h"

#include <algorithm>
#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef QUILLON_CLI_PATH

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

using Outcome = CliOutcome;

class TaskCommands : public ::testing::Test
{
protected:
    Outcome Cli(const std::string& arguments) const { return RunCli(QUILLON_CLI_PATH, arguments, m_output.Path()); }

    static std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

    fs::path Folder(const std::string& name) const { return m_root.Path() / name; }

    TempFolder m_root;
    TempFolder m_output; // the command's own output stays out of the folders compared
};

TEST_F(TaskCommands, NewTaskIsAnEmptyTaskTheOtherCommandsWorkOn)
{
    const fs::path folder = Folder("新生");
    const Outcome made = Cli("new-task " + Quoted(folder) + " 2026学年新生 --creator 王老师");
    ASSERT_EQ(made.code, 0) << made.err;
    const fs::path taskFile = folder / "2026学年新生.qz";
    EXPECT_EQ(made.out, "已创建分班任务 2026学年新生：" + taskFile.string() + "\n");
    EXPECT_TRUE(fs::is_regular_file(folder / "input.xml"));
    EXPECT_TRUE(fs::is_regular_file(folder / "output.xml"));
    EXPECT_FALSE(fs::exists(folder / "quillon.lock"));
    EXPECT_EQ(CIniFile::ReadString(taskFile.string(), "Task Info", "Name", ""), "2026学年新生");
    EXPECT_EQ(CIniFile::ReadString(taskFile.string(), "Task Info", "Creator", ""), "王老师");
    EXPECT_EQ(CIniFile::ReadString(taskFile.string(), "Task Info", "CreateTime", "").size(), 19u);

    const std::string task = Quoted(taskFile);
    EXPECT_EQ(Cli("classes " + task).out, "班级名称\t人数\t简称\t班主任\n");
    ASSERT_EQ(Cli("add-classes " + task + " --pattern 5 --count 2 --students 3").code, 0);
    const fs::path students = m_output.Path() / "students.csv";
    WriteBytes(students.string(), "姓名,性别,原学校,语文\r\n张三,男,一中,90\r\n李四,女,二中,80\r\n"
                                  "王五,男,一中,70\r\n赵六,女,二中,60\r\n");
    const Outcome imported = Cli("import-students " + task + " " + Quoted(students));
    ASSERT_EQ(imported.code, 0) << imported.err;
    const Outcome divided = Cli("divide " + task + " --seed 7");
    EXPECT_EQ(divided.code, 0) << divided.err;
    CScheduleTask reopened;
    ASSERT_TRUE(reopened.Open(taskFile.string()));
    EXPECT_EQ(reopened.GetClassInfoList().GetCount(), 2u);
    EXPECT_EQ(reopened.GetStudentInfoList().GetCount(), 4u);

    // Without --creator: the account's own name.
    ASSERT_EQ(Cli("new-task " + Quoted(Folder("b")) + " 乙").code, 0);
    EXPECT_EQ(CIniFile::ReadString((Folder("b") / "乙.qz").string(), "Task Info", "Creator", ""),
              CAccountName::Current());
}

TEST_F(TaskCommands, NewTaskRefusesAFolderThatHoldsATask)
{
    const fs::path folder = Folder("甲");
    ASSERT_EQ(Cli("new-task " + Quoted(folder) + " 甲").code, 0);
    const auto before = FolderSnapshot(folder);
    for (const char* name : {"乙", "甲"}) {
        const Outcome refused = Cli("new-task " + Quoted(folder) + " " + name);
        EXPECT_EQ(refused.code, CCommandLine::ExitHoldsTask);
        EXPECT_EQ(refused.err, "错误：保存位置 " + folder.string()
                                   + " 已是一个分班任务的文件夹（其中有 Backup、input.xml、output.xml、甲.qz）。"
                                     "请另选一个文件夹。\n");
        EXPECT_TRUE(refused.out.empty());
        EXPECT_EQ(FolderSnapshot(folder), before);
    }

    // A report left alone is a task's too.
    const fs::path report = Folder("report");
    fs::create_directory(report);
    WriteBytes((report / "report.txt").string(), "【分班时间】");
    EXPECT_EQ(Cli("new-task " + Quoted(report) + " 丙").code, CCommandLine::ExitHoldsTask);
    EXPECT_EQ(FolderSnapshot(report).size(), 1u);
}

TEST_F(TaskCommands, NewTaskOtherRefusals)
{
    // A name no file may have.
    const Outcome badName = Cli("new-task " + Quoted(Folder("x")) + " a/b");
    EXPECT_EQ(badName.code, CCommandLine::ExitUsage);
    EXPECT_NE(badName.err.find("任务名称不能包含"), std::string::npos) << badName.err;
    EXPECT_EQ(Cli("new-task " + Quoted(Folder("x")) + " \"\"").code, CCommandLine::ExitUsage);
    EXPECT_FALSE(fs::exists(Folder("x")));
    EXPECT_EQ(Cli("new-task " + Quoted(Folder("x"))).code, CCommandLine::ExitUsage);

    // One folder level is made, no more.
    const Outcome deep = Cli("new-task " + Quoted(Folder("no") / "such") + " 新生");
    EXPECT_EQ(deep.code, CCommandLine::ExitNotSaved);
    EXPECT_FALSE(fs::exists(Folder("no")));

    // Another program is making a task in the folder.
    const fs::path locked = Folder("locked");
    fs::create_directory(locked);
    CTaskLock other(locked.string());
    ASSERT_EQ(other.Acquire("Quillon"), CTaskLock::Result::Acquired);
    const auto before = FolderSnapshot(locked);
    const Outcome refused = Cli("new-task " + Quoted(locked) + " 新生");
    EXPECT_EQ(refused.code, CCommandLine::ExitLocked);
    EXPECT_EQ(FolderSnapshot(locked), before);
}

class RemoveClass : public TaskCommands
{
protected:
    void SetUp() override
    {
        CTaskInfo info;
        info.SetTaskName("任务");
        info.SetTaskFolder(Folder("task").string());
        fs::create_directory(Folder("task"));
        m_task.SetTaskInfo(info);
        AddClass(m_task, "c1", "一班", 0, 40);
        AddClass(m_task, "c2", "二班", 1, 40);
        AddClass(m_task, "c3", "二班", 2, 40);
        AddClass(m_task, "c4", "四班", 3, 40);
        AddStudent(m_task, "s1", "张三", 0, 1);
        AddStudent(m_task, "s2", "李四", 1, 0);
        AddStudent(m_task, "s3", "王五", 2, 1);
        AddPreset(m_task, "s1", "c1");
        AddPreset(m_task, "s2", "c1");
        AddPreset(m_task, "s3", "c2");
        ASSERT_TRUE(m_task.SaveInputData());
        ASSERT_TRUE(m_task.GetTaskInfo().WriteToFile());
        m_file = Quoted(m_task.GetTaskInfo().GetTaskFile());
    }

    std::unique_ptr<CScheduleTask> Reopen() const
    {
        auto task = std::make_unique<CScheduleTask>();
        EXPECT_TRUE(task->Open(m_task.GetTaskInfo().GetTaskFile()));
        return task;
    }

    CScheduleTask m_task;
    std::string m_file;
};

TEST_F(RemoveClass, TakesThePreAssignmentsToTheClassAlong)
{
    const Outcome removed = Cli("remove-class " + m_file + " 一班");
    ASSERT_EQ(removed.code, 0) << removed.err;
    // One line for the class, then one for each pre-assignment that went with it.
    EXPECT_EQ(removed.out.rfind("已删除班级 一班。\n", 0), 0u) << removed.out;
    EXPECT_NE(removed.out.find("\n已取消 张三 的预分班（原在 一班）。\n"), std::string::npos) << removed.out;
    EXPECT_NE(removed.out.find("\n已取消 李四 的预分班（原在 一班）。\n"), std::string::npos) << removed.out;
    EXPECT_EQ(std::count(removed.out.begin(), removed.out.end(), '\n'), 3);
    auto task = Reopen();
    EXPECT_EQ(task->GetClassInfoList().Find("c1"), nullptr);
    EXPECT_EQ(task->GetClassInfoList().GetCount(), 3u);
    EXPECT_EQ(task->GetStudentPresetList().GetCount(), 1u);
    EXPECT_NE(task->GetStudentPresetList().Find("s3"), nullptr);
    EXPECT_EQ(task->GetStudentInfoList().GetCount(), 3u);

    // By id, with nobody pre-assigned to it.
    const Outcome byId = Cli("remove-class " + m_file + " c3");
    ASSERT_EQ(byId.code, 0) << byId.err;
    EXPECT_EQ(byId.out, "已删除班级 二班。\n");
    EXPECT_EQ(Reopen()->GetClassInfoList().GetCount(), 2u);
}

TEST_F(RemoveClass, RefusesWhatItCannotNameAndALockedTask)
{
    const std::string bytes = ReadBytes(m_task.GetTaskInfo().GetInputFilePath());
    const Outcome missing = Cli("remove-class " + m_file + " 三班");
    EXPECT_EQ(missing.code, CCommandLine::ExitNotFound);
    EXPECT_EQ(missing.err, "错误：没有名称或ID为“三班”的班级。\n");
    const Outcome ambiguous = Cli("remove-class " + m_file + " 二班");
    EXPECT_EQ(ambiguous.code, CCommandLine::ExitAmbiguous);
    EXPECT_NE(ambiguous.err.find("c2\t计划人数 40"), std::string::npos) << ambiguous.err;
    EXPECT_EQ(Cli("remove-class " + m_file).code, CCommandLine::ExitUsage);
    {
        CTaskLock other(Folder("task").string());
        ASSERT_EQ(other.Acquire("Quillon"), CTaskLock::Result::Acquired);
        EXPECT_EQ(Cli("remove-class " + m_file + " 四班").code, CCommandLine::ExitLocked);
    }
    EXPECT_EQ(ReadBytes(m_task.GetTaskInfo().GetInputFilePath()), bytes);
}

} // namespace

#endif

// set-classes works on the same small task: several classes in one save.
using SetClasses = RemoveClass;

TEST_F(SetClasses, ChangesSeveralClassesInOneSave)
{
    const Outcome set = Cli("set-classes " + m_file + " 一班 c3 四班 --seats 45 --teacher \" 王老师 \"");
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "已修改 一班、二班、四班：人数 45，班主任 王老师。\n");
    auto task = Reopen();
    std::vector<std::string> classes;
    for (const char* id : {"c1", "c2", "c3", "c4"}) {
        const auto* info = task->GetClassInfoList().FindAs<CClassInfo>(id);
        classes.push_back(std::to_string(info->GetStudentCount()) + info->GetHeadTeacherName());
    }
    EXPECT_EQ(classes, (std::vector<std::string>{"45王老师", "40", "45王老师", "45王老师"}));
    EXPECT_EQ(task->GetStudentPresetList().GetCount(), 3u) << "nothing else changes";

    // Only the teacher.
    ASSERT_EQ(Cli("set-classes " + m_file + " c2 --teacher 李老师").code, 0);
    EXPECT_EQ(Reopen()->GetClassInfoList().FindAs<CClassInfo>("c2")->GetStudentCount(), 40u);
}

TEST_F(SetClasses, RefusesWithoutAChangeABadNumberOrAClassItCannotName)
{
    const std::string bytes = ReadBytes(m_task.GetTaskInfo().GetInputFilePath());
    const Outcome nothing = Cli("set-classes " + m_file + " 一班");
    EXPECT_EQ(nothing.code, CCommandLine::ExitUsage);
    EXPECT_NE(nothing.err.find("--seats"), std::string::npos) << nothing.err;
    const Outcome bad = Cli("set-classes " + m_file + " 一班 --seats 0");
    EXPECT_EQ(bad.code, CCommandLine::ExitUsage);
    EXPECT_NE(bad.err.find("班级人数应该大于零"), std::string::npos) << bad.err;
    EXPECT_EQ(Cli("set-classes " + m_file + " --seats 40").code, CCommandLine::ExitUsage);
    // One class it cannot name: none is changed.
    EXPECT_EQ(Cli("set-classes " + m_file + " 一班 三班 --seats 45").code, CCommandLine::ExitNotFound);
    EXPECT_EQ(Cli("set-classes " + m_file + " 一班 二班 --seats 45").code, CCommandLine::ExitAmbiguous);
    EXPECT_EQ(ReadBytes(m_task.GetTaskInfo().GetInputFilePath()), bytes);
}
