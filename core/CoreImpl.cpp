#include "core/CoreImpl.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionOwner.h"
#include "core/DivisionRuleGroups.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"

#include <exception>
#include <random>
#include <system_error>
#include <unordered_map>

namespace {

// The tasks that engine workers are using, with the number of workers on
// each. A cancelled worker that is still finishing keeps its task listed.
class BusyTasks
{
public:
    static BusyTasks& Instance()
    {
        static BusyTasks instance;
        return instance;
    }

    void Add(const CScheduleTask* task)
    {
        std::lock_guard lock(m_mutex);
        ++m_counts[task];
    }

    void Remove(const CScheduleTask* task)
    {
        // Notified under the lock: once a waiter sees the task free, the
        // worker no longer touches this object.
        std::lock_guard lock(m_mutex);
        auto it = m_counts.find(task);
        if (it != m_counts.end() && --it->second <= 0)
            m_counts.erase(it);
        m_changed.notify_all();
    }

    bool Contains(const CScheduleTask* task)
    {
        std::lock_guard lock(m_mutex);
        return m_counts.count(task) != 0;
    }

    bool WaitUntilFree(const CScheduleTask* task, int timeoutMs)
    {
        std::unique_lock lock(m_mutex);
        auto isFree = [&] { return m_counts.count(task) == 0; };
        if (timeoutMs < 0) {
            m_changed.wait(lock, isFree);
            return true;
        }
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), isFree);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unordered_map<const CScheduleTask*, int> m_counts;
};

constexpr auto kCancelWait = std::chrono::milliseconds(1000);

// The implementation whose worker runs on this thread, if any.
thread_local const CCoreImpl* t_worker = nullptr;

} // namespace

CCoreImpl::CCoreImpl() = default;

CCoreImpl::~CCoreImpl()
{
    StopWorker();
}

void CCoreImpl::Init(CDivisionOwner* owner, CScheduleTask* task)
{
    std::lock_guard lock(m_mutex);
    m_owner = owner;
    m_task = task;
    m_initialised = true;
}

void CCoreImpl::SetFilter(const std::vector<std::string>& classIds)
{
    m_filter.clear();
    m_filter.insert(m_filter.end(), classIds.begin(), classIds.end());
}

void CCoreImpl::Start()
{
    if (!m_initialised || !m_task)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            return; // one worker at a time
    }
    if (m_thread.joinable())
        m_thread.join(); // the last worker has ended; collect it

    m_stopRequested.store(false);
    m_result.store(kResultCancelled);
    ChooseSeed();

    // The worker shares ownership of this object when it can, so that it
    // never outlives the state it works on.
    std::shared_ptr<CCoreImpl> keepAlive = weak_from_this().lock();
    const CScheduleTask* task = m_task;
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
    }
    BusyTasks::Instance().Add(task);
    try {
        m_thread = std::thread([this, keepAlive]() mutable {
            t_worker = this;
            const int result = RunWorker();
            m_result.store(result);
            FinishWorker();
            // Last use of this object: it may be destroyed here when the
            // facade has already let go of it.
            keepAlive.reset();
        });
    } catch (const std::system_error&) {
        // No thread: nothing is sent and Cancel() has nothing to stop.
        {
            std::lock_guard lock(m_mutex);
            m_running = false;
        }
        BusyTasks::Instance().Remove(task);
    }
}

void CCoreImpl::FinishWorker()
{
    const CScheduleTask* task = m_task;
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
    }
    m_ended.notify_all();
    BusyTasks::Instance().Remove(task);
}

bool CCoreImpl::WaitForWorker(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(m_mutex);
        if (!m_ended.wait_for(lock, timeout, [this] { return !m_running; }))
            return false;
    }
    if (m_thread.joinable())
        m_thread.join();
    return true;
}

bool CCoreImpl::IsWorkerThread() const
{
    return t_worker == this;
}

void CCoreImpl::Cancel()
{
    if (IsWorkerThread()) {
        // Called from a notification on the worker itself (possibly before
        // Start has even stored the thread): it stops at its next check.
        m_stopRequested.store(true);
        return;
    }
    if (!m_thread.joinable())
        return;
    {
        // Under the lock, so that no notification starts after this point.
        std::lock_guard lock(m_mutex);
        m_stopRequested.store(true);
    }
    if (WaitForWorker(kCancelWait))
        return;
    // The worker is still busy (most likely blocked in a notification that
    // waits for the calling thread). It will stop at its next check without
    // sending or saving anything. When it holds a reference to this object
    // it can be let go; otherwise the destructor collects it.
    if (!weak_from_this().expired())
        m_thread.detach();
}

void CCoreImpl::Free()
{
    Cancel();
}

