#include "core/Core.h"

#include "core/CoreImpl.h"
#include "core/DivisionCore.h"

#include <new>

CCore::CCore(CScheduleTask& task) : m_task(task)
{
    try {
        m_impl = std::make_shared<CDivisionCore>();
    } catch (const std::bad_alloc&) {
        m_impl.reset(); // every call then does nothing
    }
}

CCore::~CCore()
{
    // A worker that ignores the stop request for longer than the wait keeps
    // its own reference to the implementation.
    Free();
    m_impl.reset();
}

void CCore::Init(CDivisionOwner* owner)
{
    if (m_impl)
        m_impl->Init(owner, &m_task);
}

void CCore::SetFilter(const std::vector<std::string>& classIds)
{
    if (m_impl)
        m_impl->SetFilter(classIds);
}

void CCore::SetSeed(unsigned long long seed)
{
    if (m_impl)
        m_impl->SetSeed(seed);
}

unsigned long long CCore::GetSeed() const
{
    return m_impl ? m_impl->GetLastSeed() : 0;
}

void CCore::SetListOrder(bool keepListOrder)
{
    if (m_impl)
        m_impl->SetListOrder(keepListOrder);
}

void CCore::Start()
{
    if (m_impl)
        m_impl->Start();
}

void CCore::Cancel()
{
    if (m_impl)
        m_impl->Cancel();
}

void CCore::Free()
{
    if (m_impl)
        m_impl->Free();
}

bool CCore::IsRunning() const
{
    return m_impl && m_impl->IsRunning();
}

int CCore::GetResult() const
{
    return m_impl ? m_impl->GetResult() : CCoreImpl::kResultCancelled;
}

bool CCore::IsResultSaved() const
{
    return m_impl && m_impl->IsResultSaved();
}

void CCore::Wait()
{
    if (m_impl)
        m_impl->Wait();
}

void CCore::SetImpl(CCoreImpl* impl)
{
    if (m_impl.get() == impl)
        return;
    // The one replaced must not keep running with nobody left to free it.
    Free();
    m_impl.reset(impl);
}

bool CCore::IsTaskBusy(const CScheduleTask* task)
{
    return CCoreImpl::IsTaskBusy(task);
}

bool CCore::WaitForTask(const CScheduleTask* task, int timeoutMs)
{
    return CCoreImpl::WaitForTask(task, timeoutMs);
}
