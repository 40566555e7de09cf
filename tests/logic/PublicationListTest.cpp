// The lists posted for parents: order by pinyin, masking, the columns a
// list may have, and the workbook with one sheet per class.
#include "logic/export/PublicationList.h"
#include "logic/import/XlsxSource.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include <algorithm>

using testsupport::AddClass;
using testsupport::AddStudent;
using Column = CPublicationList::Column;

namespace {

class PublicationListTest : public ::testing::Test
{
protected:
    PublicationListTest()
    {
        task.GetTaskInfo().SetTaskName("2026级新生");
        task.GetCustomSubjectArray() = {"语文", "数学"};
        AddClass(task, "c2", "七年级(2)班", 1)->SetHeadTeacherName("李老师");
        AddClass(task, "c1", "七年级(1)班", 0)->SetHeadTeacherName(" 王老师 ");
        // Class 1, out of pinyin order; two students of one name.
        AddStudent(task, "20260100105", "赵六", 0, 1, "c1", {"98", "97"});
        AddStudent(task, "20260100102", "张三", 1, 0, "c1", {"88", "87"}, "实验小学");
        AddStudent(task, "20260100101", "安妮", 2, 0, "c1", {"78", "77"});
        AddStudent(task, "20260100104", "张三", 3, 1, "c1", {"68", "67"});
        AddStudent(task, "20260100103", "李四", 4, 1, "c1", {"58", "57"});
        AddStudent(task, "9", "梁一", 5, 1, "c1", {"48", "47"});
        // Class 2; one student without a class.
        AddStudent(task, "0123456789abcdef0123456789abcdef", "欧阳小明", 6, 1, "c2", {"99", "99"});
        AddStudent(task, "20260100999", "钱七", 7, 0, "", {"99", "99"});
    }

    static std::vector<std::string> ColumnOf(const CPublicationList::ClassList& list, std::size_t column)
    {
        std::vector<std::string> cells;
        for (const auto& row : list.rows)
            cells.push_back(row.at(column));
        return cells;
    }

