#include "base/util/XmlSectionSplit.h"

#include <array>
#include <string>

namespace {

// The characters that end a tag's name, and those a tag's end is looked
// for among.
constexpr std::array<bool, 256> kNameEnd = [] {
    std::array<bool, 256> stop{};
    for (const char c : std::string_view(" \t\r\n/>"))
        stop[static_cast<unsigned char>(c)] = true;
    return stop;
}();
constexpr std::array<bool, 256> kTagSyntax = [] {
    std::array<bool, 256> stop{};
    for (const char c : std::string_view("\"'>"))
        stop[static_cast<unsigned char>(c)] = true;
    return stop;
}();

// The offset just past the '>' closing the tag that starts at begin,
// passing over quoted attribute values; npos when the text ends first.
std::size_t TagEnd(std::string_view text, std::size_t begin)
{
    for (std::size_t i = begin + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!kTagSyntax[static_cast<unsigned char>(c)])
            continue;
        if (c == '>')
            return i + 1;
        i = text.find(c, i + 1);
        if (i == std::string_view::npos)
            return i;
    }
    return std::string_view::npos;
}

// The offset where the name starting at begin ends, at the latest at limit.
std::size_t NameEnd(std::string_view text, std::size_t begin, std::size_t limit)
{
    std::size_t i = begin;
    while (i < limit && !kNameEnd[static_cast<unsigned char>(text[i])])
        ++i;
    return i;
}

// Whether the text holds nothing but elements, text and character data.
bool IsPlain(std::string_view text)
{
    std::size_t start = 0;
    if (text.starts_with("\xEF\xBB\xBF"))
        start = 3;
    if (text.substr(start).starts_with("<?xml")) {
        start = text.find("?>", start);
        if (start == std::string_view::npos)
            return false;
    }
    return text.find("<!") == std::string_view::npos && text.find("<?", start) == std::string_view::npos;
}

} // namespace

std::optional<CXmlSectionSplit::Section> CXmlSectionSplit::Find(std::string_view text, std::string_view name,
                                                                std::size_t perBlock)
{
    if (perBlock == 0 || !IsPlain(text))
        return std::nullopt;
    Section section;
    bool inside = false;
    std::vector<std::string_view> open; // within the element, itself first
    std::size_t children = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        const std::size_t end = TagEnd(text, at);
        if (end == std::string_view::npos)
            return std::nullopt;
        const bool closing = at + 1 < text.size() && text[at + 1] == '/';
        const std::size_t nameBegin = at + (closing ? 2 : 1);
        const std::size_t nameEnd = NameEnd(text, nameBegin, end - 1);
        const std::string_view tagName = text.substr(nameBegin, nameEnd - nameBegin);
        const bool empty = !closing && text[end - 2] == '/';
        if (!inside) {
            if (!closing && !empty && tagName == name) {
                inside = true;
                section.name = nameBegin;
                section.contentBegin = end;
                section.cuts.push_back(end);
                open.push_back(tagName);
            }
        } else if (closing) {
            if (tagName != open.back())
                return std::nullopt;
            open.pop_back();
            if (open.empty()) {
                section.contentEnd = at;
                if (section.cuts.back() != at)
                    section.cuts.push_back(at);
                return section;
            }
            if (open.size() == 1 && ++children % perBlock == 0)
                section.cuts.push_back(end);
        } else if (empty) {
            if (open.size() == 1 && ++children % perBlock == 0)
                section.cuts.push_back(end);
        } else {
            open.push_back(tagName);
        }
        at = end;
    }
    return std::nullopt;
}
