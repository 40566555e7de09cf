#include "base/records/ClassInfo.h"

CClassInfo::~CClassInfo() = default;

void CClassInfo::Copy(CClassInfo* source)
{
    if (!source || source == this)
        return;
    CQZObject::Copy(source);
    m_studentCount = source->m_studentCount;
    m_shortName = source->GetShortName();
}
