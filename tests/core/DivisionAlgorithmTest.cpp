#include "EngineFixture.h"

#include "core/DivisionCore.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

using DivisionTest = EngineTest;

// The dealing rules written out plainly (a linear scan of the classes for
// every student), against which the engine's indexed dealing is compared.
struct PlainDivision
{
    std::map<std::string, std::set<std::string>> partners;
    std::map<std::string, std::string> classOf;
    std::map<std::string, std::vector<std::string>> members;
    std::vector<std::string> errors;
};

PlainDivision DividePlainly(const CScheduleTask& task)
{
    const auto students = task.GetStudentInfoList().Records<CStudentInfo>();
    PlainDivision result;
    auto& partners = result.partners;
    for (auto* group : task.GetMutexStudentList().Records<CMutexStudent>()) {
        for (const auto& a : group->GetMutexStudents()) {
            for (const auto& b : group->GetMutexStudents()) {
                if (a != b)
                    partners[a].insert(b);
            }
        }
    }
    struct Entry
    {
        CStudentInfo* info;
        bool preset;
        std::size_t partnerCount;
        float score;
    };
    std::vector<Entry> queue;
    for (auto* s : students) {
        CStudentInfo copy;
        copy.GetScoreArray() = s->GetScoreArray();
        copy.CalculateScoreCount();
        queue.push_back({s, task.GetStudentPresetList().Find(s->GetId()) != nullptr, partners[s->GetId()].size(),
                         copy.GetScoreCount()});
    }
    std::stable_sort(queue.begin(), queue.end(), [](const Entry& a, const Entry& b) {
        if (a.preset != b.preset)
            return a.preset;
        if (a.partnerCount != b.partnerCount)
            return a.partnerCount > b.partnerCount;
        if (a.info->GetSex() != b.info->GetSex())
            return a.info->GetSex() < b.info->GetSex();
        return a.score > b.score;
    });

    struct Slot
    {
        std::string id;
        unsigned capacity;
        std::vector<std::string> girls, boys;
        float sum = 0;
        std::size_t Size() const { return girls.size() + boys.size(); }
        bool Holds(const std::string& id) const
        {
            return std::count(girls.begin(), girls.end(), id) + std::count(boys.begin(), boys.end(), id) > 0;
        }
    };
    std::vector<Slot> slots;
    for (auto* c : task.GetClassInfoList().Records<CClassInfo>())
        slots.push_back({c->GetId(), c->GetStudentCount(), {}, {}, 0});

    for (const Entry& s : queue) {
        const std::string& id = s.info->GetId();
        Slot* chosen = nullptr;
        bool decided = false;
        if (s.preset) {
            const std::string classId = task.GetStudentPresetList().FindAs<CStudentPreset>(id)->GetPresetClassId();
            for (Slot& slot : slots) {
                if (slot.id != classId)
                    continue;
                decided = true;
                if (slot.Size() < slot.capacity)
                    chosen = &slot;
                else
                    result.errors.push_back(s.info->GetName() + " 预排的班级 " + task.GetClassName(classId)
                                            + " 人数已满");
            }
        }
        if (!decided) {
            for (Slot& slot : slots) {
                if (slot.Size() >= slot.capacity)
                    continue;
                const auto& mine = partners[id];
                if (std::any_of(mine.begin(), mine.end(), [&](const std::string& p) { return slot.Holds(p); }))
                    continue;
                const bool fewer = chosen && slot.Size() < chosen->Size();
                const bool lighter = chosen && slot.Size() == chosen->Size() && slot.sum < chosen->sum;
                if (!chosen || fewer || lighter)
                    chosen = &slot;
            }
            if (!chosen)
                result.errors.push_back("由于互斥条件限制，" + s.info->GetName() + " 没有匹配到合适的班级");
        }
        if (!chosen)
            continue;
        (s.info->GetSex() == 0 ? chosen->girls : chosen->boys).push_back(id);
        chosen->sum += s.score;
        result.classOf[id] = chosen->id;
    }
    for (Slot& slot : slots) {
        auto& list = result.members[slot.id];
        list = slot.girls;
        list.insert(list.end(), slot.boys.begin(), slot.boys.end());
    }
    return result;
}

