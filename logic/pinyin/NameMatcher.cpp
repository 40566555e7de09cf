#include "logic/pinyin/NameMatcher.h"

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

void CNameMatcher::SetText(std::string_view text)
{
    m_text = std::string(text);
    // Spaces typed around the text are no part of any name.
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    m_upper = CNameSearchIndex::UpperAscii(text);
}

bool CNameMatcher::Matches(const std::string& name)
{
    if (m_upper.empty())
        return true;
    auto found = m_entries.find(name);
    if (found == m_entries.end())
        found = m_entries.emplace(name, m_index.Add(name)).first;
    return m_index.Matches(found->second, m_upper);
}
