#include "TestSupport.h"

#include "base/timetable/CourseInfo.h"
#include "base/timetable/FixedTimeOfTeacher.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"
#include "base/timetable/TeacherInfo.h"

#include <pugixml.hpp>

#include <ctime>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class TaskContainerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        task.GetTaskInfo().SetTaskFolder(dir.Dir());
        task.SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n");
    }

    template <class T>
    T* Add(CQZObjectList& list, const std::string& id, const std::string& name = "")
    {
        auto* record = new T;
        record->SetId(id);
        record->SetName(name);
        list.Add(record);
        return record;
    }

    TempFolder dir;
    CScheduleTask task;
    std::vector<std::string> messages;
};

TEST_F(TaskContainerTest, NameLookupsAndNameList)
{
    Add<CStudentInfo>(task.GetStudentInfoList(), "s1", "甲");
    Add<CStudentInfo>(task.GetStudentInfoList(), "s2", "乙");
    Add<CClassInfo>(task.GetClassInfoList(), "c1", "一班");
    EXPECT_EQ(task.GetStudentName("s2"), "乙");
    EXPECT_EQ(task.GetClassName("c1"), "一班");
    EXPECT_EQ(task.GetClassName("s1"), "");
    EXPECT_EQ(task.GetStudentNameList({"x", "s1", "s2"}), "甲，乙");
    EXPECT_EQ(task.GetStudentNameList({"s2", "x"}), "乙");
    EXPECT_EQ(task.GetStudentNameList({"x"}), "");
}

TEST_F(TaskContainerTest, IntegrityPassesDropDanglingEntriesAndSaveOnlyOnChange)
{
    Add<CStudentInfo>(task.GetStudentInfoList(), "s1");
    Add<CClassInfo>(task.GetClassInfoList(), "c1");
    auto* kept = Add<CMutexStudent>(task.GetMutexStudentList(), "g1");
    kept->GetMutexStudents() = {"s1", "S2"};
    auto* single = Add<CMutexStudent>(task.GetMutexStudentList(), "g2");
    single->GetMutexStudents() = {"s1"};
    auto* preset = Add<CStudentPreset>(task.GetStudentPresetList(), "s1");
    preset->SetPresetClassId("c1");

    // Consistent data (a group of one stays): nothing saved.
    auto* g = Add<CMutexStudent>(task.GetMutexStudentList(), "g3");
    g->GetMutexStudents() = {"s1"};
    task.MaintainPresetDataIntegrity();
    EXPECT_FALSE(fs::exists(dir.File("input.xml")));

    kept->GetMutexStudents() = {"gone", "s1", "gone2"};
    auto* dead = Add<CMutexStudent>(task.GetMutexStudentList(), "g4", "dead");
    dead->GetMutexStudents() = {"x", "y"};
    Add<CMutexStudent>(task.GetMutexStudentList(), "g5");
    task.MaintainMutexDataIntegrity();
    EXPECT_EQ(kept->GetMutexStudents(), (std::vector<std::string>{"s1"}));
    EXPECT_EQ(task.GetMutexStudentList().Find("g4"), nullptr);
    EXPECT_EQ(task.GetMutexStudentList().Find("g5"), nullptr);
    EXPECT_EQ(task.GetMutexStudentList().GetObjectId("dead"), "");
    EXPECT_NE(task.GetMutexStudentList().Find("g2"), nullptr);
    EXPECT_TRUE(fs::exists(dir.File("input.xml")));

    fs::remove(dir.File("input.xml"));
    task.MaintainMutexDataIntegrity();
    task.MaintainPresetDataIntegrity();
    EXPECT_FALSE(fs::exists(dir.File("input.xml"))) << "consistent data saves nothing";

    task.GetClassInfoList().Remove("c1");
    Add<CStudentPreset>(task.GetStudentPresetList(), "ghost")->SetPresetClassId("c1");
    task.MaintainPresetDataIntegrity();
    EXPECT_TRUE(task.GetStudentPresetList().IsEmpty());
    EXPECT_TRUE(fs::exists(dir.File("input.xml")));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TaskContainerTest, SnapshotPutsTheDataBackAndKeepsTheClassLists)
{
    task.GetCustomSubjectArray() = {"语文"};
    CClassInfo* one = AddClass(task, "c1", "一班", 0, 2);
    AddStudent(task, "s1", "王芳", 0, 0, "c1", {"90"});
    AddStudent(task, "s2", "张伟", 1, 1, "c1", {"80"});
    one->GetStudentArray() = {"s2", "s1"};
    const std::string snapshot = task.SnapshotInputData();

    // Changes an editor made in memory and could not save.
    task.GetCustomSubjectArray().push_back("数学");
    task.GetStudentInfoList().Remove("s1");
    AddClass(task, "c2", "二班", 1, 2);

    ASSERT_TRUE(task.RestoreInputData(snapshot));
    EXPECT_EQ(task.SnapshotInputData(), snapshot);
    EXPECT_EQ(task.GetCustomSubjectArray(), std::vector<std::string>{"语文"});
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 1u);
    EXPECT_EQ(task.GetStudentName("s1"), "王芳");
    // The division's lists are not in the file; they stay as they were.
    const auto* restored = static_cast<const CClassInfo*>(task.GetClassInfoList().Find("c1"));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->GetStudentArray(), (std::vector<std::string>{"s2", "s1"}));
}

