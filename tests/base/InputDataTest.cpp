#include "TestSupport.h"

#include "base/task/InputDataFile.h"
#include "base/util/XmlSectionSplit.h"
#include "base/util/FileUtil.h"
#include "base/util/TextCodec.h"
#include "base/util/XmlFile.h"
#include "base/timetable/RoomInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/timetable/TeacherInfo.h"

#include <pugixml.hpp>

#include <climits>
#include <random>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class InputDataTest : public ::testing::Test
{
protected:
    void SetUp() override { WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n"); }

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

    static void AddClass(CScheduleTask& task, const std::string& id, const std::string& name, unsigned count)
    {
        auto* cls = new CClassInfo;
        cls->SetId(id);
        cls->SetName(name);
        cls->SetStudentCount(count);
        task.GetClassInfoList().Add(cls);
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
                         + "\" studentcount=\"45\" priority=\"1\" index=\"1\" headteacher=\"" + Gbk("李老师") + "\"/>"),
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
    // input.xml cannot be replaced while a folder stands in its place.
    fs::rename(dir.File("input.xml"), dir.File("kept.xml"));
    fs::create_directory(dir.File("input.xml"));
    EXPECT_FALSE(task.SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("kept.xml")), old);
}

TEST_F(InputDataTest, SavesReplaceTheFilesInsteadOfWritingIntoThem)
{
    // A hard link keeps the old file: it still holds the old bytes only if
    // the save put a new file in its place.
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    task.GetTaskInfo().SetTaskName("t");
    AddStudent(task, "s1", "甲", {});
    task.GetLastReportInfo().SetReportInfo("旧");
    ASSERT_TRUE(task.SaveInputData());
    ASSERT_TRUE(task.SaveOutputData());
    ASSERT_TRUE(task.SaveLastReportInfo());
    ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    const std::vector<std::string> files = {"input.xml", "output.xml", "report.txt", "t.qz"};
    std::vector<std::string> before;
    for (const std::string& file : files) {
        before.push_back(ReadBytes(dir.File(file)));
        fs::create_hard_link(dir.File(file), dir.File(file + ".link"));
    }
    AddStudent(task, "s2", "乙", {});
    AddClass(task, "c1", "一班", 5);
    task.GetLastReportInfo().SetReportInfo("新");
    task.GetTaskInfo().SetDescription("新的说明");
    ASSERT_TRUE(task.SaveInputData());
    ASSERT_TRUE(task.SaveOutputData());
    ASSERT_TRUE(task.SaveLastReportInfo());
    ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(ReadBytes(dir.File(files[i] + ".link")), before[i]) << files[i];
        EXPECT_NE(ReadBytes(dir.File(files[i])), before[i]) << files[i];
    }
}

} // namespace

