#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <stdexcept>

// Reads the attributes of one record element of a data file. A required
// attribute that is missing throws CXmlRecordReader::Missing, which stops
// the reading of the file; the data file readers catch it.
class CXmlRecordReader
{
public:
    struct Missing : std::runtime_error
    {
        explicit Missing(const char* name);
    };

    // Attributes are looked up from where the last one was found, so a
    // record written in the usual order is read in one pass.
    explicit CXmlRecordReader(const pugi::xml_node& node) : m_node(node), m_hint(node.first_attribute()) {}

    const char* Required(const char* name);
    // "" when the attribute is missing.
    const char* Optional(const char* name);
    // The leading decimal integer of the value, clamped to int.
    int RequiredInt(const char* name);
    // The leading decimal integer stored in an unsigned field: a negative
    // value wraps round as it always did in the Windows program (-3 reads
    // as 4294967293, a size without limit), a value past the range stops
    // at its top.
    unsigned RequiredCount(const char* name);

    // Calls visit with every element child of parent, in document order.
    template <class Visit>
    static void ForEachElement(const pugi::xml_node& parent, Visit&& visit)
    {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element)
                visit(child);
    }
    static std::size_t CountElements(const pugi::xml_node& parent);

private:
    pugi::xml_node m_node;
    pugi::xml_attribute m_hint;
};
