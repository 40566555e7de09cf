// The list editors' rules that need no window: class name patterns, typed
// counts, typed group names, the duplicate-name rule, the picker's search,
// the load order, the ordinary row store and the editors' rows.
#include "logic/editing/ClassNamePattern.h"
#include "logic/editing/ClassRows.h"
#include "logic/editing/CountText.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/MutexGroupRows.h"
#include "logic/editing/MutexNameParser.h"
#include "logic/editing/NameRules.h"
#include "logic/pinyin/NameMatcher.h"
#include "logic/pinyin/NameSearchIndex.h"
#include "logic/editing/PresetRows.h"
#include "logic/editing/RecordOrder.h"
#include "logic/editing/TogetherGroupRows.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::AddClass;
using testsupport::AddGroup;
using testsupport::AddPreset;
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

// A search on names it meets one by one: the same keys as the index, the
// text trimmed, an empty text matching all; a name met again uses the keys
// made the first time.
TEST(NameMatcher, MatchesNamesMetOneByOne)
{
    CNameMatcher matcher;
    EXPECT_FALSE(matcher.IsActive());
    EXPECT_TRUE(matcher.Matches("李四"));
    matcher.SetText("  ");
    EXPECT_FALSE(matcher.IsActive());
    matcher.SetText(" zs ");
    EXPECT_TRUE(matcher.IsActive());
    EXPECT_EQ(matcher.GetText(), " zs ");
    EXPECT_TRUE(matcher.Matches("张三"));
    EXPECT_FALSE(matcher.Matches("李四"));
    EXPECT_TRUE(matcher.Matches("张三丰"));
    matcher.SetText("lisi");
    EXPECT_FALSE(matcher.Matches("张三"));
    EXPECT_TRUE(matcher.Matches("李四"));
    matcher.SetText("三");
    EXPECT_TRUE(matcher.Matches("张三"));
    EXPECT_FALSE(matcher.Matches("李四"));
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

TEST(NameRules, SpacesParenthesesAndLetterCaseMakeNoNewName)
{
    CListEditorRows rows;
    for (const char* name : {"高一(1)班", "Class A", "初一 2 班"})
        rows.Append({"id", name});
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "高一（1）班"), 0);
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, " 高一 ( 1 )班"), 0);
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "class a"), 1);
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "初一2班"), 2);
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "高一(2)班"), -1);
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "Class B"), -1);
    // A row keeps its own name when it is replaced.
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "CLASS A", 1), -1);
    // Only ASCII letters fold: other bytes must match.
    EXPECT_EQ(CNameRules::FindSameName(rows, 1, "ＣＬＡＳＳ Ａ"), -1);
    EXPECT_EQ(CNameRules::DuplicateMessage("高一(1)班"), "高一(1)班 已存在。");
}

TEST(ClassRows, TypedNamesAndCountsAreCheckedAsTheDialogsCheckThem)
{
    std::string name;
    EXPECT_EQ(CClassRows::CheckName("\xE3\x80\x80 高一(1)班 \xE3\x80\x80", name), "");
    EXPECT_EQ(name, "高一(1)班");
    EXPECT_EQ(CClassRows::CheckName(" \xE3\x80\x80\t", name), "请输入班级名称");

    int count = 0;
    EXPECT_EQ(CClassRows::CheckCount(" 45 ", count), "");
    EXPECT_EQ(count, 45);
    EXPECT_EQ(CClassRows::CheckCount("0", count), "班级人数应该大于零");
    EXPECT_EQ(CClassRows::CheckCount("-2", count), "班级人数应该大于零");
    EXPECT_EQ(CClassRows::CheckCount("四十", count), "班级人数必须是整数");
    EXPECT_EQ(CClassRows::CheckCount("4294967336", count), "班级人数不能超过 2147483647");

    // The batch: 1 to 99 classes, 0 students per class is allowed.
    for (const char* text : {"0", "100", "", "x"})
        EXPECT_EQ(CClassRows::CheckNumberOfClasses(text, count), "班级数应该是 1 到 99 之间的整数。") << text;
    EXPECT_EQ(CClassRows::CheckNumberOfClasses("99", count), "");
    EXPECT_EQ(CClassRows::CheckStudentsPerClass("0", count), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CClassRows::CheckStudentsPerClass("-1", count), "每班学生人数应该是 0 到 2147483647 之间的整数。");
}

