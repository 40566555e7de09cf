#pragma once

#include "core/DivisionOwner.h"

#include <mutex>
#include <ostream>

// Receives the engine's notifications on the worker thread and prints the
// status lines to a stream; remembers the end code.
class CConsoleOwner : public CDivisionOwner
{
public:
    explicit CConsoleOwner(std::ostream& out) : m_out(out) {}

    void Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    bool HasEnded() const;
    // The end code, or -1 when the run did not end.
    int GetResult() const;

private:
    std::ostream& m_out;
    mutable std::mutex m_mutex;
    int m_result = -1;
};
