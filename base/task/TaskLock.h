#pragma once

#include <functional>
#include <string>

// One writer per task: whoever opens a task to change it takes the lock,
// a file "quillon.lock" in the task folder that says who holds it and since
// when. The file is made atomically (it must not exist yet), so of two
// programs only one gets it. A lock whose holder is gone counts as stale
// and is taken over: one held by a process of this machine that no longer
// runs, one older than kStaleHours hours (a holder that keeps a task open
// longer calls Refresh now and then), or an unreadable one older than a
// few seconds.
class CTaskLock
{
public:
    static constexpr int kStaleHours = 24;

    struct Holder
    {
        std::string user;    // login name
        std::string host;    // machine name
        long long pid = 0;   // process on that machine
        std::string program; // what holds the task, as given to Acquire
        std::string time;    // local time it was taken, "2024-03-05 08:07:09"
        long long since = 0; // the same in seconds since 1970
    };

    enum class Result
    {
        Acquired,    // this object holds the lock now
        HeldByOther, // GetHolder() tells who has it
        Failed,      // no lock file can be made here (a folder not writable)
    };

    explicit CTaskLock(std::string taskFolder);
    // Releases the lock if this object holds it.
    ~CTaskLock();
    CTaskLock(const CTaskLock&) = delete;
    CTaskLock& operator=(const CTaskLock&) = delete;

    // Takes the lock for this process; program names what holds the task
    // ("Quillon", "quillon-cli divide").
    Result Acquire(const std::string& program);
    // Whether another program holds the task now; holder receives who,
    // when given. A stale lock is held by nobody.
    bool IsHeldByOther(Holder* holder = nullptr) const;
    bool IsHeld() const { return m_held; }
    // Renews the time of the lock this object holds; false when it holds
    // none or the lock was taken over meanwhile.
    bool Refresh();
    // Removes the lock file if it is still this object's.
    void Release();

    // The holder found by the last Acquire that returned HeldByOther.
    const Holder& GetHolder() const { return m_holder; }
    const std::string& GetPath() const { return m_path; }

    static std::string LockFilePath(const std::string& taskFolder);

    // Looks for a process of this machine: 0 when it runs and may be
    // signalled, otherwise the system's error (ESRCH when there is none,
    // EPERM when it runs under another user). The system is asked unless
    // another probe is set, which tests use to play either case.
    using ProcessProbe = std::function<int(long long pid)>;
    void SetProcessProbe(ProcessProbe probe);

private:
    // Reads the lock file: nothing when there is none, else whether its
    // holder is still there.
    enum class State
    {
        Free,
        Held,
        Stale,
    };
    State Inspect(Holder& holder, std::string& bytes) const;
    // Whether the holder's process still runs; only asked for a holder of
    // this machine, as a pid names nothing elsewhere.
    bool HolderRunning(long long pid) const;

    std::string m_path;
    std::string m_content; // what this object wrote while it holds the lock
    bool m_held = false;
    Holder m_holder;
    ProcessProbe m_probe;
};