TEST(ClassRows, SavedInListOrderWithTheirOtherDataKept)
{
    CScheduleTask task;
    AddClass(task, "b", "二班", 9, 30)->SetHeadTeacherName("李老师");
    AddClass(task, "a", "一班", 4, 35);
    AddClass(task, "c", "三班", 12, 40);
    CListEditorRows rows;
    CClassRows::Load(task, rows);
    ASSERT_EQ(rows.RowCount(), 3);
    EXPECT_EQ(rows.CellText(0, CClassRows::ColumnName), "一班");
    EXPECT_EQ(rows.CellText(1, CClassRows::ColumnStudentCount), "30");

    EXPECT_FALSE(CClassRows::Add(rows, "一 班", 40));
    ASSERT_TRUE(CClassRows::Add(rows, "四班", 45));
    const std::string added = rows.CellText(3, CClassRows::ColumnId);
    EXPECT_EQ(added.size(), 32u);
    rows.SwapRows(0, 1);
    rows.RemoveRows({2});
    CClassRows::SaveTo(task, rows, {"c"});

    Names saved;
    for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList()))
        saved.push_back(info->GetId() + ":" + info->GetName() + ":" + std::to_string(info->GetStudentCount()));
    EXPECT_EQ(saved, (Names{"b:二班:30", "a:一班:35", added + ":四班:45"}));
    EXPECT_EQ(task.GetClassInfoList().FindAs<CClassInfo>("b")->GetHeadTeacherName(), "李老师");
}

TEST(MutexNameParser, ReadsAGroupOrSaysWhyNot)
{
    CScheduleTask task;
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    using Outcome = CMutexNameParser::Group::Outcome;
    EXPECT_EQ(CMutexNameParser::ReadGroup(task, " ,，\n").outcome, Outcome::NoName);
    const auto none = CMutexNameParser::ReadGroup(task, "王五,赵六");
    EXPECT_EQ(none.outcome, Outcome::NoStudent);
    EXPECT_EQ(none.message, "在学生列表中没有找到对应的学生信息：王五，赵六\n请确认输入的学生姓名有效并以逗号分隔。");
    const auto one = CMutexNameParser::ReadGroup(task, "王五,李四");
    EXPECT_EQ(one.outcome, Outcome::OneStudent);
    EXPECT_TRUE(one.ids.empty());
    EXPECT_EQ(one.message, "互斥学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：李四\n"
                           "没有找到的学生：王五");
    // The same student twice passes the two-student rule.
    EXPECT_EQ(CMutexNameParser::ReadGroup(task, "张三，张三").ids, (Names{"s1", "s1"}));
    const auto partly = CMutexNameParser::ReadGroup(task, "李四,王五\n张三，赵六");
    EXPECT_EQ(partly.outcome, Outcome::Made);
    EXPECT_EQ(partly.ids, (Names{"s2", "s1"}));
    EXPECT_EQ(partly.message, "部分学生姓名在学生列表中没有找到对应的信息：\n王五，赵六");
}

TEST(MutexNameParser, TogetherGroupsCountEachStudentOnce)
{
    CScheduleTask task;
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    using Outcome = CMutexNameParser::Group::Outcome;
    const auto twice = CMutexNameParser::ReadGroup(task, "张三，赵六，张三", CMutexNameParser::kTogether);
    EXPECT_EQ(twice.outcome, Outcome::OneStudent);
    EXPECT_EQ(twice.message, "同班学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：张三\n"
                             "没有找到的学生：赵六");
    const auto made = CMutexNameParser::ReadGroup(task, "李四,张三,李四", CMutexNameParser::kTogether);
    EXPECT_EQ(made.outcome, Outcome::Made);
    EXPECT_EQ(made.ids, (Names{"s2", "s1"}));
}

