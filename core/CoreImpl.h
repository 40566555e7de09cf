#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDivisionOwner;
class CScheduleTask;

// Base of the engine implementation: owns the worker thread, the stop
// request and the link to the owner, and runs the pre-division checks.
// The division itself is Divide(), overridden by CDivisionCore.
//
// A worker started from an implementation held by a std::shared_ptr keeps
// it alive until the worker ends, so Cancel() can give up waiting after a
// second without leaving the worker with freed state. An implementation
// owned any other way waits for its worker in the destructor.
class CCoreImpl : public std::enable_shared_from_this<CCoreImpl>
{
public:
    // Result code of a run that was stopped before it ended.
    static constexpr int kResultCancelled = -1; // DIVISION_RESULT_CANCELLED

    CCoreImpl();
    CCoreImpl(const CCoreImpl&) = delete;
    CCoreImpl& operator=(const CCoreImpl&) = delete;
    virtual ~CCoreImpl();

    virtual void Init(CDivisionOwner* owner, CScheduleTask* task);
    virtual void SetFilter(const std::vector<std::string>& classIds);
    virtual void Start();
    virtual void Cancel();
    virtual void Free();
    // The pre-division checks; on failure the report is made and the end
    // of the run (code 1) has been sent.
    virtual bool CheckData();
    virtual void Divide();

    void SetSeed(std::uint64_t seed) { m_seed = seed; }
    // The seed of the last run (the drawn one when 0 was set).
    std::uint64_t GetLastSeed() const { return m_lastSeed.load(); }
    void SetListOrder(bool keepListOrder) { m_keepListOrder = keepListOrder; }
    // Whether a run saves input.xml and report.txt (on by default; off for
    // measurements that should not depend on the disk).
    void SetSaveFiles(bool save) { m_saveFiles = save; }

    const std::vector<std::string>& GetFilter() const { return m_filter; }
    bool IsInitialised() const { return m_initialised; }
    bool IsRunning() const;
    // Waits without limit for the worker to end by itself.
    void Wait();
    // Runs the whole worker routine on the calling thread and returns the
    // result code (0, 1, 2, or kResultCancelled).
    int RunSynchronously();
    // The result code of the last run that ended.
    int GetResult() const { return m_result.load(); }
    // Whether the last run that divided saved input.xml and report.txt.
    bool IsResultSaved() const { return m_resultSaved.load(); }

    static bool IsTaskBusy(const CScheduleTask* task);
    static bool WaitForTask(const CScheduleTask* task, int timeoutMs);

protected:
    // Sends one notification unless a stop was requested; returns false
    // when the run has to stop.
    bool Notify(std::uintptr_t wParam, std::intptr_t lParam);
    bool NotifyStatus(const char* text);
    bool NotifyEnd(int code);
    bool IsStopRequested() const { return m_stopRequested.load(std::memory_order_relaxed); }
    void SetResult(int code) { m_result.store(code); }
    void SetResultSaved(bool saved) { m_resultSaved.store(saved); }
    bool ShouldSaveFiles() const { return m_saveFiles; }
    bool KeepsListOrder() const { return m_keepListOrder; }
    // The seed for this run's tie order (never 0 once a run has begun).
    std::uint64_t GetRunSeed() const { return m_lastSeed.load(); }
    CScheduleTask* GetTask() const { return m_task; }
    // Requests a stop and waits for the worker; a destructor calls this
    // before its members go away.
    void StopWorker();

private:
    int RunWorker();
    bool IsWorkerThread() const;
    void ChooseSeed();
    void FinishWorker();
    // Waits up to timeout for the worker to end; joins it when it has.
    bool WaitForWorker(std::chrono::milliseconds timeout);

    CDivisionOwner* m_owner = nullptr;
    CScheduleTask* m_task = nullptr;
    bool m_initialised = false;
    std::vector<std::string> m_filter;
    std::uint64_t m_seed = 0;
    std::atomic<std::uint64_t> m_lastSeed{0};
    bool m_keepListOrder = false;
    bool m_saveFiles = true;
    std::atomic<int> m_result{kResultCancelled};
    std::atomic<bool> m_resultSaved{false};

    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    mutable std::mutex m_mutex; // guards m_running and the owner link
    std::condition_variable m_ended;
    bool m_running = false;
};