namespace {

TEST_F(InputDataTest, EveryRecordKindIsWrittenByteForByte)
{
    // One record of each kind, so that the list order cannot vary.
    CScheduleTask task;
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    task.GetCustomSubjectArray() = {"语文", "数学"};
    auto* teacher = new CTeacherInfo;
    teacher->SetId("t1");
    teacher->SetName("王老师");
    teacher->SetShortName("王");
    teacher->SetPriority(2);
    teacher->SetIndex(4);
    task.GetTeacherInfoList().Add(teacher);
    AddClass(task, "c1", "一班", 45);
    task.GetClassInfoList().FindAs<CClassInfo>("c1")->SetHeadTeacherName("李老师");
    task.GetClassInfoList().FindAs<CClassInfo>("c1")->SetIndex(1);
    AddStudent(task, "s1", "张三", {"90", "85.5"}, "c1");
    task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->SetFromSchool("二中");
    task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->SetSex(0);
    task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->SetIndex(7);
    auto* room = new CRoomInfo;
    room->SetId("r1");
    room->SetName("101室");
    room->SetShortName("101");
    room->SetCapacity(50);
    room->SetPriority(0);
    room->SetIndex(3);
    task.GetRoomInfoList().Add(room);
    auto* group = new CMutexStudent;
    group->SetId("g1");
    group->SetIndex(5);
    group->GetMutexStudents() = {"s1", "s2"};
    task.GetMutexStudentList().Add(group);
    auto* preset = new CStudentPreset;
    preset->SetId("s1");
    preset->SetPresetClassId("c1");
    preset->SetIndex(6);
    task.GetStudentPresetList().Add(preset);

    const std::string expected =
        "<?xml version='1.0' encoding='GB2312'?>\r\n<Input>"
        "<TeacherInfo><Teacher id=\"t1\" name=\""
        + Gbk("王老师") + "\" shortname=\"" + Gbk("王")
        + "\" priority=\"2\" index=\"4\"/></TeacherInfo>"
          "<ClassInfo><Class id=\"c1\" name=\""
        + Gbk("一班") + "\" shortname=\"" + Gbk("一班")
        + "\" studentcount=\"45\" priority=\"1\" index=\"1\" headteacher=\"" + Gbk("李老师")
        + "\"/></ClassInfo>"
          "<SubjectInfo><Subject id=\"0\" name=\""
        + Gbk("语文") + "\"/><Subject id=\"1\" name=\"" + Gbk("数学")
        + "\"/></SubjectInfo>"
          "<StudentInfo><Student id=\"s1\" name=\""
        + Gbk("张三") + "\" sex=\"0\" fromSchool=\"" + Gbk("二中")
        + "\" class=\"c1\" index=\"7\"><ScoreInfo><Score id=\"0\" value=\"90\"/><Score id=\"1\" value=\"85.5\"/>"
          "</ScoreInfo></Student></StudentInfo>"
          "<RoomInfo><Room id=\"r1\" name=\""
        + Gbk("101室")
        + "\" shortname=\"101\" capacity=\"50\" priority=\"0\" "
          "index=\"3\"/></RoomInfo>"
          "<MutexStudentInfo><MutexStudent id=\"g1\" index=\"5\"><Id>s1</Id><Id>s2</Id></MutexStudent>"
          "</MutexStudentInfo>"
          "<StudentPreset><Preset id=\"s1\" class=\"c1\" index=\"6\"/></StudentPreset></Input>";
    ASSERT_TRUE(task.SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("input.xml")), expected);

    // Read back (a file of the Windows program with rooms and teachers
    // included) and saved again: the same bytes.
    auto back = Reopen();
    EXPECT_EQ(back->GetInputState(), CScheduleTask::InputState::Loaded);
    EXPECT_EQ(back->GetRoomInfoList().FindAs<CRoomInfo>("r1")->GetShortName(), "101");
    EXPECT_EQ(back->GetRoomInfoList().FindAs<CRoomInfo>("r1")->GetPriority(), 0);
    EXPECT_EQ(back->GetRoomInfoList().FindAs<CRoomInfo>("r1")->GetIndex(), 3);
    EXPECT_EQ(back->GetTeacherInfoList().FindAs<CTeacherInfo>("t1")->GetShortName(), "王");
    ASSERT_TRUE(back->SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("input.xml")), expected);

    // The output file of the same task: one class, the default week.
    ASSERT_TRUE(task.SaveOutputData());
    const std::string output = ReadBytes(dir.File("output.xml"));
    EXPECT_TRUE(output.starts_with("<?xml version='1.0' encoding='GB2312'?>\r\n<Output><Class id=\"c1\" name=\""
                                   + Gbk("一班")
                                   + "\"><Item day=\"0\" segment=\"0\" section=\"0\" course=\"\" "
                                     "room=\"\"/><Item day=\"0\" segment=\"0\" section=\"1\" "));
    EXPECT_TRUE(
        output.ends_with("<Item day=\"4\" segment=\"1\" section=\"1\" course=\"\" room=\"\"/></Class></Output>"));
}