void CCoreImpl::StopWorker()
{
    if (IsWorkerThread()) {
        // The worker dropped the last reference to this object.
        m_stopRequested.store(true);
        if (m_thread.joinable())
            m_thread.detach();
        return;
    }
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested.store(true);
    }
    m_thread.join();
}

bool CCoreImpl::IsRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

void CCoreImpl::Wait()
{
    if (IsWorkerThread())
        return; // the worker cannot wait for itself
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait(lock, [this] { return !m_running; });
    }
    if (m_thread.joinable())
        m_thread.join();
}

int CCoreImpl::RunSynchronously()
{
    if (!m_task || IsRunning())
        return kResultCancelled;
    m_stopRequested.store(false);
    m_result.store(kResultCancelled);
    ChooseSeed();
    const CCoreImpl* outer = t_worker;
    t_worker = this; // a Cancel from a notification stops this run
    const int result = RunWorker();
    t_worker = outer;
    m_result.store(result);
    return result;
}

void CCoreImpl::ChooseSeed()
{
    std::uint64_t seed = m_seed;
    if (seed == 0) {
        std::random_device device;
        while (seed == 0)
            seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }
    m_lastSeed.store(seed);
}

int CCoreImpl::RunWorker()
{
    m_result.store(kResultCancelled);
    m_resultSaved.store(false);
    // A run that is stopped changes nothing: the report it started is
    // replaced by the one the task held before.
    CReportInfo previousReport = m_task->GetLastReportInfo();
    int result = kResultCancelled;
    try {
        m_task->InitReportInfo();
        if (CheckData() && !IsStopRequested())
            Divide();
        result = m_result.load();
    } catch (const std::exception&) {
        // Out of memory on a huge task: the run ends where it stands, like
        // a cancelled one, rather than taking the program down.
        result = kResultCancelled;
    }
    if (result == kResultCancelled)
        m_task->GetLastReportInfo() = std::move(previousReport);
    return result;
}

bool CCoreImpl::Notify(std::uintptr_t wParam, std::intptr_t lParam)
{
    CDivisionOwner* owner = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopRequested.load())
            return false;
        owner = m_owner;
    }
    if (owner)
        owner->Notify(WM_DIVISION_NOTIFY, wParam, lParam);
    return !IsStopRequested();
}

bool CCoreImpl::NotifyStatus(const char* text)
{
    return Notify(DIVISION_NOTIFY_STATUS, reinterpret_cast<std::intptr_t>(text));
}

bool CCoreImpl::NotifyEnd(int code)
{
    return Notify(DIVISION_NOTIFY_END, code);
}

bool CCoreImpl::CheckData()
{
    if (!NotifyStatus("正在检查分班数据,请稍候..."))
        return false;

    CScheduleTask& task = *m_task;
    const CQZObjectList& classes = task.GetClassInfoList();
    std::vector<std::string> messages;

    if (classes.IsEmpty()) {
        messages.emplace_back("班级信息为空！请在基本数据维护中添加班级。");
    } else {
        // Added in 64 bits: the planned sizes of many classes may well pass
        // 2^32 together, and a wrapped sum would refuse a valid task.
        std::uint64_t capacity = 0;
        for (const auto& entry : classes)
            capacity += static_cast<const CClassInfo*>(entry.object.get())->GetStudentCount();
        const std::uint64_t studentCount = task.GetStudentInfoList().GetCount();
        if (studentCount > capacity) {
            messages.push_back("学生人数 " + std::to_string(studentCount) + " 超出所有班级的学生容量之和 "
                               + std::to_string(capacity));
        } else {
            const long long classCount = static_cast<long long>(classes.GetCount());
            for (const auto& entry : task.GetMutexStudentList()) {
                const auto& ids = static_cast<const CMutexStudent*>(entry.object.get())->GetMutexStudents();
                const long long size = static_cast<long long>(ids.size());
                if (size > classCount) {
                    messages.push_back("互斥组（" + task.GetStudentNameList(ids) + "）人数 " + std::to_string(size)
                                       + " 超出了班级总数 " + std::to_string(classCount));
                }
            }
            const std::vector<std::string> rules = CDivisionRuleGroups::Check(task);
            messages.insert(messages.end(), rules.begin(), rules.end());
        }
    }

    if (messages.empty())
        return true;
    if (IsStopRequested())
        return false;
    CReportInfo& report = task.GetLastReportInfo();
    auto& errors = report.GetErrorInfo();
    errors.insert(errors.end(), messages.begin(), messages.end());
    report.MakeReport(1);
    m_result.store(1);
    NotifyEnd(1);
    return false;
}

void CCoreImpl::Divide() {}

bool CCoreImpl::IsTaskBusy(const CScheduleTask* task)
{
    return BusyTasks::Instance().Contains(task);
}

bool CCoreImpl::WaitForTask(const CScheduleTask* task, int timeoutMs)
{
    return BusyTasks::Instance().WaitUntilFree(task, timeoutMs);
}