TEST_F(TaskContainerTest, ReportTextAndFile)
{
    Add<CClassInfo>(task.GetClassInfoList(), "c1");
    Add<CStudentInfo>(task.GetStudentInfoList(), "s1");
    Add<CStudentInfo>(task.GetStudentInfoList(), "s2");
    task.GetCustomSubjectArray() = {"语文", "数学"};
    task.InitReportInfo();
    CReportInfo& report = task.GetLastReportInfo();
    EXPECT_EQ(report.GetSubjectCount(), 2);

    std::tm when{};
    when.tm_year = 124;
    when.tm_mon = 2;
    when.tm_mday = 5;
    when.tm_hour = 8;
    when.tm_min = 7;
    when.tm_sec = 9;
    when.tm_isdst = -1;
    report.SetTime(std::mktime(&when));
    EXPECT_EQ(report.GetTime(), "2024年3月5日 8时7分9秒");

    const std::string head = "【分班时间】\n2024年3月5日 8时7分9秒\n\n【基础数据】\n班级数：1\t学生数：2\n\n";
    report.MakeReport(0);
    EXPECT_EQ(report.GetReportInfo(), head + "【分班结果】\n分班完成。您可以查看并导出分班表。");
    report.GetErrorInfo() = {"学生甲未分班", "学生乙未分班"};
    report.MakeReport(0);
    EXPECT_EQ(report.GetReportInfo(),
              head
                  + "【分班结果】\n本次自动分班结束。\n如果您对自动分班结果不满意，可以重新“开始自动分班”，"
                    "每次自动分班的结果可能不同。\n学生甲未分班\n学生乙未分班\n");
    report.MakeReport(1);
    EXPECT_EQ(report.GetReportInfo(),
              head
                  + "【分班结果】\n本次自动分班未开始！\n\n"
                    "请按以下提示调整您的基本数据或分班条件设置：\n学生甲未分班\n学生乙未分班\n");
    report.MakeReport(7);
    EXPECT_EQ(report.GetReportInfo(), head);

    report.GetErrorInfo().push_back("含😀的消息");
    report.MakeReport(0);
    ASSERT_TRUE(task.SaveLastReportInfo());
    const std::string bytes = ReadBytes(dir.File("report.txt"));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\0');
    EXPECT_EQ(bytes.find('\0'), bytes.size() - 1) << "exactly one NUL";
    EXPECT_EQ(bytes.substr(0, 19), Gbk("【分班时间】\n2024年"));

    CScheduleTask opened;
    ASSERT_TRUE(opened.Open(dir.File("t.qz")));
    EXPECT_EQ(opened.GetLastReportInfo().GetReportInfo(), report.GetReportInfo());

    // Text after a NUL is not part of the report.
    WriteBytes(dir.File("report.txt"), Gbk("旧报告") + std::string(1, '\0') + "junk");
    CScheduleTask again;
    ASSERT_TRUE(again.Open(dir.File("t.qz")));
    EXPECT_EQ(again.GetLastReportInfo().GetReportInfo(), "旧报告");
}

