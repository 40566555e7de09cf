#include "core/BalanceGroupExchange.h"
#include "core/BalanceModel.h"
#include "core/BalanceRandom.h"
#include "core/BalanceState.h"
#include "Cohort.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::AddClass;
using testsupport::AddGroup;
using testsupport::AddPreset;
using testsupport::AddStudent;

// Bands that hold the total average to a hair and let the subjects cost
// what lies outside a point.
std::unique_ptr<CBalanceState> TightTotalState(const CBalanceModel& model)
{
    auto state = std::make_unique<CBalanceState>(model, model.GetInitialAssignment());
    const std::size_t dimensions = static_cast<std::size_t>(model.GetScoreDimensions());
    std::vector<double> units(dimensions, 10.0);
    std::vector<double> tolerances(dimensions, 1.0);
    units.back() = 0.001;
    tolerances.back() = 0.01;
    state->SetUnits(units);
    state->SetTolerances(tolerances);
    return state;
}

// Two classes of six boys of one school, three of each pre-assigned. The
// free students' totals are 100, 101 and 103 in the first class and 96,
// 99 and 109 in the second: no one of them and no two have the same total
// as any one or two of the other class, so only all three for all three
// keep the totals together, and that exchange leaves both classes alike
// in every subject. Decoys are free students each class has a twin of in
// the other, after its six, with totals far apart.
void AddThreeForThreeClasses(CScheduleTask& task, unsigned decoys)
{
    task.SetMessageHandler([](const std::string&) {});
    task.GetCustomSubjectArray() = {"语文", "数学"};
    AddClass(task, "c0", "1班", 0, 6 + decoys);
    AddClass(task, "c1", "2班", 1, 6 + decoys);
    const std::vector<std::vector<std::string>> first = {
        {"80", "20"}, {"81", "20"}, {"83", "20"}, {"90", "10"}, {"90", "10"}, {"90", "10"}};
    const std::vector<std::vector<std::string>> second = {
        {"36", "60"}, {"39", "60"}, {"49", "60"}, {"50", "50"}, {"50", "50"}, {"50", "50"}};
    int index = 0;
    auto add = [&task, &index](const std::string& classId, const std::vector<std::string>& scores, bool preset) {
        const std::string id = "s" + std::to_string(index);
        AddStudent(task, id, "学生" + std::to_string(index), index, 1, classId, scores);
        if (preset)
            AddPreset(task, id, classId);
        ++index;
    };
    for (const auto* scores : {&first, &second}) {
        const std::string classId = scores == &first ? "c0" : "c1";
        for (std::size_t k = 0; k < scores->size(); ++k)
            add(classId, (*scores)[k], k >= 3);
        for (unsigned k = 0; k < decoys; ++k)
            add(classId, {std::to_string(7 + 29 * k), std::to_string(3 + 17 * k)}, false);
    }
}

class GroupExchangeCase : public ::testing::Test
{
protected:
    void SetUp() override { AddThreeForThreeClasses(task, 0); }

    CScheduleTask task;
};

TEST_F(GroupExchangeCase, ThreeForThreeEvensWhatNoSmallerExchangeCan)
{
    const CBalanceModel model(task);
    auto state = TightTotalState(model);
    ASSERT_EQ(state->Movable(0).size(), 3u);
    ASSERT_EQ(state->Movable(1).size(), 3u);

    // No single exchange helps.
    for (int a : state->Movable(0)) {
        for (int b : state->Movable(1))
            EXPECT_GT(state->SwapDelta(a, b), 0.0) << a << " " << b;
    }

    CBalanceRandom random(1);
    CBalanceGroupExchange exchange(*state, random);
    const double before = state->GetCost();
    ASSERT_TRUE(exchange.Run(0, state->Movable(0), 1, state->Movable(1)));
    EXPECT_LT(state->GetCost(), before);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(state->ClassOf(s), 1);
        EXPECT_EQ(state->ClassOf(s + 6), 0);
    }
    for (int d = 0; d < model.GetScoreDimensions(); ++d)
        EXPECT_NEAR(state->GetDeviation(0, d), state->GetDeviation(1, d), 1e-9) << d;
    EXPECT_EQ(state->Size(0), 6);
    EXPECT_EQ(state->Size(1), 6);

    // Nothing is left to gain: the state stays as it is.
    const auto assignment = state->GetAssignment();
    EXPECT_FALSE(exchange.Run(0, state->Movable(0), 1, state->Movable(1)));
    EXPECT_EQ(state->GetAssignment(), assignment);
}

