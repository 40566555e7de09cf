#include "core/BalanceExchangeScan.h"
#include "core/BalanceModel.h"
#include "core/BalanceRandom.h"
#include "core/BalanceState.h"
#include "Cohort.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A divided cohort with many groups and pre-assignments and some spare
// seats, read into a model, with bands narrow enough that most classes lie
// outside them.
class BalanceStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        task.SetMessageHandler([](const std::string&) {});
        testsupport::CohortOptions cohort{178, 6, 4, 17}; // classes of 29 and 30
        cohort.groupedShare = 0.3;
        cohort.presetShare = 0.1;
        cohort.spareSeats = 3;
        testsupport::FillCohort(task, cohort);
        testsupport::DivideInMemory(task, 17);
        // Groups made after the division: two members already share the
        // second class, a third sits in the first; none of them may join the
        // other's class unless all its partners there leave.
        std::map<std::string, std::vector<std::string>> free;
        for (const auto& entry : task.GetStudentInfoList()) {
            if (!task.GetStudentPresetList().Find(entry.id))
                free[static_cast<const CStudentInfo*>(entry.object.get())->GetClassId()].push_back(entry.id);
        }
        for (std::size_t k = 0; k < 3; ++k)
            testsupport::AddGroup(task, "late" + std::to_string(k),
                                  {free["c1"][2 * k], free["c1"][2 * k + 1], free["c0"][k]});
        model = std::make_unique<CBalanceModel>(task);
        state = MakeState(model->GetInitialAssignment());
    }

    std::unique_ptr<CBalanceState> MakeState(const std::vector<int>& assignment) const
    {
        auto made = std::make_unique<CBalanceState>(*model, assignment);
        made->SetUnits(std::vector<double>(static_cast<std::size_t>(model->GetScoreDimensions()), 0.5));
        made->SetTolerances(std::vector<double>(static_cast<std::size_t>(model->GetScoreDimensions()), 0.3));
        return made;
    }

    int RandomStudent(CBalanceRandom& random) const { return random.Below(model->GetStudentCount()); }

    CScheduleTask task;
    std::unique_ptr<CBalanceModel> model;
    std::unique_ptr<CBalanceState> state;
};