TEST_F(TaskContainerTest, OutputFileFollowsTheWeekStructure)
{
    Add<CClassInfo>(task.GetClassInfoList(), "c1", "一班");
    Add<CClassInfo>(task.GetClassInfoList(), "c2", "二班");
    ASSERT_TRUE(task.SaveOutputData());
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(dir.File("output.xml").c_str()));
    EXPECT_EQ(doc.select_nodes("/Output/Class[@id='c1']/Item").size(), 30u);
    EXPECT_EQ(doc.select_nodes("/Output/Class/Item[@course='' and @room='']").size(), 60u);

    CSchoolStructure& week = task.GetSchoolStructure();
    week.SetSectionNodeMaxCount(1, 4, true);
    week.SetSectionNodeMaxCount(2, 2, true);
    ASSERT_TRUE(task.SaveOutputData());
    ASSERT_TRUE(doc.load_file(dir.File("output.xml").c_str()));
    EXPECT_EQ(doc.select_nodes("/Output/Class[@id='c2']/Item").size(), 50u);

    // Reading marks the grids of a known course; unknown courses and slots
    // outside the week are ignored.
    WriteBytes(dir.File("output.xml"), "<?xml version='1.0' encoding='GB2312'?><Output><Class id=\"c1\" name=\"x\">"
                                       "<Item day=\"1\" segment=\"0\" section=\"2\" course=\"k1\" room=\"\"/>"
                                       "<Item day=\"1\" segment=\"0\" section=\"9\" course=\"k1\" room=\"\"/>"
                                       "<Item day=\"2\" segment=\"0\" section=\"0\" course=\"nothing\" room=\"\"/>"
                                       "</Class></Output>");
    CScheduleTask opened;
    auto* course = new CCourseInfo;
    course->SetId("k1");
    course->SetClass("c1");
    opened.GetCourseInfoList().Add(course);
    auto* cls = new CClassInfo;
    cls->SetId("c1");
    opened.GetClassInfoList().Add(cls);
    ASSERT_TRUE(opened.Open(dir.File("t.qz")));
    EXPECT_EQ(cls->GetTable().PeekNode(WeekSlot(1, 0, 2)).courseId, "k1");
    EXPECT_EQ(course->GetTable().PeekNode(WeekSlot(1, 0, 2)).courseId, "k1");
    EXPECT_EQ(cls->GetTable().PeekNode(WeekSlot(1, 1, 3)).courseId, "");
    EXPECT_EQ(cls->GetTable().PeekNode(WeekSlot(2, 0, 0)).courseId, "");
}

TEST(TimetableTest, WeekStructureGridsAndFixedSlots)
{
    CSchoolStructure week;
    EXPECT_TRUE(week.IsDayInUse(4));
    EXPECT_FALSE(week.IsDayInUse(5));
    EXPECT_TRUE(week.IsInvalid(5, 0, 0));
    EXPECT_EQ(week.GetWeekDayCount(), 5);
    EXPECT_EQ(week.GetWeekNodeCount(), 30);
    EXPECT_EQ(week.GetDayNodeCount(), 6);
    EXPECT_EQ(week.GetSectionNodeMaxCount(3), 0);
    EXPECT_FALSE(week.SetSectionNodeMaxCount(0, 7, true));
    EXPECT_FALSE(week.SetSectionNodeMaxCount(3, 1, true));
    week.SetWeekDay(0, false);
    week.RefreshData();
    EXPECT_EQ(week.GetWeekDayCount(), 4);
    EXPECT_EQ(week.GetWeekNumberByOrder(0), 1);
    EXPECT_EQ(week.GetWeekOrderByNumber(2), 1);
    EXPECT_EQ(week.GetWeekOrderByNumber(0), -1);
    EXPECT_EQ(week.GetFreeSectionCount(1), 18);

    CCourseTable table;
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.PeekNode(5).courseId, "");
    EXPECT_TRUE(table.IsEmpty()) << "reading allocates nothing";
    table.GetNode(5).courseId = "k";
    CCourseTable copy = table;
    table.Swap(5, 6);
    EXPECT_EQ(table.PeekNode(6).courseId, "k");
    EXPECT_EQ(copy.PeekNode(5).courseId, "k");
    EXPECT_EQ(copy.PeekNode(126).courseId, "");
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());

    CFixedTimeOfTeacher fixed;
    fixed.AddFixedTime(2, 1, 3);
    fixed.AddFixedTime(0, 0, 0);
    EXPECT_EQ(fixed.GetAllFixedTime(), "213,0,");
    fixed.ReadFixedTimeFromString("-5,105,abc,,709,12,");
    EXPECT_EQ(fixed.GetFixedTime(), (std::vector<int>{WeekSlot(1, 0, 5), WeekSlot(0, 1, 2)}));

    CScheduleTask task;
    auto* teacher = new CTeacherInfo;
    teacher->SetId("t");
    teacher->SetName("王");
    task.GetTeacherInfoList().Add(teacher);
    auto* subject = new CSubjectInfo;
    subject->SetId("m");
    subject->SetName("数学");
    task.GetSubjectInfoList().Add(subject);
    CCourseInfo course;
    course.SetTeacher("t");
    course.SetSubject("m");
    course.SetClass("missing");
    EXPECT_EQ(task.GetCourseDesc(&course), "王老师的数学()");
    EXPECT_EQ(task.GetTimeNodeDesc(WeekSlot(0, 0, 0)), "周一上午第1节");
    EXPECT_EQ(task.GetTimeNodeDesc(WeekSlot(6, 2, 5)), "周日晚上第6节");
}

} // namespace
