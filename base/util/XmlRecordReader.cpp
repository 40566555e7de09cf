#include "base/util/XmlRecordReader.h"

#include "base/util/NumberText.h"

#include <algorithm>
#include <climits>
#include <string>

CXmlRecordReader::Missing::Missing(const char* name) : std::runtime_error(std::string("missing attribute ") + name) {}

const char* CXmlRecordReader::Required(const char* name)
{
    const pugi::xml_attribute attribute = m_node.attribute(name, m_hint);
    if (!attribute)
        throw Missing(name);
    return attribute.value();
}

const char* CXmlRecordReader::Optional(const char* name)
{
    return m_node.attribute(name, m_hint).value();
}

int CXmlRecordReader::RequiredInt(const char* name)
{
    return CNumberText::LeadingInt(Required(name));
}

unsigned CXmlRecordReader::RequiredCount(const char* name)
{
    const long long value = CNumberText::LeadingInteger(Required(name));
    return static_cast<unsigned>(std::clamp<long long>(value, INT_MIN, UINT_MAX));
}

std::size_t CXmlRecordReader::CountElements(const pugi::xml_node& parent)
{
    std::size_t count = 0;
    ForEachElement(parent, [&count](const pugi::xml_node&) { ++count; });
    return count;
}