TEST_F(DivisionTest, SixGirlsEvenOutOverThreeClasses)
{
    for (const char* id : {"A", "B", "C"})
        AddClass(id, 2);
    const int scores[] = {90, 80, 70, 60, 50, 40};
    for (int score : scores)
        AddStudent("g" + std::to_string(score), 0, score);

    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(ClassOf("g90"), "A");
    EXPECT_EQ(ClassOf("g80"), "B");
    EXPECT_EQ(ClassOf("g70"), "C");
    EXPECT_EQ(ClassOf("g60"), "C");
    EXPECT_EQ(ClassOf("g50"), "B");
    EXPECT_EQ(ClassOf("g40"), "A");
    EXPECT_EQ(Class("A")->GetStudentArray(), (std::vector<std::string>{"g90", "g40"}));
    EXPECT_EQ(Class("B")->GetStudentArray(), (std::vector<std::string>{"g80", "g50"}));
    EXPECT_EQ(Class("C")->GetStudentArray(), (std::vector<std::string>{"g70", "g60"}));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(DivisionTest, BoysFollowGirlsIntoTheLighterClassAndListsPutGirlsFirst)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddStudent("b70", 1, 70);
    AddStudent("g90", 0, 90);
    AddStudent("b60", 1, 60);
    AddStudent("g80", 0, 80);

    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(ClassOf("g90"), "A");
    EXPECT_EQ(ClassOf("g80"), "B");
    EXPECT_EQ(ClassOf("b70"), "B"); // equal occupancy, B's sum 80 is lower
    EXPECT_EQ(ClassOf("b60"), "A"); // lower occupancy
    EXPECT_EQ(Class("A")->GetStudentArray(), (std::vector<std::string>{"g90", "b60"}));
    EXPECT_EQ(Class("B")->GetStudentArray(), (std::vector<std::string>{"g80", "b70"}));
    for (const char* id : {"g90", "g80", "b70", "b60"})
        EXPECT_FLOAT_EQ(Student(id)->GetScoreCount(), std::stof(std::string(id).substr(1)));
}

TEST_F(DivisionTest, ExclusivePairIsPlacedFirstAndApart)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddStudent("Z", 0, 90);
    AddStudent("W", 0, 80);
    AddStudent("X", 0, 50);
    AddStudent("Y", 0, 40);
    AddGroup("grp", {"X", "Y"});

    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(ClassOf("X"), "A");
    EXPECT_EQ(ClassOf("Y"), "B");
    EXPECT_EQ(ClassOf("Z"), "B");
    EXPECT_EQ(ClassOf("W"), "A");
    EXPECT_EQ(Student("X")->GetMutex(), (std::vector<std::string>{"Y"}));
    EXPECT_EQ(Student("Z")->GetMutexCount(), 0);
}

TEST_F(DivisionTest, PartnersCollectedOverGroupsOnceEachIncludingUnknownIds)
{
    AddClass("A", 5);
    AddClass("B", 5);
    AddClass("C", 5);
    AddStudent("a", 0, 50);
    AddStudent("b", 0, 50);
    AddStudent("c", 0, 50);
    Student("c")->SetMutex({"stale"});
    AddGroup("g1", {"a", "b", "ghost"});
    AddGroup("g2", {"a", "b", "a"});

    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(Student("a")->GetMutex(), (std::vector<std::string>{"b", "ghost"}));
    EXPECT_EQ(Student("b")->GetMutex(), (std::vector<std::string>{"a", "ghost"}));
    // A student in no group ends with no partners, whatever it held before.
    EXPECT_TRUE(Student("c")->GetMutex().empty());
    EXPECT_NE(ClassOf("a"), ClassOf("b"));
}

TEST_F(DivisionTest, ManyGroupsOverTheSameStudentsGiveEachPartnerOnce)
{
    // 300 groups over the same 40 students (and one unknown id): each
    // student's partners are the other 39 and the unknown one.
    for (int c = 0; c < 41; ++c)
        AddClass("c" + std::to_string(c), 1);
    std::vector<std::string> ids;
    for (int s = 0; s < 40; ++s) {
        ids.push_back("s" + std::to_string(s));
        AddStudent(ids.back(), s % 2, s);
    }
    for (int g = 0; g < 300; ++g) {
        std::vector<std::string> members = ids;
        std::rotate(members.begin(), members.begin() + g % 40, members.end());
        members.push_back("ghost");
        AddGroup("g" + std::to_string(g), members);
    }
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    std::set<std::string> classes;
    for (const std::string& id : ids) {
        const auto& mutex = Student(id)->GetMutex();
        EXPECT_EQ(mutex.size(), 40u) << id;
        EXPECT_EQ(std::set<std::string>(mutex.begin(), mutex.end()).size(), 40u) << id;
        EXPECT_EQ(std::count(mutex.begin(), mutex.end(), id), 0) << id;
        classes.insert(ClassOf(id));
    }
    EXPECT_EQ(classes.size(), 40u) << "all apart";
}

