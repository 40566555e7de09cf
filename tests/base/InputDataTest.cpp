#include "TestSupport.h"

#include "FileUtil.h"
#include "RoomInfo.h"
#include "ScheduleTask.h"
#include "TeacherInfo.h"

#include <pugixml.hpp>

#include <climits>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class InputDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n");
    }

    // Opens the task folder in a new task, recording its messages.
    std::unique_ptr<CScheduleTask> Reopen()
    {
        auto task = std::make_unique<CScheduleTask>();
        task->SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        EXPECT_TRUE(task->Open(dir.File("t.qz")));
        return task;
    }

    // Writes an input file the way the Windows program does: GB2312
    // declaration, GBK bytes.
    void WriteInput(const std::string& body)
    {
        WriteBytes(dir.File("input.xml"), "<?xml version='1.0' encoding='GB2312'?>\r\n" + Gbk(body));
    }

    static void AddStudent(CScheduleTask& task, const std::string& id, const std::string& name,
                           std::vector<std::string> scores, const std::string& cls = "")
    {
        auto* student = new CStudentInfo;
        student->SetId(id);
        student->SetName(name);
        student->GetScoreArray() = std::move(scores);
        student->SetClassId(cls);
        task.GetStudentInfoList().Add(student);
    }

    TempFolder dir;
    std::vector<std::string> messages;
};

TEST_F(InputDataTest, EmptyTaskWritesSevenSectionsInOrder)
{
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    ASSERT_TRUE(task.SaveInputData());
    const std::string bytes = ReadBytes(dir.File("input.xml"));
    EXPECT_EQ(bytes, "<?xml version='1.0' encoding='GB2312'?>\r\n<Input><TeacherInfo/><ClassInfo/><SubjectInfo/>"
                     "<StudentInfo/><RoomInfo/><MutexStudentInfo/><StudentPreset/></Input>");
}