TEST_F(InputDataTest, EveryTwoByteSequenceComesBackAsItsBytes)
{
    // One student per lead byte, named with all its 190 sequences, in the
    // form the writer itself produces.
    std::vector<std::string> students;
    std::string body;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        std::string name;
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                name += {static_cast<char>(lead), static_cast<char>(trail)};
        }
        const std::string id = "s" + std::to_string(lead);
        students.push_back("<Student id=\"" + id + "\" name=\"" + name + "\" sex=\"1\" fromSchool=\"" + name
                           + "\" class=\"\" index=\"" + std::to_string(lead) + "\"><ScoreInfo/></Student>");
        body += students.back();
    }
    WriteBytes(dir.File("input.xml"), "<?xml version='1.0' encoding='GB2312'?>\r\n<Input><TeacherInfo/><ClassInfo/>"
                                      "<SubjectInfo/><StudentInfo>"
                                          + body
                                          + "</StudentInfo><RoomInfo/>"
                                            "<MutexStudentInfo/><StudentPreset/></Input>");
    auto task = Reopen();
    ASSERT_EQ(task->GetStudentInfoList().GetCount(), 126u);
    ASSERT_TRUE(task->SaveInputData());
    const std::string saved = ReadBytes(dir.File("input.xml"));
    for (const std::string& student : students)
        EXPECT_NE(saved.find(student), std::string::npos) << student.substr(0, 20);
    EXPECT_EQ(saved.find("&#"), std::string::npos) << "no character needed a reference";
}

TEST_F(InputDataTest, ReadingGivesValidTextAndWritingWellFormedXml)
{
    // A stray byte in a UTF-8 file, references to what is no character.
    WriteBytes(dir.File("input.xml"),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Input><SubjectInfo>"
               "<Subject name=\"A\xE9x\"/><Subject name=\"a&#xD800;b\"/><Subject name=\"&#x110000;&#0;&#1114111;\"/>"
               "<Subject name=\"&#x20087;&#x4DAE;\"/></SubjectInfo></Input>");
    auto task = Reopen();
    EXPECT_EQ(task->GetCustomSubjectArray(),
              (std::vector<std::string>{"A\xEF\xBF\xBDx",
                                        "a\xEF\xBF\xBD"
                                        "b",
                                        "\xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF", "\xF0\xA0\x82\x87䶮"}));

    // Control characters XML cannot hold become blanks; line breaks and
    // tabs keep their allowed references.
    const std::vector<std::string> read = task->GetCustomSubjectArray();
    task->GetCustomSubjectArray().push_back("甲\x01乙\x1f");
    task->GetCustomSubjectArray().push_back("行\n列\t回\r");
    ASSERT_TRUE(task->SaveInputData());
    const std::string bytes = ReadBytes(dir.File("input.xml"));
    EXPECT_NE(bytes.find("name=\"" + Gbk("甲 乙 ") + "\""), std::string::npos);
    EXPECT_NE(bytes.find("name=\"" + Gbk("行") + "&#10;" + Gbk("列") + "&#9;" + Gbk("回") + "&#13;\""),
              std::string::npos);
    for (int c = 0; c < 0x20; ++c) {
        if (c != '\r' && c != '\n' && c != '\t') {
            EXPECT_EQ(bytes.find(static_cast<char>(c)), std::string::npos) << c;
            EXPECT_EQ(bytes.find("&#" + std::to_string(c) + ";"), std::string::npos) << c;
        }
    }
    // The two Extension B and the FE9F characters are GBK bytes, not references.
    EXPECT_NE(bytes.find("\xFE\x51\xFE\x9F"), std::string::npos);
    std::vector<std::string> back = Reopen()->GetCustomSubjectArray();
    ASSERT_EQ(back.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(back.begin(), back.begin() + 4), read);
    EXPECT_EQ(back[4], "甲 乙 ");
    EXPECT_EQ(back[5], "行\n列\t回\r");
}

TEST_F(InputDataTest, Utf16FilesAreRead)
{
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Input><SubjectInfo>"
                                u"<Subject name=\"物理\"/><Subject name=\"\xD800x\"/></SubjectInfo></Input>";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    WriteBytes(dir.File("input.xml"), bytes);
    EXPECT_EQ(Reopen()->GetCustomSubjectArray(), (std::vector<std::string>{"物理", "\xEF\xBF\xBDx"}));
}

