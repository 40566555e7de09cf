#include "base/object/QZObject.h"

CQZObject::~CQZObject() = default;

void CQZObject::Copy(CQZObject* source)
{
    if (!source || source == this)
        return;
    m_id = source->m_id;
    m_name = source->m_name;
    m_priority = source->m_priority;
    m_index = source->m_index;
}
