#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Finds an element in an XML text and divides its content into blocks of
// whole child elements, so that the blocks can be parsed apart, each as a
// fragment, and give what the content gives parsed whole.
//
// Only for plain texts: one with comments, CDATA sections, a document type
// or processing instructions (the declaration aside) is not divided, as
// their contents could hide or fake tags. Tags are read with their quoted
// attribute values; the element's start and end tags must match by name
// down its content. Anything else is for the parser to judge: where the
// text is not well-formed, a block will not parse.
class CXmlSectionSplit
{
public:
    struct Section
    {
        std::size_t name = 0;         // offset of the element's name in its start tag
        std::size_t contentBegin = 0; // just after its start tag
        std::size_t contentEnd = 0;   // at its end tag
        // The blocks: [cuts[k], cuts[k + 1]), from contentBegin to contentEnd.
        std::vector<std::size_t> cuts;
    };

    // The first element named name (in document order) with content, its
    // content cut after every perBlock child elements. Nothing when the
    // text is not plain, no such element has content, or its tags do not
    // match.
    static std::optional<Section> Find(std::string_view text, std::string_view name, std::size_t perBlock);
};
