#include "logic/import/XmlPullParser.h"

#include "base/util/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;
constexpr std::size_t kFirstBuffer = 256u << 10;
constexpr std::size_t kMaxAttributes = 1024;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The character an entity stands for, appended to out; false when the
// entity is not one this reader knows.
bool AppendEntity(std::string& out, std::string_view entity)
{
    if (entity == "lt")
        out += '<';
    else if (entity == "gt")
        out += '>';
    else if (entity == "amp")
        out += '&';
    else if (entity == "quot")
        out += '"';
    else if (entity == "apos")
        out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x' || entity[1] == 'X';
        const std::string_view digits = entity.substr(hex ? 2 : 1);
        unsigned long code = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size() || code == 0
            || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        CTextCodec::AppendUtf8(out, static_cast<char32_t>(code));
    } else {
        return false;
    }
    return true;
}

} // namespace

CXmlPullParser::CXmlPullParser(Source source, std::size_t maxToken)
    : m_source(std::move(source)), m_maxToken(std::max<std::size_t>(maxToken, 1024))
{
    m_buffer.resize(std::min(kFirstBuffer, m_maxToken));
    m_attributes.reserve(8);
}

bool CXmlPullParser::ReadMore()
{
    if (m_eof || m_failed)
        return false;
    if (m_pos > 0 && (m_end == m_buffer.size() || m_pos >= m_buffer.size() / 2)) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_end == m_buffer.size()) {
        // One token fills the whole buffer.
        if (m_buffer.size() >= m_maxToken) {
            m_failed = true;
            return false;
        }
        m_buffer.resize(std::min(m_buffer.size() * 2, m_maxToken));
    }
    const long long count = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (count < 0) {
        m_failed = true;
        return false;
    }
    if (count == 0) {
        m_eof = true;
        return false;
    }
    m_end += static_cast<std::size_t>(count);
    return true;
}

std::size_t CXmlPullParser::Find(std::string_view needle, std::size_t from)
{
    for (;;) {
        const std::string_view data(m_buffer.data() + m_pos, m_end - m_pos);
        const std::size_t found = data.find(needle, from);
        if (found != kNotFound)
            return found;
        if (data.size() >= needle.size())
            from = std::max(from, data.size() - needle.size() + 1);
        if (!ReadMore())
            return kNotFound;
    }
}

std::size_t CXmlPullParser::FindTagEnd(std::size_t from)
{
    char quote = 0;
    std::size_t i = from;
    for (;;) {
        const char* data = m_buffer.data() + m_pos;
        const std::size_t size = m_end - m_pos;
        for (; i < size; ++i) {
            const char c = data[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return i;
            }
        }
        if (!ReadMore())
            return kNotFound;
    }
}

std::string_view CXmlPullParser::LocalName(std::string_view name)
{
    const std::size_t colon = name.find(':');
    return colon == kNotFound ? name : name.substr(colon + 1);
}

void CXmlPullParser::ParseStartTag(std::size_t begin, std::size_t end)
{
    const std::string_view tag(m_buffer.data() + begin, end - begin);
    std::size_t i = 0;
    while (i < tag.size() && !IsSpace(tag[i]))
        ++i;
    m_name = LocalName(tag.substr(0, i));
    while (i < tag.size()) {
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        const std::size_t nameBegin = i;
        while (i < tag.size() && tag[i] != '=' && !IsSpace(tag[i]))
            ++i;
        const std::string_view name = tag.substr(nameBegin, i - nameBegin);
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            break;
        ++i;
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
            break;
        const char quote = tag[i++];
        const std::size_t valueEnd = tag.find(quote, i);
        if (valueEnd == kNotFound)
            break;
        // No element of a workbook has this many; more would only cost memory.
        if (m_attributes.size() < kMaxAttributes)
            m_attributes.emplace_back(LocalName(name), tag.substr(i, valueEnd - i));
        i = valueEnd + 1;
    }
}

