#pragma once

#include "core/BalanceMethod.h"
#include "core/BalanceMoveStats.h"
#include "core/BalanceSpreads.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CBalanceModel;
class CBalanceState;
class CScheduleTask;

// What a running balancing reports, about ten times a second.
struct CBalanceProgress
{
    double share = 0.0;      // of the time budget (or of the steps) used, 0 to 1
    CBalanceSpreads spreads; // of the best division found so far
};

struct CBalanceOptions
{
    // Time budget of the search.
    double seconds = 10.0;
    // When not 0: the number of search steps instead of a time budget (one
    // more where two searches step side by side and the number is odd); the
    // same seed and step count give the same division on every machine.
    std::uint64_t iterations = 0;
    std::uint64_t seed = 1;
    // FirstRelease gives, for the same seed and steps, the division of the
    // first release, which the lottery's records were drawn with.
    CBalanceMethod method = CBalanceMethod::Current;
    // Called on the thread that runs the search, at the start, about every
    // tenth of a second and at the end (share 1); it must not touch the task
    // (a window forwards it to its own thread).
    std::function<void(const CBalanceProgress&)> progress;
};

struct CBalanceResult
{
    bool divided = false;   // the task had students in classes to balance
    bool cancelled = false; // stopped by Cancel(); the best division so far is kept
    CBalanceSpreads before; // of the division as it was read
    CBalanceSpreads after;  // of the best division found
    int movedStudents = 0;  // students whose class differs in the best division
    std::uint64_t steps = 0;
    double seconds = 0.0;
    CBalanceMoveStats moves; // what each move of the search did
};

// Balances a finished division: moves students between classes so that the
// classes' average total scores, their subject averages, their numbers of
// girls and of boys and their numbers of students from each original school
// come as close to each other as the time allows, in that order of weight.
//
// The hard rules hold in every division it considers: pre-assigned students
// stay in their classes, members of one exclusive group never share a
// class, students without a class stay without, no class exceeds its
// planned number of students and class sizes never get further apart. The
// division it keeps is never further apart than the one it started from in
// any figure of CBalanceSpreads.
//
// Use: SetOptions, Run (on a worker thread if wanted; it reads the task but
// does not change it, and nothing else may change the task meanwhile), then
// Apply to write the best division into the task, or drop it (after a
// cancel the window may ask first). Run ends when the budget is used or
// earlier, when nothing is left to gain. Cancel may be called from any
// thread, also before Run; Run then returns within a tenth of a second with
// the best division found so far, never with a move half made. An optimiser
// serves one run.
//
// From eight classes on, the current method runs two searches at once, each
// on half of the classes (drawn anew every few steps), the second on a
// thread of its own: about one and a half times the steps in the same time
// on two cores, and the same division for the same seed and steps however
// the threads run.
class CBalanceOptimizer
{
public:
    explicit CBalanceOptimizer(CScheduleTask& task);
    CBalanceOptimizer(const CBalanceOptimizer&) = delete;
    CBalanceOptimizer& operator=(const CBalanceOptimizer&) = delete;
    ~CBalanceOptimizer();

    void SetOptions(const CBalanceOptions& options) { m_options = options; }
    const CBalanceOptions& GetOptions() const { return m_options; }

    const CBalanceResult& Run();
    void Cancel() { m_cancel.store(true); }

    // Writes the best division of the last Run into the task: the students'
    // classes and the classes' student lists. Returns the number of
    // students moved. Saving is left to the caller.
    int Apply();

    const CBalanceResult& GetResult() const { return m_result; }
    // The task as read by the last Run (subject and school names); null
    // before.
    const CBalanceModel* GetModel() const { return m_model.get(); }

private:
    void Search(CBalanceState& state, std::chrono::steady_clock::time_point start);
    // Two searches at once on two halves of the classes, drawn anew for
    // every round of steps.
    void SearchInHalves(CBalanceState& state, std::chrono::steady_clock::time_point start);
    // Whether the search may take more steps: not once cancelled (noted in
    // the result) or once the budget is used; reports the progress about
    // ten times a second.
    bool Going(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point& lastReport);
    // Keeps the current division when it is no worse than the start.
    void Checkpoint(const CBalanceState& state);
    void Report(double share);

    CScheduleTask& m_task;
    CBalanceOptions m_options;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<CBalanceModel> m_model;
    CBalanceResult m_result;
    std::vector<int> m_best;
    bool m_applied = false;
};
