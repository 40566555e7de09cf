#include "gui/common/WorkerBridge.h"

#include "core/Core.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

// What the bridge shares with the calls in flight; it outlives the bridge
// while a worker or a queued call still holds it.
struct CWorkerBridge::Shared
{
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;

    void close()
    {
        {
            std::lock_guard lock(mutex);
            closed = true;
        }
        changed.notify_all();
    }
};

// One call on its way: queued for the window thread, running there, done,
// or dropped because the bridge was closed before it could run.
struct CWorkerBridge::Pending
{
    enum class State
    {
        Queued,
        Running,
        Done,
        Dropped
    };
    State state = State::Queued;
    std::function<void()> function;
};

CWorkerBridge::CWorkerBridge(QObject* context)
    : m_shared(std::make_shared<Shared>()), m_context(context), m_contextThread(context->thread())
{
    // Runs in the destructor of the context, before its queued calls are
    // discarded: a worker waiting for one of them goes on.
    m_contextGone = QObject::connect(context, &QObject::destroyed, [shared = m_shared] { shared->close(); });
}

CWorkerBridge::~CWorkerBridge()
{
    QObject::disconnect(m_contextGone);
    close();
}

void CWorkerBridge::close()
{
    m_shared->close();
}

bool CWorkerBridge::isClosed() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->closed;
}

bool CWorkerBridge::call(std::function<void()> function)
{
    const std::shared_ptr<Shared> shared = m_shared;
    if (QThread::currentThread() == m_contextThread) {
        if (isClosed())
            return false;
        function();
        return true;
    }

    auto pending = std::make_shared<Pending>();
    pending->function = std::move(function);
    std::unique_lock lock(shared->mutex);
    if (shared->closed)
        return false;
    // Posted under the lock: the context cannot be destroyed meanwhile, as
    // its destruction closes the bridge first. A queued call is discarded
    // with its context.
    QMetaObject::invokeMethod(
        m_context,
        [shared, pending] {
            {
                std::lock_guard guard(shared->mutex);
                if (shared->closed || pending->state != Pending::State::Queued) {
                    pending->state = Pending::State::Dropped;
                    return;
                }
                pending->state = Pending::State::Running;
            }
            pending->function();
            {
                std::lock_guard guard(shared->mutex);
                pending->state = Pending::State::Done;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);

    shared->changed.wait(lock, [&] { return pending->state == Pending::State::Done || shared->closed; });
    if (pending->state == Pending::State::Queued)
        pending->state = Pending::State::Dropped; // it will not run now
    return pending->state != Pending::State::Dropped;
}

void CWorkerBridge::waitUntilFree(const std::function<bool(int timeoutMs)>& waitFree)
{
    if (waitFree(0))
        return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    while (!waitFree(50))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
}

void CWorkerBridge::waitUntilTaskIsFree(const CScheduleTask& task)
{
    waitUntilFree([&task](int timeoutMs) { return CCore::WaitForTask(&task, timeoutMs); });
}
