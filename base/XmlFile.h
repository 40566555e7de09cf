#pragma once

#include <pugixml.hpp>

#include <string>

// An XML data file of a task: GBK bytes on disk under the declaration
// "GB2312". Characters GBK lacks are written as character references.
// Reading also honours a UTF-8 declaration or byte-order mark.
class CXmlFile
{
public:
    CXmlFile() = default;
    CXmlFile(const CXmlFile&) = delete;
    CXmlFile& operator=(const CXmlFile&) = delete;

    // Parses the file. False when it is missing, unreadable or not
    // well-formed; the document is then empty.
    bool Load(const std::string& path);
    // Parses bytes as they would lie in a file.
    bool LoadBytes(std::string bytes);

    pugi::xml_document& Document() { return m_doc; }
    const pugi::xml_document& Document() const { return m_doc; }

    // The document as file bytes: the declaration, then the elements in GBK
    // without whitespace between them. Empty when serialisation failed.
    std::string ToBytes() const;
    // Writes ToBytes() safely over path; false when nothing was written.
    bool Save(const std::string& path) const;

private:
    pugi::xml_document m_doc;
    std::string m_buffer; // the parsed text; the document points into it
};
