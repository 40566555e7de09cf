#include "base/util/XmlFile.h"

#include "base/util/FileUtil.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <cctype>
#include <future>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

enum class Encoding
{
    Utf8,
    Gbk,
    Utf16Le,
    Utf16Be,
    Utf32Le,
    Utf32Be,
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
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4))
        return Encoding::Utf32Le;
    if (StartsWith(bytes, "\0\0\xFE\xFF", 4))
        return Encoding::Utf32Be;
    if (StartsWith(bytes, "\xFF\xFE", 2))
        return Encoding::Utf16Le;
    if (StartsWith(bytes, "\xFE\xFF", 2))
        return Encoding::Utf16Be;
    if (const auto declared = DeclaredEncoding(bytes)) {
        if (*declared == "utf-8" || *declared == "utf8")
            return Encoding::Utf8;
        return Encoding::Gbk;
    }
    // No declaration: UTF-8 by the rules of XML, unless the bytes cannot be.
    return CTextCodec::IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Gbk;
}

// UTF-16 or UTF-32 text after its byte-order mark to UTF-8; a lone
// surrogate or a value beyond U+10FFFF becomes U+FFFD.
std::string FromUtf16Or32(const std::string& bytes, std::size_t unit, bool bigEndian)
{
    auto at = [&](std::size_t pos) {
        char32_t value = 0;
        for (std::size_t i = 0; i < unit; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[pos + (bigEndian ? i : unit - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = unit; pos + unit <= bytes.size(); pos += unit) {
        char32_t code = at(pos);
        if (unit == 2 && code >= 0xD800 && code <= 0xDBFF && pos + 2 * unit <= bytes.size()) {
            const char32_t low = at(pos + unit);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                pos += unit;
            }
        }
        CTextCodec::AppendUtf8(out, code);
    }
    return out;
}

// Value of a digit in base 10 or 16; -1 when it is none.
int DigitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (hex && lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

// Character references to what is no character (a surrogate, a value
// beyond U+10FFFF, zero) would put invalid UTF-8 into the document; they
// read as U+FFFD instead.
void ReplaceInvalidReferences(std::string& text)
{
    std::string out;
    std::size_t copied = 0;
    for (std::size_t pos = text.find("&#"); pos != std::string::npos; pos = text.find("&#", pos + 2)) {
        const bool hex = pos + 2 < text.size() && text[pos + 2] == 'x';
        const std::size_t digits = pos + (hex ? 3 : 2);
        std::size_t end = digits;
        unsigned long value = 0;
        for (int digit; end < text.size() && (digit = DigitValue(text[end], hex)) >= 0; ++end)
            value = std::min<unsigned long>(value * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000);
        if (end == digits || end >= text.size() || text[end] != ';')
            continue; // not a reference; the parser judges it
        if (value != 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF))
            continue;
        out.append(text, copied, pos - copied);
        out += "&#xFFFD;";
        copied = end + 1;
    }
    if (copied == 0)
        return;
    out.append(text, copied, std::string::npos);
    text = std::move(out);
}

// A large file's halves are decoded side by side. They part before a '<',
// which is no byte of a longer character in GBK or GB18030.
std::string FromGbkInHalves(const std::string& bytes)
{
    constexpr std::size_t kLarge = std::size_t{8} << 20;
    const std::size_t middle = bytes.size() < kLarge ? std::string::npos : bytes.find('<', bytes.size() / 2);
    if (middle == std::string::npos)
        return CTextCodec::FromGbk(bytes);
    const std::string_view whole(bytes);
    std::future<std::string> second;
    try {
        second = std::async(std::launch::async, [whole, middle] { return CTextCodec::FromGbk(whole.substr(middle)); });
    } catch (const std::system_error&) {
        return CTextCodec::FromGbk(bytes); // no thread to be had
    }
    std::string text = CTextCodec::FromGbk(whole.substr(0, middle));
    const std::string rest = second.get();
    text.reserve(text.size() + rest.size());
    text += rest;
    return text;
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
    return LoadText(ParserText(std::move(bytes)));
}

std::string CXmlFile::ParserText(std::string bytes)
{
    std::string text;
    // The parser sees valid UTF-8 only, so every text it gives is valid.
    const Encoding encoding = DetectEncoding(bytes);
    switch (encoding) {
    case Encoding::Utf8: text = CTextCodec::ToValidUtf8(std::move(bytes)); break;
    case Encoding::Gbk: text = FromGbkInHalves(bytes); break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
    case Encoding::Utf32Le:
    case Encoding::Utf32Be: {
        const bool wide = encoding == Encoding::Utf32Le || encoding == Encoding::Utf32Be;
        const bool bigEndian = encoding == Encoding::Utf16Be || encoding == Encoding::Utf32Be;
        text = FromUtf16Or32(bytes, wide ? 4 : 2, bigEndian);
        break;
    }
    }
    bytes = std::string(); // release the file bytes before parsing
    ReplaceInvalidReferences(text);
    return text;
}

bool CXmlFile::LoadText(std::string text)
{
    m_doc.reset();
    m_buffer = std::move(text);
    const pugi::xml_parse_result result =
        m_doc.load_buffer_inplace(m_buffer.data(), m_buffer.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result || !m_doc.document_element()) {
        m_doc.reset();
        m_buffer.clear();
        return false;
    }
    return true;
}