    CScheduleTask task;
};

TEST_F(PublicationListTest, ClassesInTheirOrderStudentsByPinyinThenNameThenNumber)
{
    CPublicationList::Options options;
    options.columns = {Column::Name, Column::ExamNumber, Column::Sex, Column::School};
    options.schoolName = "第一中学";
    const CPublicationList list(task, options);
    EXPECT_EQ(list.Title(), "第一中学 2026级新生 分班公示");
    EXPECT_EQ(list.ColumnTitles(), (std::vector<std::string>{"序号", "姓名", "考号", "性别", "原学校"}));
    ASSERT_EQ(list.GetClasses().size(), 2u);

    const auto& first = list.GetClasses()[0];
    EXPECT_EQ(first.className, "七年级(1)班");
    EXPECT_EQ(first.headTeacher, "王老师");
    // AN NI < LI SI < LIANG YI (syllable by syllable: LI before LIANG) <
    // ZHANG SAN (twice, by number) < ZHAO LIU.
    EXPECT_EQ(ColumnOf(first, 1), (std::vector<std::string>{"安妮", "李四", "梁一", "张三", "张三", "赵六"}));
    EXPECT_EQ(ColumnOf(first, 0), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ColumnOf(first, 2), (std::vector<std::string>{"*******0101", "*******0103", "9", "*******0102",
                                                            "*******0104", "*******0105"}));
    EXPECT_EQ(first.rows[3], (std::vector<std::string>{"4", "张三", "*******0102", "女", "实验小学"}));
    EXPECT_EQ(CPublicationList::ClassLine(first), "班级：七年级(1)班　班主任：王老师　共 6 人");

    // A number the program made up is no examination number.
    const auto& second = list.GetClasses()[1];
    ASSERT_EQ(second.rows.size(), 1u);
    EXPECT_EQ(second.rows[0][2], "");
}

TEST_F(PublicationListTest, NoScoreReachesAList)
{
    // Whatever the columns, no cell holds a score or a total.
    CPublicationList::Options options;
    options.columns = {Column::Name, Column::Sex, Column::School, Column::ExamNumber};
    const CPublicationList list(task, options);
    for (const auto& classList : list.GetClasses())
        for (const auto& row : classList.rows)
            for (const std::string& cell : row)
                for (const char* score : {"98", "97", "88", "195", "99", "198", "47"})
                    EXPECT_EQ(cell.find(score), std::string::npos) << cell;

    std::vector<Column> columns;
    std::string error;
    for (const char* asked : {"name,score", "total", "Scores", "name，总分", "成绩", "语文", "sex 数学", "分数"}) {
        columns = {Column::Sex};
        EXPECT_FALSE(CPublicationList::ParseColumns(asked, columns, error, &task)) << asked;
        EXPECT_NE(error.find("不列成绩"), std::string::npos) << error;
        EXPECT_EQ(columns, std::vector<Column>{Column::Sex}) << "left as it was";
    }
    // A subject is a score column only in a task that has it.
    EXPECT_FALSE(CPublicationList::ParseColumns("语文", columns, error));
    EXPECT_EQ(error.find("不列成绩"), std::string::npos);
}

TEST_F(PublicationListTest, ColumnsAreReadByKeyOrTitle)
{
    std::vector<Column> columns;
    std::string error;
    ASSERT_TRUE(CPublicationList::ParseColumns(" name, SEX ,school", columns, error, &task)) << error;
    EXPECT_EQ(columns, (std::vector<Column>{Column::Name, Column::Sex, Column::School}));
    ASSERT_TRUE(CPublicationList::ParseColumns("考号、姓名", columns, error, &task)) << error;
    EXPECT_EQ(columns, (std::vector<Column>{Column::ExamNumber, Column::Name}));

    for (const char* bad : {"", " , ", "name,name", "name,birthday", "住校"})
        EXPECT_FALSE(CPublicationList::ParseColumns(bad, columns, error, &task)) << bad;
    EXPECT_FALSE(CPublicationList::ParseColumns("name,姓名", columns, error, &task));
    EXPECT_NE(error.find("重复"), std::string::npos);
    EXPECT_FALSE(CPublicationList::ParseColumns("birthday", columns, error, &task));
    EXPECT_NE(error.find("birthday"), std::string::npos);
}

TEST(PublicationMaskTest, NamesKeepTheirFirstAndLastCharacter)
{
    EXPECT_EQ(CPublicationList::MaskName("张三"), "张*");
    EXPECT_EQ(CPublicationList::MaskName("张小三"), "张*三");
    EXPECT_EQ(CPublicationList::MaskName("欧阳小明"), "欧**明");
    EXPECT_EQ(CPublicationList::MaskName("司马相如明"), "司***明");
    // One character cannot be shown in part: hidden whole.
    EXPECT_EQ(CPublicationList::MaskName("杰"), "*");
    EXPECT_EQ(CPublicationList::MaskName(" 李四 "), "李*");
    EXPECT_EQ(CPublicationList::MaskName(""), "");
    EXPECT_EQ(CPublicationList::MaskName("   "), "");
    // Separators of a name stay, so that its parts can be told apart.
    EXPECT_EQ(CPublicationList::MaskName("买买提·艾力"), "买**·*力");
    EXPECT_EQ(CPublicationList::MaskName("Anna Li"), "A*** *i");
    // No character is cut in the middle of its bytes.
    const std::string masked = CPublicationList::MaskName("𠀀𠀁𠀂");
    EXPECT_EQ(masked, "𠀀*𠀂");

    // On the list itself.
    CScheduleTask task;
    AddClass(task, "c", "一班", 0);
    AddStudent(task, "1001", "欧阳小明", 0, 1, "c");
    AddStudent(task, "1002", "张三", 1, 1, "c");
    CPublicationList::Options options;
    options.maskNames = true;
    const CPublicationList list(task, options);
    ASSERT_EQ(list.GetClasses().size(), 1u);
    EXPECT_EQ(list.GetClasses()[0].rows[0][1], "欧**明");
    EXPECT_EQ(list.GetClasses()[0].rows[1][1], "张*");
}

TEST(PublicationMaskTest, ExamNumbersShowTheirLastFourCharacters)
{
    EXPECT_EQ(CPublicationList::MaskExamNumber("20260101234"), "*******1234");
    EXPECT_EQ(CPublicationList::MaskExamNumber("12345"), "*2345");
    EXPECT_EQ(CPublicationList::MaskExamNumber("1234"), "1234");
    EXPECT_EQ(CPublicationList::MaskExamNumber("123"), "123");
    EXPECT_EQ(CPublicationList::MaskExamNumber("7"), "7");
    EXPECT_EQ(CPublicationList::MaskExamNumber(""), "");
    EXPECT_EQ(CPublicationList::MaskExamNumber("考2026一二三四"), "*****一二三四");
    EXPECT_EQ(CPublicationList::ExamNumberOf("0123456789abcdef0123456789abcdef"), "");
    EXPECT_EQ(CPublicationList::ExamNumberOf("0123456789ABCDEF0123456789ABCDEF"), "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(CPublicationList::ExamNumberOf("20260101234"), "20260101234");

    CScheduleTask task;
    AddClass(task, "c", "一班", 0);
    AddStudent(task, "0123456789abcdef0123456789abcdef", "张三", 0, 1, "c");
    AddStudent(task, "20260101234", "李四", 1, 1, "");
    EXPECT_FALSE(CPublicationList::HasExamNumbers(task)) << "the one with a number has no class";
    task.GetStudentInfoList().FindAs<CStudentInfo>("20260101234")->SetClassId("c");
    EXPECT_TRUE(CPublicationList::HasExamNumbers(task));
}

TEST(PublicationFooterTest, TheDigestFollowsTheDateWhenGiven)
{
    EXPECT_EQ(CPublicationList::FooterText("2026-12-10", ""), "公示日期：2026-12-10");
    EXPECT_EQ(CPublicationList::FooterText("2026-12-10", " ab12 "), "公示日期：2026-12-10　结果摘要：ab12");
    const std::string today = CPublicationList::Today();
    ASSERT_EQ(today.size(), 10u);
    EXPECT_EQ(today[4], '-');
    EXPECT_EQ(today[7], '-');
}

TEST_F(PublicationListTest, TheWorkbookHoldsASheetPerClass)
{
    // Two classes whose names become the same sheet name.
    AddClass(task, "c3", "七年级[1]班", 2);
    AddClass(task, "c4", "七年级:1:班", 3);
    AddStudent(task, "30001", "周八", 8, 0, "c3");
    CPublicationList::Options options;
    options.maskNames = true;
    const CPublicationList list(task, options);
    testsupport::TempFolder folder;
    const std::string path = folder.File("公示.xlsx");
    std::string error;
    ASSERT_TRUE(
        CWorkbookWriter::ExportTables(path, list.Sheets(CPublicationList::FooterText("2026-12-10", "abc")), error))
        << error;

    CXlsxSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(source.SheetNames(),
              (std::vector<std::string>{"七年级(1)班", "七年级(2)班", "七年级_1_班", "七年级_1_班 (2)"}));
    std::vector<std::vector<std::string>> texts;
    ASSERT_TRUE(source.BeginSheet(0));
    CSheetSource::Row row;
    while (source.NextRow(row)) {
        std::vector<std::string> line;
        for (const auto& cell : row.cells)
            line.push_back(cell.value.kind == CSheetCell::Kind::Number
                               ? std::to_string(static_cast<int>(cell.value.number))
                               : cell.value.text);
        texts.push_back(line);
    }
    ASSERT_EQ(texts.size(), 10u); // title, class line, titles, 6 students, footer
    EXPECT_EQ(texts[0], std::vector<std::string>{"2026级新生 分班公示"});
    EXPECT_EQ(texts[1], std::vector<std::string>{"班级：七年级(1)班　班主任：王老师　共 6 人"});
    EXPECT_EQ(texts[2], (std::vector<std::string>{"序号", "姓名", "性别", "原学校"}));
    EXPECT_EQ(texts[3], (std::vector<std::string>{"1", "安*", "女", "第一中学"}));
    EXPECT_EQ(texts[6][1], "张*");
    EXPECT_EQ(texts[9], std::vector<std::string>{"公示日期：2026-12-10　结果摘要：abc"});

    // The sheet of the empty class still says who leads it and how many.
    ASSERT_TRUE(source.BeginSheet(3));
    std::vector<std::string> lines;
    while (source.NextRow(row))
        lines.push_back(row.cells.empty() ? std::string() : row.cells[0].value.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"2026级新生 分班公示", "班级：七年级:1:班　共 0 人", "序号",
                                               "公示日期：2026-12-10　结果摘要：abc"}));
}

} // namespace
