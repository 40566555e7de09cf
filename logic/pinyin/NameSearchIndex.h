#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Finds records by what the user types: a part of the name, of its full
// pinyin (ZHANGSAN) or of its initials (ZS), without regard to the case of
// Latin letters. The three keys of every name are made once, so a search
// over many names is a plain substring scan.
class CNameSearchIndex
{
public:
    // Replaces the names (UTF-8) searched; entry i stands for names[i].
    void Build(const std::vector<std::string>& names);
    // Adds one name after the others; returns its entry.
    std::size_t Add(const std::string& name);

    std::size_t GetCount() const { return m_keys.size(); }
    // The entries whose name matches text, ascending; every entry for an
    // empty text.
    std::vector<int> Find(std::string_view text) const;
    // Whether entry i matches text, already upper-cased by UpperAscii.
    bool Matches(std::size_t i, std::string_view upperText) const;

    // The text with the Latin letters a to z in upper case.
    static std::string UpperAscii(std::string_view text);

private:
    struct Keys;
    static Keys MakeKeys(const std::string& name);

    struct Keys
    {
        std::string name;     // upper-cased
        std::string full;     // full syllables of the upper-cased name
        std::string initials; // the syllables' initials
    };
    std::vector<Keys> m_keys;
};