TEST_F(GroupExchangeCase, AStudentWhoMayNotJoinTheOtherClassIsNeverExchanged)
{
    // The second class's 109 must not meet the first class's pre-assigned
    // students; without it no exchange keeps the totals.
    AddGroup(task, "g", {"s8", "s3"});
    const CBalanceModel model(task);
    auto state = TightTotalState(model);
    const auto assignment = state->GetAssignment();
    CBalanceRandom random(1);
    CBalanceGroupExchange exchange(*state, random);
    EXPECT_FALSE(exchange.Run(0, state->Movable(0), 1, state->Movable(1)));
    EXPECT_EQ(state->GetAssignment(), assignment);
}

TEST(GroupExchangeTest, ThePartnerWithTheWantedTotalIsFoundAmongManyGroupsOfFarTotals)
{
    // The case above, with six decoys a side: 84 groups a side whose totals
    // lie hundreds of points apart, so that only groups sorted by their
    // whole total put the one partner that evens the classes next to the
    // group it is wanted for.
    constexpr unsigned kDecoys = 6;
    CScheduleTask task;
    AddThreeForThreeClasses(task, kDecoys);

    const CBalanceModel model(task);
    auto state = TightTotalState(model);
    ASSERT_EQ(state->Movable(0).size(), 3 + kDecoys);
    CBalanceRandom random(1);
    CBalanceGroupExchange exchange(*state, random);
    ASSERT_TRUE(exchange.Run(0, state->Movable(0), 1, state->Movable(1)));
    const int second0 = static_cast<int>(6 + kDecoys);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(state->ClassOf(s), 1);
        EXPECT_EQ(state->ClassOf(second0 + s), 0);
    }
    for (int d = 0; d < model.GetScoreDimensions(); ++d)
        EXPECT_NEAR(state->GetDeviation(0, d), state->GetDeviation(1, d), 1e-9) << d;
}

TEST(GroupExchangeTest, OnACohortFullOfRulesItOnlyImprovesAndKeepsEveryRule)
{
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    testsupport::CohortOptions cohort{178, 6, 4, 23};
    cohort.groupedShare = 0.3;
    cohort.presetShare = 0.1;
    cohort.spareSeats = 3;
    cohort.rules = true;
    cohort.togetherPairs = 4;
    cohort.sameNamePairs = 6;
    testsupport::FillCohort(task, cohort);
    testsupport::DivideInMemory(task, 23);

    const CBalanceModel model(task);
    CBalanceState state(model, model.GetInitialAssignment());
    state.SetUnits(std::vector<double>(static_cast<std::size_t>(model.GetScoreDimensions()), 0.5));
    state.SetTolerances(std::vector<double>(static_cast<std::size_t>(model.GetScoreDimensions()), 0.2));
    std::vector<int> sizes;
    for (int c = 0; c < model.GetClassCount(); ++c)
        sizes.push_back(state.Size(c));

    CBalanceRandom random(23);
    CBalanceGroupExchange exchange(state, random);
    int improved = 0;
    for (int round = 0; round < 60; ++round) {
        const int first = random.Below(model.GetClassCount());
        const int second = (first + 1 + random.Below(model.GetClassCount() - 1)) % model.GetClassCount();
        const auto assignment = state.GetAssignment();
        const double before = state.GetClassCost(first) + state.GetClassCost(second);
        const double cost = state.GetCost();
        if (exchange.Run(first, state.Movable(first), second, state.Movable(second))) {
            ++improved;
            EXPECT_LT(state.GetClassCost(first) + state.GetClassCost(second), before);
            EXPECT_LT(state.GetCost(), cost);
        } else {
            EXPECT_EQ(state.GetAssignment(), assignment);
        }
    }
    EXPECT_GT(improved, 5);

    for (int s = 0; s < model.GetStudentCount(); ++s) {
        if (model.IsFixed(s)) {
            EXPECT_EQ(state.ClassOf(s), model.GetInitialAssignment()[static_cast<std::size_t>(s)]) << s;
        }
        EXPECT_TRUE(state.KeepsApart(s)) << s;
    }
    for (int c = 0; c < model.GetClassCount(); ++c)
        EXPECT_EQ(state.Size(c), sizes[static_cast<std::size_t>(c)]);
}

} // namespace
