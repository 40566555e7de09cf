#pragma once

#include <pugixml.hpp>

#include <string>

// Reads an XML data file of a task: GBK/GB18030 bytes under the declaration
// "GB2312" (character references for what GBK lacks), or UTF-8 when the
// declaration or a byte-order mark says so. CXmlWriter writes them.
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
    // The text the parser reads for such bytes: valid UTF-8, whatever the
    // file's encoding, with references to characters XML lacks replaced.
    static std::string ParserText(std::string bytes);
    // Parses such a text (LoadBytes is ParserText, then LoadText).
    bool LoadText(std::string text);

    pugi::xml_document& Document() { return m_doc; }
    const pugi::xml_document& Document() const { return m_doc; }

private:
    pugi::xml_document m_doc;
    std::string m_buffer; // the parsed text; the document points into it
};
