#include "cli/ConsoleOwner.h"

void CConsoleOwner::Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != WM_DIVISION_NOTIFY)
        return;
    std::lock_guard lock(m_mutex);
    switch (wParam) {
    case DIVISION_NOTIFY_STATUS:
        if (lParam)
            m_out << reinterpret_cast<const char*>(lParam) << '\n';
        break;
    case DIVISION_NOTIFY_PROGRESS: m_out << "进度：" << lParam << "%\n"; break;
    case DIVISION_NOTIFY_END: m_result = static_cast<int>(lParam); break;
    default: break;
    }
    m_out.flush();
}

bool CConsoleOwner::HasEnded() const
{
    std::lock_guard lock(m_mutex);
    return m_result >= 0;
}

int CConsoleOwner::GetResult() const
{
    std::lock_guard lock(m_mutex);
    return m_result;
}