TEST_F(InputDataTest, EveryRecordKindRoundTrips)
{
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    task.GetCustomSubjectArray() = {"语文", "数学", "英语"};

    auto* teacher = new CTeacherInfo;
    teacher->SetId("t1");
    teacher->SetName("王老师");
    teacher->SetPriority(2);
    teacher->SetIndex(4);
    task.GetTeacherInfoList().Add(teacher);

    auto* cls = new CClassInfo;
    cls->SetId("c1");
    cls->SetName("高一(1)班");
    cls->SetStudentCount(45);
    cls->SetIndex(1);
    cls->SetHeadTeacherName("李老师");
    task.GetClassInfoList().Add(cls);

    AddStudent(task, "s1", "张三", {"90", "85.5", ""}, "c1");
    AddStudent(task, "s2", "欧阳<&\"'>娜娜", {}, "");
    task.GetStudentInfoList().FindAs<CStudentInfo>("s2")->SetSex(0);
    task.GetStudentInfoList().FindAs<CStudentInfo>("s2")->SetFromSchool("实验中学");

    auto* room = new CRoomInfo;
    room->SetId("r1");
    room->SetName("101室");
    room->SetCapacity(50);
    task.GetRoomInfoList().Add(room);

    auto* group = new CMutexStudent;
    group->SetId("g1");
    group->GetMutexStudents() = {"s1", "s2"};
    task.GetMutexStudentList().Add(group);

    auto* preset = new CStudentPreset;
    preset->SetId("s1");
    preset->SetPresetClassId("c1");
    preset->SetIndex(3);
    task.GetStudentPresetList().Add(preset);

    ASSERT_TRUE(task.SaveInputData());
    const std::string first = ReadBytes(dir.File("input.xml"));
    EXPECT_NE(first.find(Gbk("name=\"张三\"")), std::string::npos) << "Chinese text as GBK bytes";
    EXPECT_NE(first.find("<Class id=\"c1\" name=\"" + Gbk("高一(1)班") + "\" shortname=\"" + Gbk("高一(1)班")
                         + "\" studentcount=\"45\" priority=\"1\" index=\"1\" headteacher=\"" + Gbk("李老师")
                         + "\"/>"),
              std::string::npos);

    auto back = Reopen();
    EXPECT_EQ(back->GetInputState(), CScheduleTask::InputState::Loaded);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(back->GetCustomSubjectArray(), task.GetCustomSubjectArray());
    auto* t = back->GetTeacherInfoList().FindAs<CTeacherInfo>("t1");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetName(), "王老师");
    EXPECT_EQ(t->GetPriority(), 2);
    EXPECT_EQ(t->GetIndex(), 4);
    auto* c = back->GetClassInfoList().FindAs<CClassInfo>("c1");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetStudentCount(), 45u);
    EXPECT_EQ(c->GetShortName(), "高一(1)班");
    EXPECT_EQ(c->GetHeadTeacherName(), "李老师");
    auto* s1 = back->GetStudentInfoList().FindAs<CStudentInfo>("s1");
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(s1->GetScoreArray(), (std::vector<std::string>{"90", "85.5", ""}));
    EXPECT_EQ(s1->GetClassId(), "c1");
    auto* s2 = back->GetStudentInfoList().FindAs<CStudentInfo>("s2");
    ASSERT_NE(s2, nullptr);
    EXPECT_EQ(s2->GetName(), "欧阳<&\"'>娜娜");
    EXPECT_TRUE(s2->IsGirl());
    EXPECT_EQ(s2->GetFromSchool(), "实验中学");
    EXPECT_TRUE(s2->GetScoreArray().empty());
    EXPECT_EQ(s2->GetClassId(), "");
    auto* r = back->GetRoomInfoList().FindAs<CRoomInfo>("r1");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetCapacity(), 50u);
    EXPECT_EQ(r->GetShortName(), "");
    auto* g = back->GetMutexStudentList().FindAs<CMutexStudent>("g1");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetMutexStudents(), (std::vector<std::string>{"s1", "s2"}));
    auto* p = back->GetStudentPresetList().FindAs<CStudentPreset>("s1");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetPresetClassId(), "c1");
    EXPECT_EQ(p->GetIndex(), 3);

    // Saving what was read gives the same bytes.
    ASSERT_TRUE(back->SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("input.xml")), first);
}

TEST_F(InputDataTest, CharactersOutsideGbkSurvive)
{
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    const std::string name = "王𠀀😀鿏\n二";
    AddStudent(task, "s1", name, {"1"});
    task.GetCustomSubjectArray() = {"科学🔬"};
    ASSERT_TRUE(task.SaveInputData());
    const std::string bytes = ReadBytes(dir.File("input.xml"));
    EXPECT_NE(bytes.find("&#x20000;"), std::string::npos);
    EXPECT_EQ(bytes.find('?', 40), std::string::npos) << "nothing replaced by '?'";
    auto back = Reopen();
    EXPECT_EQ(back->GetStudentName("s1"), name);
    EXPECT_EQ(back->GetCustomSubjectArray(), task.GetCustomSubjectArray());
}