TEST_F(InputDataTest, MemberIdsAreTrimmed)
{
    // A file laid out with line breaks and indentation.
    WriteInput("<Input>\r\n  <MutexStudentInfo>\r\n    <MutexStudent id=\"g1\" index=\"0\">\r\n"
               "      <Id>\r\n        s1\r\n      </Id>\r\n      <Id>\ts2 </Id>\r\n      <Id>  </Id>\r\n"
               "    </MutexStudent>\r\n  </MutexStudentInfo>\r\n</Input>");
    auto task = Reopen();
    EXPECT_EQ(task->GetMutexStudentList().FindAs<CMutexStudent>("g1")->GetMutexStudents(),
              (std::vector<std::string>{"s1", "s2", ""}));
}

TEST_F(InputDataTest, NegativeCapacitiesReadAsTheWindowsProgramReadsThem)
{
    // The planned size is unsigned: -3 wraps round to a size without limit
    // and is written back in the same form, never as 0.
    WriteInput("<Input><ClassInfo><Class id=\"c1\" name=\"一班\" shortname=\"一\" studentcount=\"-3\" priority=\"1\" "
               "index=\"0\"/></ClassInfo><RoomInfo><Room id=\"r1\" name=\"室\" shortname=\"\" capacity=\"-1\" "
               "priority=\"1\" index=\"0\"/></RoomInfo></Input>");
    auto task = Reopen();
    EXPECT_EQ(task->GetClassInfoList().FindAs<CClassInfo>("c1")->GetStudentCount(), 4294967293u);
    EXPECT_EQ(task->GetRoomInfoList().FindAs<CRoomInfo>("r1")->GetCapacity(), 4294967295u);
    ASSERT_TRUE(task->SaveInputData());
    EXPECT_NE(ReadBytes(dir.File("input.xml")).find("studentcount=\"4294967293\""), std::string::npos);
    EXPECT_EQ(Reopen()->GetClassInfoList().FindAs<CClassInfo>("c1")->GetStudentCount(), 4294967293u);
}

} // namespace

TEST_F(InputDataTest, ALargeTaskIsSavedInPiecesAsTheSameBytes)
{
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    task.GetTaskInfo().SetTaskFolder(dir.Dir());
    task.GetCustomSubjectArray() = {"语文", "数学", "英语"};
    AddClass(task, "c1", "一班", 45);
    // Several megabytes, with names and markup that pieces might cut badly.
    for (int i = 0; i < 20000; ++i)
        AddStudent(task, "id" + std::to_string(i), "学生<" + std::to_string(i) + ">&\"甲\"",
                   {std::to_string(i % 150), "88.5", "缺考"}, i % 2 ? "c1" : "");
    const std::string whole = CInputDataFile::Write(task);
    ASSERT_GT(whole.size(), std::size_t{2} << 20);

    std::string joined;
    std::size_t pieces = 0;
    ASSERT_TRUE(CInputDataFile::WriteTo(task, [&](std::string_view piece) {
        joined += piece;
        ++pieces;
        return true;
    }));
    EXPECT_EQ(joined, whole);
    EXPECT_GE(pieces, 2u);

    ASSERT_TRUE(task.SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("input.xml")), whole);
    // Made in blocks on several threads, the students come back whole and
    // in their order.
    auto reopened = Reopen();
    const std::vector<CStudentInfo*> before = task.GetStudentInfoList().Records<CStudentInfo>();
    const std::vector<CStudentInfo*> after = reopened->GetStudentInfoList().Records<CStudentInfo>();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(after[i]->GetId(), before[i]->GetId());
        ASSERT_EQ(after[i]->GetName(), before[i]->GetName());
        ASSERT_EQ(after[i]->GetScoreArray(), before[i]->GetScoreArray());
        ASSERT_EQ(after[i]->GetClassId(), before[i]->GetClassId());
    }

    // A piece that cannot be written fails the whole.
    EXPECT_FALSE(CInputDataFile::WriteTo(task, [&](std::string_view) { return --pieces > 1; }));
}

