#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCoreImpl;
class CDivisionOwner;
class CScheduleTask;

// The engine facade: runs an automatic class division of one task on a
// worker thread and tells its owner how far it got and how it ended.
//
// Order of use: construct on the task, Init(owner), SetFilter(list),
// Start(); notifications arrive on the worker thread; Free() before the
// CCore is destroyed (the destructor frees as well).
//
// Cancel()/Free() wait at most about one second for the worker. A worker
// that has not ended by then (typically because it is blocked in a Notify
// call that waits for the window thread) is left to finish on its own: it
// sends nothing more, writes no file and keeps its own state alive, but it
// may still touch the task until it notices the stop request. Code that
// deletes or replaces a task therefore calls CCore::WaitForTask(task)
// first; the window holding the blocked Notify must be able to process its
// events (or be destroyed) for the worker to get out of the call.
class CCore
{
public:
    explicit CCore(CScheduleTask& task);
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;
    virtual ~CCore();

    void Init(CDivisionOwner* owner);
    void SetFilter(const std::vector<std::string>& classIds);
    // seed 0 draws a fresh seed for the run's tie order.
    void SetSeed(unsigned long long seed);
    // The seed of the last Start (the drawn one when 0 was set); 0 before.
    unsigned long long GetSeed() const;
    // For tests and reproducible tools: visit the classes in the order of
    // the task's class list and break ties between equal students by the
    // order of its student list, instead of the seeded random order.
    void SetListOrder(bool keepListOrder);
    void Start();
    void Cancel();
    void Free();
    // True while a worker thread exists that has not finished.
    bool IsRunning() const;
    // The result code of the last run once its worker has finished: 0, 1
    // or 2 as in the end notification, or DIVISION_RESULT_CANCELLED for a run
    // that was stopped and changed nothing. A run stopped after its result
    // was written into the task ends with 0 or 2 as well, since it saved.
    int GetResult() const;
    // Whether the last run that divided saved input.xml and report.txt;
    // when not, the result is in the task in memory only (marked dirty).
    bool IsResultSaved() const;
    // Waits for the worker to finish by itself (for tools and tests).
    void Wait();
    // Replaces the implementation; the one held before is freed first.
    void SetImpl(CCoreImpl* impl);

    // True while an engine worker may still read or change task, including
    // a cancelled worker that has not yet ended.
    static bool IsTaskBusy(const CScheduleTask* task);
    // Waits until no engine worker touches task any more; timeoutMs < 0
    // waits without limit. True when the task is free.
    static bool WaitForTask(const CScheduleTask* task, int timeoutMs = -1);

protected:
    CScheduleTask& GetTask() { return m_task; }

private:
    CScheduleTask& m_task;
    // Shared with a running worker, which keeps the implementation alive
    // until it has ended even when this facade is gone.
    std::shared_ptr<CCoreImpl> m_impl;
};