TEST_F(InputDataTest, ReadsFilesAsTheWindowsProgramWritesThem)
{
    WriteInput("<Input>\r\n"
               "<SubjectInfo><Subject id=\"5\" name=\"数学\"/><Subject id=\"0\" name=\"语文\"/></SubjectInfo>\r\n"
               "<ClassInfo><Class id=\"c1\" name=\"一班\" shortname=\"一\" studentcount=\"40人\" priority=\"1\" "
               "index=\"2\"/><Class id=\"c2\" name=\"二班\" shortname=\"二\" studentcount=\"4294967295\" "
               "priority=\"-1\" index=\"99999999999\"/></ClassInfo>\r\n"
               "<StudentInfo>"
               "<Student id=\"s1\" name=\"甲\" sex=\"0\" fromSchool=\"二中\" class=\"\" index=\"1\">"
               "<scoreinfo><Score id=\"0\" value=\"88\"/><Score value=\"7\"/></scoreinfo></Student>"
               "<Student id=\"s2\" name=\"乙\" sex=\"x\" fromSchool=\"\" class=\"c1\" index=\"-3\"/>"
               "<Student id=\"\" name=\"无名\" sex=\"1\" fromSchool=\"\" class=\"\" index=\"0\"/>"
               "</StudentInfo>"
               "<MutexStudentInfo><MutexStudent id=\"g1\" index=\"0\"/>"
               "<MutexStudent id=\"g2\" index=\"1\"><Id>s1</Id><Id>nobody</Id></MutexStudent></MutexStudentInfo>"
               "<StudentPreset><Preset id=\"\" class=\"c1\" index=\"0\"/><Preset id=\"s2\" class=\"c9\" "
               "index=\"1\"/></StudentPreset>"
               "</Input>");
    auto task = Reopen();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(task->GetInputState(), CScheduleTask::InputState::Loaded);
    EXPECT_EQ(task->GetCustomSubjectArray(), (std::vector<std::string>{"数学", "语文"}));
    auto* c = task->GetClassInfoList().FindAs<CClassInfo>("c1");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetStudentCount(), 40u);
    EXPECT_EQ(c->GetHeadTeacherName(), "");
    auto* c2 = task->GetClassInfoList().FindAs<CClassInfo>("c2");
    ASSERT_NE(c2, nullptr);
    EXPECT_EQ(c2->GetStudentCount(), 4294967295u);
    EXPECT_EQ(c2->GetPriority(), -1);
    EXPECT_EQ(c2->GetIndex(), INT_MAX);
    EXPECT_EQ(task->GetStudentInfoList().GetCount(), 2u) << "the empty id is skipped";
    auto* s1 = task->GetStudentInfoList().FindAs<CStudentInfo>("s1");
    EXPECT_EQ(s1->GetScoreArray(), (std::vector<std::string>{"88", "7"}));
    EXPECT_TRUE(s1->IsGirl());
    auto* s2 = task->GetStudentInfoList().FindAs<CStudentInfo>("s2");
    EXPECT_EQ(s2->GetSex(), 0);
    EXPECT_EQ(s2->GetIndex(), -3);
    EXPECT_TRUE(s2->GetScoreArray().empty());
    EXPECT_TRUE(task->GetMutexStudentList().FindAs<CMutexStudent>("g1")->GetMutexStudents().empty());
    EXPECT_EQ(task->GetMutexStudentList().FindAs<CMutexStudent>("g2")->GetMutexStudents(),
              (std::vector<std::string>{"s1", "nobody"}));
    EXPECT_EQ(task->GetStudentPresetList().GetCount(), 1u);
    EXPECT_EQ(task->GetStudentPresetList().FindAs<CStudentPreset>("s2")->GetPresetClassId(), "c9");
}

TEST_F(InputDataTest, MissingAttributeStopsReadingAndMarksTheFileDamaged)
{
    WriteInput("<Input><SubjectInfo><Subject name=\"语文\"/></SubjectInfo>"
               "<TeacherInfo><Teacher id=\"t1\" name=\"王\" shortname=\"王\" priority=\"1\" index=\"0\"/></TeacherInfo>"
               "<ClassInfo>"
               "<Class id=\"c1\" name=\"一班\" shortname=\"一\" studentcount=\"40\" priority=\"1\" index=\"0\"/>"
               "<Class id=\"c2\" name=\"二班\" shortname=\"二\" priority=\"1\" index=\"1\"/>"
               "<Class id=\"c3\" name=\"三班\" shortname=\"三\" studentcount=\"40\" priority=\"1\" index=\"2\"/>"
               "</ClassInfo>"
               "<StudentInfo><Student id=\"s1\" name=\"甲\" sex=\"0\" fromSchool=\"\" class=\"\" index=\"1\"/>"
               "</StudentInfo></Input>");
    auto task = Reopen();
    EXPECT_EQ(messages, (std::vector<std::string>{"exception in ReadInputData"}));
    EXPECT_TRUE(task->IsInputDamaged());
    EXPECT_EQ(task->GetCustomSubjectArray().size(), 1u);
    EXPECT_EQ(task->GetTeacherInfoList().GetCount(), 1u);
    EXPECT_NE(task->GetClassInfoList().Find("c1"), nullptr);
    EXPECT_EQ(task->GetClassInfoList().Find("c2"), nullptr);
    EXPECT_EQ(task->GetClassInfoList().Find("c3"), nullptr);
    EXPECT_EQ(task->GetStudentInfoList().GetCount(), 0u);
}

