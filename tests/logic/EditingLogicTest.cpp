// The list editors' rules that need no window: class name patterns, typed
// counts, typed group names, the picker's search, the load order and the
// ordinary row store.
#include "ClassNamePattern.h"
#include "CountText.h"
#include "ListEditorRows.h"
#include "MutexNameParser.h"
#include "NameSearchIndex.h"
#include "RecordOrder.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::AddClass;
using testsupport::AddStudent;
using Names = std::vector<std::string>;

TEST(ClassNamePattern, FivePatternsNameTheirClasses)
{
    const std::vector<ClassNamePattern> patterns = ClassNamePattern::Patterns();
    ASSERT_EQ(patterns.size(), 5u);
    Names first;
    for (const ClassNamePattern& p : patterns) {
        EXPECT_EQ(p.numberOfClasses, 4);
        EXPECT_EQ(p.studentsPerClass, 40);
        first.push_back(p.ClassName(0));
    }
    EXPECT_EQ(first, (Names{"1", "小(1)班", "一(1)班", "初一(1)班", "高一(1)班"}));
    EXPECT_EQ(patterns[0].ClassName(2), "3");
    EXPECT_EQ(patterns[4].ClassName(98), "高一(99)班");
    // A pattern with only a prefix has no parentheses.
    ClassNamePattern prefixOnly;
    prefixOnly.prefix = "A";
    EXPECT_EQ(prefixOnly.ClassName(1), "A2");
}

TEST(CountText, WholeNumbersOnlyAndNeverWrapped)
{
    int value = -1;
    EXPECT_EQ(CCountText::Parse(" 40\xE3\x80\x80", value), CCountText::Result::Number);
    EXPECT_EQ(value, 40);
    EXPECT_EQ(CCountText::Parse("-3", value), CCountText::Result::Number);
    EXPECT_EQ(value, -3);
    EXPECT_EQ(CCountText::Parse("2147483647", value), CCountText::Result::Number);
    EXPECT_EQ(value, 2147483647);
    for (const char* text : {"", "  ", "4x", "4.5", "+", "四十", "1 2"})
        EXPECT_EQ(CCountText::Parse(text, value), CCountText::Result::NotNumber) << text;
    // 2^32 + 40 would wrap to 40 in a 32-bit count.
    EXPECT_EQ(CCountText::Parse("4294967336", value), CCountText::Result::TooLarge);
    EXPECT_EQ(CCountText::Parse("2147483648", value), CCountText::Result::TooLarge);
    EXPECT_EQ(CCountText::Parse("-99999999999", value), CCountText::Result::Number);
    EXPECT_LT(value, 0);
}

TEST(MutexNameParser, SplitsOnCommasAndLineBreaksOnly)
{
    EXPECT_EQ(CMutexNameParser::SplitNames("张三,李四，王五\r\n赵六\n钱七"),
              (Names{"张三", "李四", "王五", "赵六", "钱七"}));
    // Blanks around names (the ideographic space too) go; empty entries are dropped.
    EXPECT_EQ(CMutexNameParser::SplitNames(" 张三 ,,\xE3\x80\x80李四\xE3\x80\x80，，\n\n"), (Names{"张三", "李四"}));
    // A space does not separate.
    EXPECT_EQ(CMutexNameParser::SplitNames("张三 李四"), (Names{"张三 李四"}));
    EXPECT_TRUE(CMutexNameParser::SplitNames(" ,，\r\n ").empty());
    EXPECT_EQ(CMutexNameParser::SplitNames("Tom\rJerry"), (Names{"Tom\rJerry"}));
}

TEST(MutexNameParser, MatchesNamesExactlyAndInOrder)
{
    CScheduleTask task;
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", " 李四 ", 1, 0); // stored with blanks around
    AddStudent(task, "s3", "Tom", 2, 1);
    AddStudent(task, "s4", "张三", 3, 1); // the same name again
    const auto match = CMutexNameParser::MatchStudents(task, {"李四", "tom", "张三", "王五", "张三"});
    EXPECT_EQ(match.ids, (Names{"s2", "s1", "s1"}));
    EXPECT_EQ(match.names, (Names{" 李四 ", "张三", "张三"}));
    EXPECT_EQ(match.unmatched, (Names{"tom", "王五"}));
}

TEST(NameSearchIndex, FindsByNamePinyinAndInitials)
{
    CNameSearchIndex index;
    index.Build({"张三", "李四", "张三丰", "Zoe", "高一(1)班"});
    EXPECT_EQ(index.Find(""), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(index.Find("张"), (std::vector<int>{0, 2}));
    EXPECT_EQ(index.Find("ZHANGSAN"), (std::vector<int>{0, 2}));
    EXPECT_EQ(index.Find("zhangsan"), (std::vector<int>{0, 2}));
    EXPECT_EQ(index.Find("ZS"), (std::vector<int>{0, 2}));
    EXPECT_EQ(index.Find("zsf"), (std::vector<int>{2}));
    EXPECT_EQ(index.Find("ls"), (std::vector<int>{1}));
    EXPECT_EQ(index.Find("zo"), (std::vector<int>{3}));
    EXPECT_EQ(index.Find("GY(1"), (std::vector<int>{4}));
    EXPECT_TRUE(index.Find("WANG").empty());
}

TEST(RecordOrder, AscendingIndexLaterRecordFirstOnTies)
{
    CScheduleTask task;
    AddClass(task, "a", "A", 2);
    AddClass(task, "b", "B", 0);
    AddClass(task, "c", "C", 2);
    AddClass(task, "d", "D", 1);
    Names ids;
    for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList()))
        ids.push_back(info->GetId());
    EXPECT_EQ(ids, (Names{"b", "d", "c", "a"}));
}

TEST(ListEditorRows, RemovesSwapsAndKeepsRecordsWithTheirRows)
{
    CListEditorRows rows;
    for (int i = 0; i < 6; ++i) {
        auto record = std::make_unique<CQZObject>();
        record->SetId("r" + std::to_string(i));
        rows.Append({"r" + std::to_string(i), "name" + std::to_string(i)}, std::move(record));
    }
    rows.SwapRows(0, 5);
    EXPECT_EQ(rows.CellText(0, 1), "name5");
    EXPECT_EQ(rows.Attached(0)->GetId(), "r5");
    rows.SwapRows(0, 6); // outside: nothing
    rows.RemoveRows({4, 2, 0});
    ASSERT_EQ(rows.RowCount(), 3);
    Names left;
    for (int row = 0; row < rows.RowCount(); ++row) {
        left.push_back(rows.CellText(row, 0));
        EXPECT_EQ(rows.Attached(row)->GetId(), rows.CellText(row, 0));
    }
    EXPECT_EQ(left, (Names{"r1", "r3", "r0"}));
    EXPECT_EQ(rows.CellText(7, 0), "");
    EXPECT_EQ(rows.CellText(0, 9), "");
    rows.SetCellText(0, 3, "x"); // makes room for the cell
    EXPECT_EQ(rows.CellText(0, 3), "x");
    EXPECT_EQ(rows.CellText(0, 2), "");
}
