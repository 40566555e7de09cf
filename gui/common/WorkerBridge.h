#pragma once

#include <QMetaObject>

#include <functional>
#include <memory>

class CScheduleTask;
class QObject;
class QThread;

// The one way a worker thread talks to a window: a blocking call that runs
// on the window's thread while the worker waits for it, and that a window
// can always break off.
//
// A bridge is bound to a context object (the window, or the dialog that
// runs the worker) and carries calls to the thread that context lives on.
// A call never runs after the context is gone or after the bridge was
// closed: closing the bridge (the window cancels) or destroying its context
// releases every worker waiting in call() at once, with false, and every
// later call() returns false without waiting. A worker takes false as the
// sign to stop.
//
// The division dialog hands the engine's notifications over this way:
//
//     void CAutoDivisionDialog::Notify(...)         // on the engine's worker
//     {
//         m_bridge.call([this, wParam, lParam, text] { handleNotify(wParam, lParam, text); });
//     }
//     void CAutoDivisionDialog::done(int result)    // on the window thread
//     {
//         m_bridge.close();                          // a waiting worker goes on at once
//         m_core->Free();
//         ...
//     }
//
// A worker that reads rows and hands each to an editor on the window thread
// does it the same way, and stops reading when the window is closed:
//
//     for (std::vector<QString> row; reader.next(row);)       // on the worker
//         if (!bridge.call([editor, row] { editor->submitRow(row); }))
//             break;                                           // the window was closed
//
// and the window closes the bridge before it stops and joins the worker.
//
// Rules for the two sides:
// - The function is copied into the bridge: capture by value what it needs.
//   A call that closes the bridge itself (a cancel from within the call)
//   releases its worker while the call is still finishing on the window
//   thread, so the call must not depend on the worker's stack.
// - The bridge object must outlive the worker's use of it: the window
//   closes it, then stops or waits for its worker, and only then lets it go
//   (see waitUntilFree).
// - Calls from one worker run in the order they were made. call() from the
//   context's own thread runs the function at once (unless closed).
class CWorkerBridge
{
public:
    explicit CWorkerBridge(QObject* context);
    ~CWorkerBridge();
    CWorkerBridge(const CWorkerBridge&) = delete;
    CWorkerBridge& operator=(const CWorkerBridge&) = delete;

    // Worker side: runs function on the context's thread and waits until it
    // has run. True when it ran (or, after a close from within itself, was
    // running); false when the bridge was closed or the context destroyed
    // first, in which case it never runs.
    bool call(std::function<void()> function);

    // Window side (any thread): no call runs from now on, and a worker
    // waiting in call() is released at once. Also done when the context is
    // destroyed, and by the destructor.
    void close();
    bool isClosed() const;

    // The rule for code on the window thread that is about to read, replace
    // or delete something a worker may still be using (a stopped worker may
    // need a moment to let go of it): wait until waitFree(ms), which blocks
    // for at most ms milliseconds, reports it free. Meanwhile the busy
    // cursor shows and the window thread keeps handling everything but the
    // user's input, so a worker that still has a call to make is never
    // left waiting.
    static void waitUntilFree(const std::function<bool(int timeoutMs)>& waitFree);
    // waitUntilFree for the task an engine run may still be using.
    static void waitUntilTaskIsFree(const CScheduleTask& task);

private:
    struct Shared;
    struct Pending;

    std::shared_ptr<Shared> m_shared;
    QObject* m_context;
    QThread* m_contextThread;
    QMetaObject::Connection m_contextGone;
};
