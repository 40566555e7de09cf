#include "base/records/SubjectInfo.h"

CSubjectInfo::~CSubjectInfo() = default;

void CSubjectInfo::Copy(CSubjectInfo* source)
{
    if (!source || source == this)
        return;
    CQZObject::Copy(source);
    m_shortName = source->GetShortName();
}