CXmlPullParser::Token CXmlPullParser::Next()
{
    if (m_hasPendingEnd) {
        m_hasPendingEnd = false;
        m_name = m_pendingEnd;
        return Token::EndElement;
    }
    m_attributes.clear();
    m_rawText = false;
    for (;;) {
        if (m_failed)
            return Token::Error;
        if (m_pos == m_end && !ReadMore())
            return m_failed ? Token::Error : Token::End;

        if (m_buffer[m_pos] != '<') {
            std::size_t length = Find("<", 0);
            if (length == kNotFound) {
                if (m_failed)
                    return Token::Error;
                length = m_end - m_pos;
            }
            m_text = std::string_view(m_buffer.data() + m_pos, length);
            m_pos += length;
            return Token::Text;
        }

        while (m_end - m_pos < 2 && ReadMore()) {
        }
        if (m_failed)
            return Token::Error;
        const char second = m_end - m_pos >= 2 ? m_buffer[m_pos + 1] : '\0';
        if (second == '/') {
            const std::size_t at = Find(">", 2);
            if (at == kNotFound)
                return Token::Error;
            std::string_view name(m_buffer.data() + m_pos + 2, at - 2);
            while (!name.empty() && IsSpace(name.back()))
                name.remove_suffix(1);
            m_name = LocalName(name);
            m_pos += at + 1;
            return Token::EndElement;
        }
        if (second != '?' && second != '!') {
            const std::size_t at = FindTagEnd(1);
            if (at == kNotFound)
                return Token::Error;
            const bool selfClosed = m_buffer[m_pos + at - 1] == '/';
            ParseStartTag(m_pos + 1, m_pos + at - (selfClosed ? 1 : 0));
            m_pos += at + 1;
            if (selfClosed) {
                m_pendingEnd.assign(m_name);
                m_hasPendingEnd = true;
            }
            return Token::StartElement;
        }

        // Declarations, processing instructions, comments, CDATA sections.
        while (m_end - m_pos < 9 && ReadMore()) {
        }
        if (m_failed)
            return Token::Error;
        const std::string_view head(m_buffer.data() + m_pos, m_end - m_pos);
        std::size_t skip = kNotFound;
        if (head.starts_with("<?")) {
            const std::size_t at = Find("?>", 2);
            skip = at == kNotFound ? kNotFound : at + 2;
        } else if (head.starts_with("<!--")) {
            const std::size_t at = Find("-->", 4);
            skip = at == kNotFound ? kNotFound : at + 3;
        } else if (head.starts_with("<![CDATA[")) {
            const std::size_t at = Find("]]>", 9);
            if (at == kNotFound)
                return Token::Error;
            m_text = std::string_view(m_buffer.data() + m_pos + 9, at - 9);
            m_rawText = true;
            m_pos += at + 3;
            return Token::Text;
        } else {
            // A document type declaration, perhaps with an internal subset:
            // skipped, never interpreted.
            std::size_t at = Find(">", 2);
            if (at != kNotFound) {
                const std::size_t bracket = std::string_view(m_buffer.data() + m_pos, at).find('[', 2);
                if (bracket != kNotFound) {
                    const std::size_t close = Find("]", bracket);
                    at = close == kNotFound ? kNotFound : Find(">", close);
                }
            }
            skip = at == kNotFound ? kNotFound : at + 1;
        }
        if (skip == kNotFound)
            return Token::Error;
        m_pos += skip;
    }
}

std::string_view CXmlPullParser::Attribute(std::string_view localName) const
{
    for (const auto& [name, value] : m_attributes) {
        // Most names are a letter or two: the first letter settles most
        // comparisons without a call.
        if (name.size() == localName.size() && !name.empty() && name[0] == localName[0] && name == localName)
            return value;
    }
    return std::string_view();
}

bool CXmlPullParser::HasAttribute(std::string_view localName) const
{
    return std::any_of(m_attributes.begin(), m_attributes.end(),
                       [&](const auto& attribute) { return attribute.first == localName; });
}

void CXmlPullParser::AppendDecoded(std::string& out, std::string_view written)
{
    std::size_t i = 0;
    while (i < written.size()) {
        const std::size_t amp = written.find('&', i);
        if (amp == kNotFound) {
            out.append(written.substr(i));
            return;
        }
        out.append(written.substr(i, amp - i));
        const std::size_t semicolon = written.find(';', amp + 1);
        if (semicolon != kNotFound && semicolon - amp <= 12
            && AppendEntity(out, written.substr(amp + 1, semicolon - amp - 1))) {
            i = semicolon + 1;
        } else {
            out += '&';
            i = amp + 1;
        }
    }
}

void CXmlPullParser::AppendText(std::string& out) const
{
    if (m_rawText)
        out.append(m_text);
    else
        AppendDecoded(out, m_text);
}