TEST(TogetherGroupRows, RowsCarryTheirStudentsAndSaveInRowOrder)
{
    CScheduleTask task;
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    AddStudent(task, "s3", "王五", 2, 1);
    task.GetDivisionRules().TogetherGroups() = {{"g1", {"s1", "s2"}}, {"g2", {"s3", "gone", "s1"}}};
    CListEditorRows rows;
    CTogetherGroupRows::Fill(task, rows);
    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(rows.CellText(1, CTogetherGroupRows::ColumnNames), "王五，张三") << "the names of students there are";
    EXPECT_EQ(CTogetherGroupRows::StudentIds(rows, 1), (Names{"s3", "gone", "s1"}));

    rows.SwapRows(0, 1);
    rows.Append(CTogetherGroupRows::Cells(task, "", {"s2", "s3"}, rows.RowCount()));
    EXPECT_EQ(rows.CellText(2, CTogetherGroupRows::ColumnId).size(), 32u) << "a new group gets a new id";
    CTogetherGroupRows::SaveTo(task, rows);
    const auto& groups = task.GetDivisionRules().TogetherGroups();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].id, "g2");
    EXPECT_EQ(groups[1].studentIds, (Names{"s1", "s2"}));
    EXPECT_EQ(groups[2].studentIds, (Names{"s2", "s3"}));
    EXPECT_TRUE(CTogetherGroupRows::SplitIds("").empty());
}

TEST(EditorRows, GroupsAndPresetsDropWhatNoLongerFitsAndSaveInRowOrder)
{
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    AddClass(task, "c1", "一班", 0);
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    AddStudent(task, "s3", "王五", 2, 1);
    AddGroup(task, "g1", {"s1", "gone"});
    AddGroup(task, "g2", {"gone"});
    AddGroup(task, "g3", {"s2", "s3"});
    task.GetMutexStudentList().Find("g1")->SetIndex(5);
    AddPreset(task, "s1", "c1");
    AddPreset(task, "s2", "gone");

    CListEditorRows groups;
    CMutexGroupRows::Load(task, groups);
    ASSERT_EQ(groups.RowCount(), 2);
    EXPECT_EQ(groups.CellText(0, CMutexGroupRows::ColumnNames), "李四，王五");
    EXPECT_EQ(groups.CellText(1, CMutexGroupRows::ColumnNumber), "2");
    EXPECT_EQ(groups.CellText(1, CMutexGroupRows::ColumnNames), "张三");
    std::unique_ptr<CMutexStudent> added = CMutexGroupRows::NewGroup({"s3", "s1"});
    std::vector<std::string> cells = CMutexGroupRows::Cells(task, *added, groups.RowCount());
    EXPECT_EQ(cells[CMutexGroupRows::ColumnNumber], "3");
    groups.Append(std::move(cells), std::move(added));
    CMutexGroupRows::SaveTo(task, groups);
    Names saved;
    for (const CMutexStudent* group : CRecordOrder::InIndexOrder<CMutexStudent>(task.GetMutexStudentList()))
        saved.push_back(std::to_string(group->GetIndex()) + ":" + task.GetStudentNameList(group->GetMutexStudents()));
    EXPECT_EQ(saved, (Names{"0:李四，王五", "1:张三", "2:王五，张三"}));

    CListEditorRows presets;
    CPresetRows::Load(task, presets);
    ASSERT_EQ(presets.RowCount(), 1);
    EXPECT_EQ(CPresetRows::FindRow(presets, "s1"), 0);
    EXPECT_EQ(CPresetRows::FindRow(presets, "s2"), -1);
    EXPECT_EQ(presets.CellText(0, CPresetRows::ColumnClass), "一班");
}
