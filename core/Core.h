#pragma once

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
// CCore is destroyed (the destructor frees as well, so a worker can never
// outlive the task's owner of this object).
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
    void Start();
    void Cancel();
    void Free();
    // True while a worker thread exists that has not finished.
    bool IsRunning() const;
    // Waits for the worker to finish by itself (for tools and tests).
    void Wait();
    void SetImpl(CCoreImpl* impl);

protected:
    CScheduleTask& GetTask() { return m_task; }

private:
    CScheduleTask& m_task;
    std::unique_ptr<CCoreImpl> m_impl;
};
