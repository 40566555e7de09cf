#include "base/records/StudentPreset.h"

CStudentPreset::~CStudentPreset() = default;

void CStudentPreset::Copy(CStudentPreset* source)
{
    if (!source || source == this)
        return;
    CQZObject::Copy(source);
    m_presetClassId = source->m_presetClassId;
}