TEST_F(InputDataTest, MissingOrBrokenFileReadsNothing)
{
    auto none = Reopen();
    EXPECT_EQ(none->GetInputState(), CScheduleTask::InputState::Missing);
    WriteInput("<Input><ClassInfo>");
    auto broken = Reopen();
    EXPECT_EQ(broken->GetInputState(), CScheduleTask::InputState::Missing);
    EXPECT_TRUE(broken->GetClassInfoList().IsEmpty());
    EXPECT_TRUE(messages.empty());

    CScheduleTask task;
    EXPECT_FALSE(task.Open(dir.Dir()));
    EXPECT_FALSE(task.Open(dir.File("absent.qz")));
    EXPECT_EQ(task.GetInputState(), CScheduleTask::InputState::NotRead);
}

TEST_F(InputDataTest, HonoursUtf8Files)
{
    WriteBytes(dir.File("input.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Input><SubjectInfo>"
                                      "<Subject name=\"物理\"/></SubjectInfo></Input>");
    EXPECT_EQ(Reopen()->GetCustomSubjectArray(), (std::vector<std::string>{"物理"}));
    WriteBytes(dir.File("input.xml"), "\xEF\xBB\xBF<Input><SubjectInfo><Subject name=\"化学\"/></SubjectInfo></Input>");
    EXPECT_EQ(Reopen()->GetCustomSubjectArray(), (std::vector<std::string>{"化学"}));
}

TEST_F(InputDataTest, SectionsAreFoundInAnyOrderWhereverInputLies)
{
    WriteInput("<Root><Other><SubjectInfo><Subject name=\"不算\"/></SubjectInfo></Other>"
               "<Input><StudentPreset><Preset id=\"s1\" class=\"c1\" index=\"0\"/></StudentPreset>"
               "<SubjectInfo><Subject name=\"语文\"/></SubjectInfo></Input>"
               "<Input><SubjectInfo><Subject name=\"第二个\"/></SubjectInfo></Input></Root>");
    auto task = Reopen();
    EXPECT_EQ(task->GetCustomSubjectArray(), (std::vector<std::string>{"语文"}));
    EXPECT_EQ(task->GetStudentPresetList().GetCount(), 1u);
    EXPECT_EQ(task->GetInputState(), CScheduleTask::InputState::Loaded);
}

TEST_F(InputDataTest, UnwritableFolderReportsFailureAndKeepsOldFile)
{
    // A folder below a regular file cannot exist, whoever runs the test.
    CScheduleTask nowhere;
    nowhere.SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
    nowhere.GetTaskInfo().SetTaskFolder(dir.File("t.qz") + "/sub");
    EXPECT_FALSE(nowhere.SaveInputData());
    EXPECT_FALSE(nowhere.SaveOutputData());
    EXPECT_EQ(messages, (std::vector<std::string>{"exception in SaveInputData", "exception in SaveOutputData"}));

    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    AddStudent(task, "s1", "甲", {});
    ASSERT_TRUE(task.SaveInputData());
    const std::string old = ReadBytes(dir.File("input.xml"));
    AddStudent(task, "s2", "乙", {});
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool saved = task.SaveInputData();
    fs::permissions(dir.Path(), fs::perms::owner_all);
    // Permissions do not stop root from writing; the folder below a file
    // above covers that case for every user.
    if (!RunningAsRoot()) {
        EXPECT_FALSE(saved);
        EXPECT_EQ(ReadBytes(dir.File("input.xml")), old);
    }
}

} // namespace
