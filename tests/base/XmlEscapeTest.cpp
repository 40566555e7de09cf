// The markup characters in what the user typed, as input.xml holds them.
// The reader forgives a bare "&" or "<", so only the written bytes show
// whether another XML reader (the Windows program's) can read the file.
#include "TestSupport.h"

#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"

#include <string>
#include <vector>

using namespace testsupport;

namespace {

bool Contains(const std::string& bytes, const std::string& part)
{
    return bytes.find(part) != std::string::npos;
}

TEST(XmlEscapeTest, MarkupCharactersInNamesAndMemberIdsAreWrittenAsReferences)
{
    TempFolder dir;
    WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n");
    {
        CScheduleTask task;
        task.GetTaskInfo().SetTaskFolder(dir.Dir());
        auto* student = new CStudentInfo;
        student->SetId("s&1<2");
        student->SetName("R&D<王>\"李\"");
        student->SetFromSchool("A&B");
        task.GetStudentInfoList().Add(student);
        auto* group = new CMutexStudent;
        group->SetId("g1");
        group->GetMutexStudents() = {"s&1<2", "x<y&z"};
        task.GetMutexStudentList().Add(group);
        ASSERT_TRUE(task.SaveInputData());
    }

    const std::string bytes = ReadBytes(dir.File("input.xml"));
    EXPECT_TRUE(Contains(bytes, "<Student id=\"s&amp;1&lt;2\" name=\"R&amp;D&lt;" + Gbk("王") + "&gt;&quot;" + Gbk("李")
                                    + "&quot;\""))
        << bytes;
    EXPECT_TRUE(Contains(bytes, "fromSchool=\"A&amp;B\"")) << bytes;
    EXPECT_TRUE(Contains(bytes, "<Id>s&amp;1&lt;2</Id><Id>x&lt;y&amp;z</Id>")) << bytes;
    // Nothing of the typed text is left bare.
    for (const char* bare : {"s&1", "1<2", "R&D", "D<", "x<y", "y&z", "A&B"})
        EXPECT_FALSE(Contains(bytes, bare)) << bare;

    // And read back as typed.
    CScheduleTask back;
    back.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(back.Open(dir.File("t.qz")));
    const auto* student = back.GetStudentInfoList().FindAs<CStudentInfo>("s&1<2");
    ASSERT_NE(student, nullptr);
    EXPECT_EQ(student->GetName(), "R&D<王>\"李\"");
    EXPECT_EQ(back.GetMutexStudentList().FindAs<CMutexStudent>("g1")->GetMutexStudents(),
              (std::vector<std::string>{"s&1<2", "x<y&z"}));
}

} // namespace
