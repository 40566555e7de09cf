#include "base/object/QZPrioritySet.h"

CQZPrioritySet::CQZPrioritySet() : m_entries{CQZPriority(0, "低"), CQZPriority(1, "正常"), CQZPriority(2, "高")} {}

std::string CQZPrioritySet::GetDescByIndex(int i) const
{
    return i >= 0 && i < m_count ? m_entries[i].GetDesc() : std::string();
}

std::string CQZPrioritySet::GetDescByCode(int code) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i].GetCode() == code)
            return m_entries[i].GetDesc();
    return {};
}

int CQZPrioritySet::GetIndexByDesc(const std::string& desc) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i].GetDesc() == desc)
            return i;
    return 1;
}

std::vector<std::string> CQZPrioritySet::GetDescList() const
{
    std::vector<std::string> list;
    for (int i = 0; i < m_count; ++i)
        list.push_back(m_entries[i].GetDesc());
    return list;
}