TEST_F(InputDataTest, ALongListStopsAtItsFirstBrokenRecordAsAShortOneDoes)
{
    // Read in blocks on several threads, a list still keeps exactly the
    // records before the broken one, also when later blocks are whole, and
    // drops records without an id wherever they are.
    for (const int broken : {0, 4095, 4096, 9999, 19999}) {
        std::string body = "<Input><StudentInfo>";
        for (int i = 0; i < 20000; ++i) {
            const std::string id = i == 77 ? "" : "s" + std::to_string(i);
            body += "<Student id=\"" + id + "\" name=\"学生" + std::to_string(i) + "\""
                    + (i == broken ? "" : " sex=\"1\"") + " fromSchool=\"一中\" class=\"\" index=\"" + std::to_string(i)
                    + "\"><ScoreInfo><Score id=\"0\" value=\"" + std::to_string(i % 100) + "\"/></ScoreInfo></Student>";
        }
        WriteInput(body + "</StudentInfo><RoomInfo/></Input>");
        messages.clear();
        auto task = Reopen();
        EXPECT_TRUE(task->IsInputDamaged()) << broken;
        const std::vector<CStudentInfo*> students = task->GetStudentInfoList().Records<CStudentInfo>();
        ASSERT_EQ(students.size(), static_cast<std::size_t>(broken - (broken > 77 ? 1 : 0))) << broken;
        for (std::size_t k = 0; k < students.size(); ++k) {
            const int i = static_cast<int>(k) + (static_cast<int>(k) >= 77 ? 1 : 0);
            ASSERT_EQ(students[k]->GetId(), "s" + std::to_string(i)) << broken;
            ASSERT_EQ(students[k]->GetScoreArray(), std::vector<std::string>{std::to_string(i % 100)});
        }
    }
}

namespace {

// Every field the students' section gives, and the other lists' sizes.
std::string Dump(const CScheduleTask& task)
{
    std::string text;
    for (const std::string& subject : task.GetCustomSubjectArray())
        text += subject + ";";
    text += "\n" + std::to_string(task.GetClassInfoList().GetCount()) + " "
            + std::to_string(task.GetMutexStudentList().GetCount()) + " "
            + std::to_string(task.GetStudentPresetList().GetCount()) + "\n";
    for (const CStudentInfo* s : task.GetStudentInfoList().Records<CStudentInfo>()) {
        text += s->GetId() + "|" + s->GetName() + "|" + std::to_string(s->GetSex()) + "|" + s->GetFromSchool() + "|"
                + s->GetClassId() + "|" + std::to_string(s->GetIndex());
        for (const std::string& score : s->GetScoreArray())
            text += "|" + score;
        text += "\n";
    }
    return text + std::to_string(static_cast<int>(task.GetInputState()));
}

} // namespace

namespace {

// An input file of students students, the one numbered broken without its
// sex, odd put in after the middle one.
std::string LargeInput(int students, int broken, const std::string& odd)
{
    std::string body = "<Input><SubjectInfo><Subject id=\"0\" name=\"语文\"/><Subject id=\"1\" name=\"数学\"/>"
                       "</SubjectInfo><ClassInfo><Class id=\"c1\" name=\"一班\" shortname=\"一\" studentcount=\"45\""
                       " priority=\"1\" index=\"0\"/></ClassInfo>\r\n<StudentInfo>\r\n";
    for (int i = 0; i < students; ++i) {
        body += "<Student id=\"" + (i == 5 ? std::string() : "s" + std::to_string(i)) + "\" name=\"学生&amp;"
                + std::to_string(i) + " &#x4E00;\"" + (i == broken ? "" : " sex=\"" + std::to_string(i % 2) + "\"")
                + " fromSchool=\"第" + std::to_string(i % 9) + "中学\" class=\"" + (i % 3 ? "c1" : "")
                + "\" index=\"" + std::to_string(i) + "\"><ScoreInfo>";
        for (int k = 0; k < 12; ++k)
            body += "<Score id=\"" + std::to_string(k) + "\" value=\"" + std::to_string((i * 7 + k) % 150) + ".5\"/>";
        body += "</ScoreInfo></Student>\r\n";
        if (i == students / 2)
            body += odd;
    }
    return body + "</StudentInfo><MutexStudentInfo><Mutex id=\"m1\" index=\"0\"><Student>s1</Student>"
                  "<Student>s2</Student></Mutex></MutexStudentInfo><StudentPreset/></Input>";
}

} // namespace