TEST_F(BalanceStateTest, PricesMatchTheMovesAndTheBookkeepingStaysExact)
{
    CBalanceRandom random(5);
    int applied[3] = {};
    for (int round = 0; round < 3000; ++round) {
        const int a = RandomStudent(random);
        const int b = RandomStudent(random);
        const int c = RandomStudent(random);
        const double before = state->GetCost();
        double predicted = 0.0;
        int kind = round % 3;
        if (kind == 0 && state->CanSwap(a, b)) {
            predicted = state->SwapDelta(a, b);
            state->Swap(a, b);
        } else if (kind == 1 && state->CanMove(a, state->ClassOf(b))) {
            predicted = state->MoveDelta(a, state->ClassOf(b));
            state->Move(a, state->ClassOf(b));
        } else if (kind == 2 && state->CanRotate(a, b, c)) {
            predicted = state->RotateDelta(a, b, c);
            state->Rotate(a, b, c);
        } else {
            continue;
        }
        ++applied[kind];
        EXPECT_NEAR(state->GetCost() - before, predicted, 1e-7 * (1.0 + before));
    }
    EXPECT_GT(applied[0], 100);
    EXPECT_GT(applied[1], 10);
    EXPECT_GT(applied[2], 100);

    // A state built afresh from the assignment agrees on every figure.
    const auto fresh = MakeState(state->GetAssignment());
    EXPECT_NEAR(fresh->GetCost(), state->GetCost(), 1e-6 * (1.0 + fresh->GetCost()));
    EXPECT_EQ(fresh->GetClassesOffAverage(), state->GetClassesOffAverage());
    EXPECT_EQ(fresh->GetClassesOffBand(), state->GetClassesOffBand());
    for (int c = 0; c < model->GetClassCount(); ++c) {
        EXPECT_EQ(fresh->Size(c), state->Size(c));
        EXPECT_EQ(fresh->GetGirls(c), state->GetGirls(c));
        auto movable = state->Movable(c);
        auto expected = fresh->Movable(c);
        std::sort(movable.begin(), movable.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(movable, expected);
        for (int d = 0; d < model->GetScoreDimensions(); ++d)
            EXPECT_DOUBLE_EQ(fresh->GetDeviation(c, d), state->GetDeviation(c, d));
    }
}

TEST_F(BalanceStateTest, ExchangeScanAllowsExactlyWhatTheRulesAllowAndFindsTheBest)
{
    CBalanceExchangeScan scan;
    for (int first = 0; first < model->GetClassCount(); ++first) {
        const int second = (first + 1) % model->GetClassCount();
        const auto& studentsA = state->Movable(first);
        const auto& studentsB = state->Movable(second);

        // Pair by pair: allowed exactly when the rules allow the exchange.
        double best = 1e300;
        for (int a : studentsA) {
            for (int b : studentsB) {
                const auto one = scan.Best(*state, first, {a}, second, {b});
                ASSERT_EQ(one.a >= 0, state->CanSwap(a, b)) << a << " " << b;
                if (state->CanSwap(a, b)) {
                    EXPECT_NEAR(one.delta, state->SwapDelta(a, b), 1e-3 * (1.0 + std::abs(state->SwapDelta(a, b))));
                    best = std::min(best, state->SwapDelta(a, b));
                }
            }
        }
        // All at once: the best, up to single precision.
        const auto found = scan.Best(*state, first, studentsA, second, studentsB);
        ASSERT_GE(found.a, 0);
        EXPECT_TRUE(state->CanSwap(found.a, found.b));
        EXPECT_NEAR(state->SwapDelta(found.a, found.b), best, 1e-3 * (1.0 + std::abs(best)));
    }
}

TEST_F(BalanceStateTest, ModelReadsWhoIsFixedWhoIsPlacedAndWritesListsGirlsFirst)
{
    // Every pre-assigned student is fixed; fixed students are never movable.
    int fixed = 0;
    for (int s = 0; s < model->GetStudentCount(); ++s)
        fixed += model->IsFixed(s) ? 1 : 0;
    EXPECT_EQ(fixed, static_cast<int>(task.GetStudentPresetList().GetCount()));
    for (int c = 0; c < model->GetClassCount(); ++c) {
        for (int s : state->Movable(c))
            EXPECT_FALSE(model->IsFixed(s));
    }

    // Move a girl and a boy into another class by hand and apply.
    std::vector<int> assignment = model->GetInitialAssignment();
    int girl = -1, boy = -1;
    for (int s = 0; s < model->GetStudentCount() && (girl < 0 || boy < 0); ++s) {
        if (assignment[static_cast<std::size_t>(s)] == 0 && !model->IsFixed(s))
            (model->IsGirl(s) ? girl : boy) = s;
    }
    ASSERT_GE(girl, 0);
    ASSERT_GE(boy, 0);
    assignment[static_cast<std::size_t>(girl)] = 1;
    assignment[static_cast<std::size_t>(boy)] = 1;
    EXPECT_EQ(model->Apply(assignment), 2);

    const auto classes = task.GetClassInfoList().Records<CClassInfo>();
    for (int c : {0, 1}) {
        const auto& ids = classes[static_cast<std::size_t>(c)]->GetStudentArray();
        bool boySeen = false;
        int listed = 0;
        for (const auto& id : ids) {
            const auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>(id);
            ASSERT_NE(student, nullptr);
            EXPECT_EQ(student->GetClassId(), classes[static_cast<std::size_t>(c)]->GetId());
            EXPECT_FALSE(boySeen && student->IsGirl()) << "girl after a boy in class " << c;
            boySeen = boySeen || !student->IsGirl();
            ++listed;
        }
        EXPECT_EQ(listed, static_cast<int>(std::count(assignment.begin(), assignment.end(), c)));
    }
}

} // namespace
