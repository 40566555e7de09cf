#pragma once

#include "logic/pinyin/NameSearchIndex.h"

#include <string>
#include <string_view>
#include <unordered_map>

// A search typed by the user, tested against names that are not known
// beforehand and may change while the search stands (the rows of a list
// being edited): the keys of each name are made the first time the name is
// met and kept, so typing on scans keys only. Matching is CNameSearchIndex's:
// a part of the name, of its full pinyin or of its initials.
class CNameMatcher
{
public:
    // The text searched for; an empty (or blank) text matches every name.
    void SetText(std::string_view text);
    const std::string& GetText() const { return m_text; }
    bool IsActive() const { return !m_upper.empty(); }

    bool Matches(const std::string& name);

private:
    std::string m_text;
    std::string m_upper; // trimmed and upper-cased
    CNameSearchIndex m_index;
    std::unordered_map<std::string, std::size_t> m_entries; // name -> entry of m_index
};