TEST_F(InputDataTest, ALargeFileReadInPiecesGivesWhatReadingItWholeGives)
{
    // Large enough to be read in blocks of students; a comment makes the
    // same file be read whole, the way every other file is.
    struct Case
    {
        int broken;
        std::string odd;
    };
    for (const Case& c : {Case{-1, ""}, Case{4096, ""}, Case{12000, ""}, Case{-1, "<Student id=oops/>"},
                          Case{-1, "<Student id=\"late\" name=\"x\" sex=\"1\" fromSchool=\"\" class=\"\" index=\"9\">"}}) {
        const std::string body = LargeInput(14000, c.broken, c.odd);
        WriteInput(body);
        const auto pieces = Reopen();
        WriteBytes(dir.File("input.xml"), "<?xml version='1.0' encoding='GB2312'?>\r\n<!-- whole -->" + Gbk(body));
        const auto whole = Reopen();
        const std::string dump = Dump(*pieces);
        EXPECT_EQ(dump, Dump(*whole)) << c.broken << c.odd;
        if (c.broken < 0 && c.odd.empty()) {
            EXPECT_EQ(pieces->GetStudentInfoList().GetCount(), 13999u);
        }
    }
    // The first file is one that is read in blocks.
    const std::string plain = LargeInput(14000, -1, "");
    EXPECT_GT(plain.size(), std::size_t{4} << 20);
    const auto split = CXmlSectionSplit::Find(plain, "StudentInfo", 4096);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->cuts.size(), 5u);
}

TEST_F(InputDataTest, DamagedLargeFilesReadInPiecesAsWhole)
{
    // Odd bytes anywhere in a large file: read in blocks or whole, the task
    // gets the same, or the same nothing.
    const std::string body = LargeInput(14000, -1, "");
    const std::vector<std::string> snippets = {"<", ">", "\"", "'", "/", "</Student>", "<Student>", "&amp;", "&#0;",
                                               "<!-- x -->", "<?pi?>", "]]>", "<a b='>'/>", "\r\n", "&lt;", "="};
    // Inside a value, these leave the file well-formed.
    const std::vector<std::string> harmless = {">", "/", "'", "&amp;", "&#x4E00;", "&#0;", "=", "]]>", "?>", "\t"};
    std::mt19937 random(11);
    for (int round = 0; round < 24; ++round) {
        std::string damaged = body;
        for (int change = 0; change < 1 + round % 3; ++change) {
            std::size_t at = std::uniform_int_distribution<std::size_t>(0, damaged.size() - 1)(random);
            while (static_cast<unsigned char>(damaged[at]) >= 0x80)
                ++at; // between whole characters
            if (round % 2 == 0) {
                at = damaged.find("value=\"", at);
                if (at != std::string::npos)
                    damaged.insert(at + 7, harmless[random() % harmless.size()]);
            } else if (random() % 3 == 0)
                damaged.erase(at, 1 + random() % 4);
            else
                damaged.insert(at, snippets[random() % snippets.size()]);
        }
        WriteInput(damaged);
        const std::string pieces = Dump(*Reopen());
        WriteBytes(dir.File("input.xml"), "<?xml version='1.0' encoding='GB2312'?>\r\n<!-- whole -->" + Gbk(damaged));
        EXPECT_EQ(pieces, Dump(*Reopen())) << round;
    }
}

TEST_F(InputDataTest, ALargeFileIsDecodedInHalvesAsInOnePiece)
{
    // Four-byte characters, lone lead bytes before the markup and every
    // two-byte row: a large file's halves join to the text of the whole.
    std::string bytes = "<?xml version='1.0' encoding='GB2312'?>\r\n<Input>";
    const std::string four = "\x81\x30\x81\x30";
    while (bytes.size() < (std::size_t{9} << 20)) {
        bytes += "<Student name=\"";
        for (int lead = 0x81; lead <= 0xFE; lead += 7)
            bytes += {static_cast<char>(lead), static_cast<char>(0x40 + lead % 0xBF)};
        bytes += four + "\x81\"/>\xFE";
    }
    bytes += "</Input>";
    const std::string text = CXmlFile::ParserText(bytes);
    EXPECT_EQ(text, CTextCodec::FromGbk(bytes));
    EXPECT_GT(text.size(), bytes.size());
}
