// Whether the holder of a task lock still runs, with the process probe
// played by the test: a live process of another user cannot be signalled,
// and a pid from another machine names nothing here. Neither can be staged
// with real processes when the tests run as root or on one machine.
#include "TestSupport.h"

#include "base/task/TaskLock.h"

#include <cerrno>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using namespace testsupport;

namespace {

class TaskLockProbeTest : public ::testing::Test
{
protected:
    static std::string Host()
    {
        char name[256] = {};
        ::gethostname(name, sizeof name - 1);
        return name;
    }

    // A lock file of a holder taken a minute ago, long before it could
    // count as stale by its age.
    void WriteLock(const std::string& host, long long pid)
    {
        const long long since = static_cast<long long>(std::time(nullptr)) - 60;
        WriteBytes(dir.File("quillon.lock"),
                   "user=other\nhost=" + host + "\npid=" + std::to_string(pid)
                       + "\nprogram=Quillon\ntime=2024-03-05 08:07:09\nsince=" + std::to_string(since) + "\n");
    }

    // A lock that answers for every pid with this error, and notes the pids
    // it was asked about.
    CTaskLock& Probed(int answer)
    {
        lock = std::make_unique<CTaskLock>(dir.Dir());
        lock->SetProcessProbe([this, answer](long long pid) {
            asked.push_back(pid);
            return answer;
        });
        return *lock;
    }

    TempFolder dir;
    std::unique_ptr<CTaskLock> lock;
    std::vector<long long> asked;
};

TEST_F(TaskLockProbeTest, HolderOfThisMachineIsJudgedByWhetherItsProcessRuns)
{
    const long long other = static_cast<long long>(::getpid()) + 100000;
    struct Case
    {
        int answer;
        bool held;
        const char* what;
    };
    const Case cases[] = {
        {0, true, "a running process of this user"},
        {EPERM, true, "a running process of another user, which may not be signalled"},
        {ESRCH, false, "no such process any more"},
    };
    for (const Case& c : cases) {
        WriteLock(Host(), other);
        asked.clear();
        EXPECT_EQ(Probed(c.answer).IsHeldByOther(), c.held) << c.what;
        EXPECT_EQ(asked, std::vector<long long>{other}) << c.what;
        EXPECT_EQ(Probed(c.answer).Acquire("Quillon"),
                  c.held ? CTaskLock::Result::HeldByOther : CTaskLock::Result::Acquired)
            << c.what;
        EXPECT_EQ(lock->IsHeld(), !c.held) << c.what;
        if (c.held) {
            EXPECT_EQ(lock->GetHolder().user, "other") << c.what;
        }
        lock.reset();
        std::filesystem::remove(dir.File("quillon.lock"));
    }
}

TEST_F(TaskLockProbeTest, HolderOfAnotherMachineIsNotJudgedByALocalPid)
{
    // Whatever runs here under that pid says nothing about the other
    // machine: its lock holds until it is released or grows old.
    for (int answer : {ESRCH, 0, EPERM}) {
        WriteLock("another-machine-" + Host(), 4242);
        asked.clear();
        EXPECT_TRUE(Probed(answer).IsHeldByOther()) << answer;
        EXPECT_EQ(Probed(answer).Acquire("Quillon"), CTaskLock::Result::HeldByOther) << answer;
        EXPECT_EQ(lock->GetHolder().host, "another-machine-" + Host());
        EXPECT_TRUE(asked.empty()) << "asked about a pid of another machine";
        lock.reset();
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("quillon.lock")));
}

} // namespace
