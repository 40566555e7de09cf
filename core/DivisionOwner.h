#pragma once

#include <cstdint>

// The engine's only message to its owner.
constexpr unsigned WM_DIVISION_NOTIFY = 1324; // WM_USER + 300

// wParam values of WM_DIVISION_NOTIFY.
constexpr std::uintptr_t DIVISION_NOTIFY_STATUS = 0;   // lParam: const char* (UTF-8), valid during the call
constexpr std::uintptr_t DIVISION_NOTIFY_PROGRESS = 1; // lParam: 0..100
constexpr std::uintptr_t DIVISION_NOTIFY_END = 2;      // lParam: result code

// Result codes of DIVISION_NOTIFY_END.
constexpr int DIVISION_RESULT_DONE = 0;        // every student placed
constexpr int DIVISION_RESULT_REFUSED = 1;     // the checks refused the run
constexpr int DIVISION_RESULT_UNPLACED = 2;    // some students were not placed
constexpr int DIVISION_RESULT_SHOW_REPORT = 3; // the program's own: show the stored report
constexpr int DIVISION_RESULT_CANCELLED = -1;  // never sent: a run that was stopped (CCore::GetResult)

// Receives the engine's notifications. The worker thread calls Notify and
// waits until it returns (a blocking send); an owner living on a window
// thread forwards the call there and waits.
//
// No call starts after Cancel()/Free() has returned. A call that was already
// waiting for the window thread when Cancel() began can only be delivered
// once that thread gets back to its event loop, so an owner ignores what
// arrives after it has cancelled.
class CDivisionOwner
{
public:
    virtual ~CDivisionOwner() = default;
    virtual void Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};
