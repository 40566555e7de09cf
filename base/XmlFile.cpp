#include "XmlFile.h"

#include "FileUtil.h"
#include "TextCodec.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

enum class Encoding
{
    Utf8,
    Gbk,
    Other, // UTF-16/32 byte-order marks: left to the parser
};

bool StartsWith(const std::string& bytes, const char* prefix, std::size_t length)
{
    return bytes.size() >= length && bytes.compare(0, length, prefix, length) == 0;
}

// The encoding named by the XML declaration, in lower case; nullopt when
// there is no declaration or it names none.
std::optional<std::string> DeclaredEncoding(const std::string& bytes)
{
    if (!StartsWith(bytes, "<?xml", 5))
        return std::nullopt;
    const std::size_t end = bytes.find("?>");
    if (end == std::string::npos)
        return std::nullopt;
    const std::string declaration = bytes.substr(0, end);
    const std::size_t key = declaration.find("encoding");
    if (key == std::string::npos)
        return std::nullopt;
    std::size_t pos = declaration.find_first_of("'\"", key);
    if (pos == std::string::npos)
        return std::nullopt;
    const std::size_t close = declaration.find(declaration[pos], pos + 1);
    if (close == std::string::npos)
        return std::nullopt;
    std::string name = declaration.substr(pos + 1, close - pos - 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

Encoding DetectEncoding(const std::string& bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        return Encoding::Utf8;
    if (StartsWith(bytes, "\xFF\xFE", 2) || StartsWith(bytes, "\xFE\xFF", 2)
        || StartsWith(bytes, "\0\0\xFE\xFF", 4))
        return Encoding::Other;
    if (const auto declared = DeclaredEncoding(bytes)) {
        if (*declared == "utf-8" || *declared == "utf8")
            return Encoding::Utf8;
        return Encoding::Gbk;
    }
    // No declaration: UTF-8 by the rules of XML, unless the bytes cannot be.
    return CTextCodec::IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Gbk;
}

} // namespace

bool CXmlFile::Load(const std::string& path)
{
    std::optional<std::string> bytes = CFileUtil::ReadFile(path);
    if (!bytes) {
        m_doc.reset();
        m_buffer.clear();
        return false;
    }
    return LoadBytes(std::move(*bytes));
}

bool CXmlFile::LoadBytes(std::string bytes)
{
    m_doc.reset();
    m_buffer.clear();
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    switch (DetectEncoding(bytes)) {
    case Encoding::Utf8:
        m_buffer = std::move(bytes);
        break;
    case Encoding::Gbk:
        m_buffer = CTextCodec::FromGbk(bytes);
        bytes = std::string(); // release the file bytes before parsing
        break;
    case Encoding::Other:
        m_buffer = std::move(bytes);
        encoding = pugi::encoding_auto;
        break;
    }
    const pugi::xml_parse_result result =
        m_doc.load_buffer_inplace(m_buffer.data(), m_buffer.size(), pugi::parse_default, encoding);
    if (!result || !m_doc.document_element()) {
        m_doc.reset();
        m_buffer.clear();
        return false;
    }
    return true;
}
