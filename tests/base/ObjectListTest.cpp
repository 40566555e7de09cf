#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/object/QZObjectList.h"
#include "base/object/QZPrioritySet.h"
#include "base/records/StudentInfo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts live records so that leaks and double deletions show.
struct CountedRecord : CQZObject
{
    static int live;
    CountedRecord(const std::string& id, const std::string& name)
    {
        SetId(id);
        SetName(name);
        ++live;
    }
    ~CountedRecord() override { --live; }
};
int CountedRecord::live = 0;

class ObjectListTest : public ::testing::Test
{
protected:
    void SetUp() override { CountedRecord::live = 0; }
    void TearDown() override { EXPECT_EQ(CountedRecord::live, 0) << "records leaked or deleted twice"; }
};

TEST_F(ObjectListTest, AddFindRemoveAndNameIndex)
{
    CQZObjectList list;
    EXPECT_EQ(list.Find(""), nullptr);
    auto* empty = new CountedRecord("", "nameless");
    list.Add(empty);
    EXPECT_EQ(list.Find(""), empty);

    auto* a = new CountedRecord("a", "张三");
    list.Add(a);
    EXPECT_EQ(list.Find("a"), a);
    EXPECT_EQ(list.Find("A"), nullptr) << "ids compare as exact bytes";
    EXPECT_EQ(list.GetObjectName("a"), "张三");
    EXPECT_EQ(list.GetObjectId("张三"), "a");
    EXPECT_EQ(list.GetObjectName("missing"), "");

    EXPECT_TRUE(list.Remove("nothing"));
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_TRUE(list.Remove("a"));
    EXPECT_EQ(list.Find("a"), nullptr);
    EXPECT_EQ(list.GetObjectId("张三"), "");
    EXPECT_EQ(CountedRecord::live, 1);
}

TEST_F(ObjectListTest, AddOverUsedIdDeletesOldRecordAndItsNames)
{
    CQZObjectList list;
    list.Add(new CountedRecord("x", "first"));
    list.Add(new CountedRecord("y", "other"));
    auto* second = new CountedRecord("x", "second");
    list.Add(second);
    EXPECT_EQ(CountedRecord::live, 2);
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.Find("x"), second);
    EXPECT_EQ(list.GetObjectId("first"), "") << "no name entry may point to the deleted record";
    EXPECT_EQ(list.GetObjectId("second"), "x");
    // The replacement takes the old record's place in the order.
    EXPECT_EQ(list.begin()->object.get(), second);

    // Adding the stored record again only refreshes its name.
    second->SetName("renamed");
    list.Add(second);
    EXPECT_EQ(CountedRecord::live, 2);
    EXPECT_EQ(list.GetObjectId("renamed"), "x");
}

TEST_F(ObjectListTest, RekeyedRecordIsNeverOwnedTwice)
{
    CQZObjectList list;
    auto* record = new CountedRecord("old", "n");
    list.Add(record);
    list.Add(new CountedRecord("new", "victim"));
    record->SetId("new");
    list.Add(record);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.Find("new"), record);
    EXPECT_EQ(list.Find("old"), nullptr);
    EXPECT_EQ(list.GetObjectId("victim"), "");
    EXPECT_EQ(CountedRecord::live, 1);
}

TEST_F(ObjectListTest, ModifyKeepsOldNameAndNamesFollowRemoval)
{
    CQZObjectList list;
    auto* a = new CountedRecord("a", "old");
    list.Add(a);
    a->SetName("new");
    EXPECT_TRUE(list.Modify(a));
    EXPECT_EQ(list.GetObjectId("old"), "a");
    EXPECT_EQ(list.GetObjectId("new"), "a");

    // A name shared by two records resolves to the last registered; removing
    // that one must not leave the entry dangling nor steal the other's.
    auto* b = new CountedRecord("b", "old");
    list.Add(b);
    EXPECT_EQ(list.GetObjectId("old"), "b");
    list.Remove("a");
    EXPECT_EQ(list.GetObjectId("old"), "b");
    EXPECT_EQ(list.GetObjectId("new"), "");

    CountedRecord stranger("s", "stranger");
    EXPECT_FALSE(list.Modify(&stranger)) << "a record the list does not own gets no name entry";
    EXPECT_EQ(list.GetObjectId("stranger"), "");

    list.RemoveAll();
    EXPECT_EQ(list.GetObjectId("old"), "");
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(CountedRecord::live, 1); // only the stack record
}

TEST_F(ObjectListTest, IteratesInInsertionOrder)
{
    CQZObjectList list;
    const char* ids[] = {"m", "c", "z", "a", "k"};
    for (const char* id : ids)
        list.Add(new CountedRecord(id, id));
    list.Remove("z");
    std::vector<std::string> seen;
    for (const auto& entry : list)
        seen.push_back(entry.id);
    EXPECT_EQ(seen, (std::vector<std::string>{"m", "c", "a", "k"}));
    EXPECT_EQ(list.Records<CQZObject>().size(), 4u);
}

