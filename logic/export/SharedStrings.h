#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// The texts of a workbook's cells, each held once: a cell names its text by
// number, so that a class name or a sex repeated on every row is written
// (and compressed) only once.
class CSharedStrings
{
public:
    // The number of text; the same text gets the same number.
    std::uint32_t Add(std::string_view text);
    std::size_t GetCount() const { return m_references; }
    std::size_t GetUniqueCount() const { return m_next; }
    // The XML of the workbook's shared strings part.
    std::string Xml() const;

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> m_numbers;
    std::string m_items; // the escaped <si> elements, in order of their numbers
    std::uint32_t m_next = 0;
    std::size_t m_references = 0;
};