TEST_F(DivisionTest, PreAssignments)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddClass("Zero", 0, "零班");
    AddStudent("full", 0, 10, "满员生");
    AddStudent("lost", 1, 99);
    AddStudent("p1", 0, 20);
    AddStudent("p2", 0, 30);
    AddPreset("full", "Zero");    // capacity 0: not even a pre-assigned student
    AddPreset("lost", "nowhere"); // placed like any other student
    AddPreset("p1", "B");
    AddPreset("p2", "B");
    AddGroup("grp", {"p1", "p2"}); // pre-assignment wins over the partner

    ASSERT_EQ(Run(), DIVISION_RESULT_UNPLACED);
    EXPECT_EQ(ClassOf("p1"), "B");
    EXPECT_EQ(ClassOf("p2"), "B");
    EXPECT_EQ(ClassOf("lost"), "A");
    EXPECT_EQ(ClassOf("full"), "");
    EXPECT_TRUE(Class("Zero")->GetStudentArray().empty());
    EXPECT_TRUE(Student("full")->isPreset());
    EXPECT_TRUE(Student("lost")->isPreset());
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "满员生 预排的班级 零班 人数已满");
}

TEST_F(DivisionTest, LaterPartnersAvoidThePreAssignedClass)
{
    AddClass("A", 3);
    AddClass("B", 3);
    AddStudent("pre", 0, 10);
    AddStudent("other", 0, 50);
    AddStudent("free", 0, 90);
    AddPreset("pre", "A");
    AddPreset("other", "B");
    AddGroup("grp", {"pre", "free"});

    // Without the group free would join A, whose sum is lower.
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(ClassOf("pre"), "A");
    EXPECT_EQ(ClassOf("other"), "B");
    EXPECT_EQ(ClassOf("free"), "B");
}

TEST_F(DivisionTest, UnplacedStudentsGetAMessageAndAnEmptyClass)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddStudent("x", 0, 90);
    AddStudent("y", 0, 80);
    AddStudent("z", 0, 70);
    // x and y fill A and B; z has both as partners and nowhere to go.
    AddPreset("x", "A");
    AddPreset("y", "B");
    AddGroup("g1", {"x", "z"});
    AddGroup("g2", {"y", "z"});
    Student("z")->SetClassId("old");

    ASSERT_EQ(Run(), DIVISION_RESULT_UNPLACED);
    EXPECT_EQ(ClassOf("z"), "");
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "由于互斥条件限制，z 没有匹配到合适的班级");
}

TEST_F(DivisionTest, ScoresThatAreNotNumbersDoNotBreakTheOrder)
{
    AddClass("A", 3);
    AddClass("B", 3);
    const char* texts[][2] = {{"1e39", "-1e39"}, {"1e39", "1"}, {"-1e39", "2"}, {"abc", "50"}, {"60", ""}, {"", ""}};
    int n = 0;
    for (const auto& pair : texts) {
        CStudentInfo* s = AddStudent("s" + std::to_string(n++), 0, 0);
        s->GetScoreArray() = {pair[0], pair[1]};
    }
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_EQ(Class("A")->GetStudentArray().size() + Class("B")->GetStudentArray().size(), 6u);
}

TEST_F(DivisionTest, SameSeedGivesSameDivisionAndSeedsDiffer)
{
    // Many equal students: the tie order alone decides.
    auto build = [this] {
        task = std::make_unique<CScheduleTask>();
        task->GetTaskInfo().SetTaskFolder(folder.string());
        task->SetMessageHandler([](const std::string&) {});
        for (int c = 0; c < 6; ++c)
            AddClass("c" + std::to_string(c), 10);
        for (int s = 0; s < 60; ++s)
            AddStudent("s" + std::to_string(s), s % 2, 70);
        AddGroup("g", {"s1", "s2", "s3"});
    };
    auto divide = [&](unsigned long long seed) {
        build();
        CCore core(*task);
        core.Init(nullptr);
        core.SetSeed(seed);
        core.Start();
        EXPECT_EQ(core.GetSeed(), seed);
        core.Wait();
        std::map<std::string, std::string> result;
        for (auto* s : task->GetStudentInfoList().Records<CStudentInfo>())
            result[s->GetId()] = s->GetClassId();
        return result;
    };
    const auto first = divide(12345);
    EXPECT_EQ(divide(12345), first);
    EXPECT_NE(divide(54321), first);

    build();
    CCore fresh(*task);
    fresh.Start(); // before Init: nothing happens
    EXPECT_FALSE(fresh.IsRunning());
    fresh.Init(nullptr);
    fresh.Start();
    fresh.Wait();
    EXPECT_NE(fresh.GetSeed(), 0u);
}