TEST_F(ObjectListTest, SwappedListsKeepTheirRecordsIndexesAndOwners)
{
    CQZObjectList first;
    CQZObjectList second;
    auto* a = new CountedRecord("a", "甲");
    first.Add(a);
    first.Add(new CountedRecord("b", "乙"));
    second.Add(new CountedRecord("c", "丙"));
    first.Swap(second);
    EXPECT_EQ(first.GetCount(), 1u);
    EXPECT_EQ(first.GetObjectId("丙"), "c");
    EXPECT_EQ(second.Find("a"), a);
    EXPECT_EQ(second.begin()->object.get(), a);
    // Each list still knows which records it owns and where they stand.
    a->SetName("甲甲");
    EXPECT_TRUE(second.Modify(a));
    EXPECT_FALSE(first.Modify(a));
    a->SetId("z");
    second.Add(a);
    EXPECT_EQ(second.Find("z"), a);
    EXPECT_TRUE(second.Remove("b"));
    EXPECT_EQ(second.GetCount(), 1u);
    EXPECT_EQ(CountedRecord::live, 2);
}

TEST(PrioritySetTest, WordsAndLookups)
{
    CQZPrioritySet set;
    EXPECT_EQ(set.GetCount(), 3);
    EXPECT_EQ(set.GetDescByCode(2), "高");
    EXPECT_EQ(set.GetDescByIndex(3), "");
    EXPECT_EQ(set.GetDescByIndex(-1), "");
    EXPECT_EQ(set.GetIndexByDesc("低"), 0);
    EXPECT_EQ(set.GetIndexByDesc("紧急"), 1);
    EXPECT_EQ(set.GetDescList(), (std::vector<std::string>{"低", "正常", "高"}));

    struct Box
    {
        std::vector<std::string> items{"旧"};
        int current = -1;
        void clear() { items.clear(); }
        void addItem(const std::string& text) { items.push_back(text); }
        void setCurrentIndex(int i) { current = i; }
    } box;
    const auto same = [](const std::string& text) { return text; };
    set.AddToComboBox(static_cast<Box*>(nullptr), same);
    set.AddToComboBox(&box, same);
    EXPECT_EQ(box.items, (std::vector<std::string>{"低", "正常", "高"}));
    EXPECT_EQ(box.current, 1);
}

TEST(RecordsTest, ScoreTotals)
{
    CStudentInfo student;
    EXPECT_EQ(student.GetSex(), 1);
    student.CalculateScoreCount();
    EXPECT_EQ(student.GetScoreCount(), 0.0f);
    student.GetScoreArray() = {"90", "85.5", "缺考"};
    student.CalculateScoreCount();
    EXPECT_FLOAT_EQ(student.GetScoreCount(), 175.5f);

    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue("  -3.5e1x"), -35.0);
    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue("inf"), 0.0);
    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(CStudentInfo::ScoreValue(""), 0.0);

    // Single-precision sum after each entry.
    student.GetScoreArray() = {"16777216", "1", "1"};
    student.CalculateScoreCount();
    EXPECT_EQ(student.GetScoreCount(), 16777216.0f);
}

TEST(RecordsTest, CopyTakesOnlyItsFields)
{
    CStudentInfo source;
    source.SetId("s");
    source.SetName("李四");
    source.SetSex(0);
    source.GetScoreArray() = {"1", "2"};
    source.SetClassId("c1");
    CStudentInfo target;
    target.GetScoreArray() = {"9", "9", "9"};
    target.SetClassId("keep");
    target.Copy(&source);
    EXPECT_EQ(target.GetName(), "李四");
    EXPECT_TRUE(target.IsGirl());
    EXPECT_EQ(target.GetScoreArray(), source.GetScoreArray());
    EXPECT_EQ(target.GetClassId(), "keep");

    CClassInfo cls;
    cls.SetName("一班");
    EXPECT_EQ(cls.GetShortName(), "一班");
    CClassInfo copy;
    copy.SetHeadTeacherName("王老师");
    copy.Copy(&cls);
    copy.SetName("二班");
    EXPECT_EQ(copy.GetShortName(), "一班") << "the stored short name is the source's name";
    EXPECT_EQ(copy.GetHeadTeacherName(), "王老师");
}

TEST(RecordsTest, GroupMembershipIgnoresLetterCase)
{
    CMutexStudent group;
    EXPECT_FALSE(group.HasStudent("abc"));
    group.GetMutexStudents() = {"0a1b2c", "学生"};
    EXPECT_TRUE(group.HasStudent("0A1B2C"));
    EXPECT_TRUE(group.HasStudent("学生"));
    EXPECT_FALSE(group.HasStudent("0a1b2"));
}

} // namespace
