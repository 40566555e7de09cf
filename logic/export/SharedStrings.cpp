#include "logic/export/SharedStrings.h"

#include "logic/export/CellText.h"

std::uint32_t CSharedStrings::Add(std::string_view text)
{
    ++m_references;
    const auto found = m_numbers.find(text);
    if (found != m_numbers.end())
        return found->second;
    m_numbers.emplace(std::string(text), m_next);
    m_items += CCellText::NeedsPreserve(text) ? "<si><t xml:space=\"preserve\">" : "<si><t>";
    CCellText::AppendEscaped(m_items, text);
    m_items += "</t></si>";
    return m_next++;
}

std::string CSharedStrings::Xml() const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"";
    xml += std::to_string(m_references);
    xml += "\" uniqueCount=\"";
    xml += std::to_string(m_next);
    xml += "\">";
    xml += m_items;
    xml += "</sst>";
    return xml;
}