TEST_F(DivisionTest, IndexedDealingMatchesAPlainScanOfTheClasses)
{
    // Small random tasks full of ties, tight capacities, pre-assignments
    // (some to full or missing classes) and overlapping exclusive groups.
    std::mt19937 random(2024);
    for (int round = 0; round < 400; ++round) {
        task = std::make_unique<CScheduleTask>();
        task->SetMessageHandler([](const std::string&) {});
        const int classes = 1 + static_cast<int>(random() % 5);
        unsigned capacitySum = 0;
        for (int c = 0; c < classes; ++c) {
            const unsigned capacity = random() % 5;
            capacitySum += capacity;
            AddClass("c" + std::to_string(c), capacity);
        }
        const int students = capacitySum == 0 ? 0 : static_cast<int>(random() % (capacitySum + 1));
        for (int s = 0; s < students; ++s)
            AddStudent("s" + std::to_string(s), static_cast<int>(random() % 3), static_cast<double>(random() % 4 * 10));
        for (int g = 0; students > 0 && g < static_cast<int>(random() % 4); ++g) {
            std::vector<std::string> members;
            const int size = 2 + static_cast<int>(random() % static_cast<unsigned>(classes));
            for (int k = 0; k < size && static_cast<int>(members.size()) < classes; ++k)
                members.push_back(random() % 6 == 0 ? "ghost" : "s" + std::to_string(random() % students));
            AddGroup("g" + std::to_string(g), members);
        }
        for (int s = 0; s < students; ++s) {
            if (random() % 4 == 0)
                AddPreset("s" + std::to_string(s), "c" + std::to_string(random() % (classes + 1)));
        }

        const PlainDivision expected = DividePlainly(*task);
        CDivisionCore core;
        core.Init(nullptr, task.get());
        core.SetSaveFiles(false);
        core.SetListOrder(true);
        const int code = core.RunSynchronously();
        ASSERT_EQ(code, expected.errors.empty() ? DIVISION_RESULT_DONE : DIVISION_RESULT_UNPLACED) << "round " << round;
        ASSERT_EQ(Errors(), expected.errors) << "round " << round;
        for (auto* s : task->GetStudentInfoList().Records<CStudentInfo>()) {
            const auto found = expected.classOf.find(s->GetId());
            ASSERT_EQ(s->GetClassId(), found == expected.classOf.end() ? "" : found->second)
                << "round " << round << " student " << s->GetId();
            // Every partner once.
            const auto& mutex = s->GetMutex();
            const auto partners = expected.partners.find(s->GetId());
            ASSERT_EQ(std::set<std::string>(mutex.begin(), mutex.end()),
                      partners == expected.partners.end() ? std::set<std::string>() : partners->second);
            ASSERT_EQ(std::set<std::string>(mutex.begin(), mutex.end()).size(), mutex.size());
        }
        for (auto* c : task->GetClassInfoList().Records<CClassInfo>())
            ASSERT_EQ(c->GetStudentArray(), expected.members.at(c->GetId())) << "round " << round;
    }
}

TEST_F(DivisionTest, LargeTaskRespectsCapacitiesAndExclusions)
{
    FillLarge(5000, 40);
    CCore core(*task);
    core.Init(&owner);
    core.SetSeed(7);
    core.Start();
    core.Wait();

    std::map<std::string, std::string> classOf;
    for (auto* s : task->GetStudentInfoList().Records<CStudentInfo>()) {
        EXPECT_FALSE(s->GetClassId().empty()) << s->GetId();
        classOf[s->GetId()] = s->GetClassId();
    }
    std::set<std::string> listed;
    std::size_t smallest = SIZE_MAX;
    std::size_t largest = 0;
    for (auto* c : task->GetClassInfoList().Records<CClassInfo>()) {
        const auto& ids = c->GetStudentArray();
        EXPECT_LE(ids.size(), c->GetStudentCount());
        smallest = std::min(smallest, ids.size());
        largest = std::max(largest, ids.size());
        bool boys = false;
        for (const auto& id : ids) {
            EXPECT_EQ(classOf[id], c->GetId());
            EXPECT_TRUE(listed.insert(id).second);
            const bool girl = Student(id)->GetSex() == 0;
            EXPECT_FALSE(boys && girl) << "girls come before boys";
            boys = boys || !girl;
        }
    }
    EXPECT_EQ(listed.size(), 5000u);
    EXPECT_LE(largest - smallest, 1u);
    for (auto* g : task->GetMutexStudentList().Records<CMutexStudent>()) {
        const auto& ids = g->GetMutexStudents();
        for (std::size_t i = 0; i < ids.size(); ++i) {
            for (std::size_t j = i + 1; j < ids.size(); ++j) {
                if (ids[i] != ids[j]) {
                    EXPECT_NE(classOf[ids[i]], classOf[ids[j]]);
                }
            }
        }
    }
}

} // namespace
