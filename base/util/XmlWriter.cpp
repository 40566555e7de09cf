#include "base/util/XmlWriter.h"

#include "base/util/TextCodec.h"

#include <array>
#include <charconv>

namespace {

// ASCII that stands in the file as it is, in text and in attributes alike.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c)
        plain[static_cast<std::size_t>(c)] = c != '&' && c != '<' && c != '>' && c != '"';
    return plain;
}();

bool IsPlain(unsigned char c)
{
    return kPlain[c];
}

} // namespace

CXmlWriter::CXmlWriter()
{
    m_out = "<?xml version='1.0' encoding='GB2312'?>\r\n";
}

CXmlWriter CXmlWriter::Fragment()
{
    CXmlWriter fragment;
    fragment.m_out.clear();
    return fragment;
}

void CXmlWriter::Raw(std::string_view bytes)
{
    CloseStartTag();
    m_out += bytes;
    if (m_sink && m_out.size() >= m_piece)
        HandOver();
}

void CXmlWriter::CloseStartTag()
{
    if (m_startTagOpen) {
        m_out += '>';
        m_startTagOpen = false;
    }
}

void CXmlWriter::Start(const char* name)
{
    CloseStartTag();
    m_out += '<';
    m_out += name;
    m_open.push_back(name);
    m_startTagOpen = true;
}

void CXmlWriter::Attribute(const char* name, const std::string& value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    AppendEscaped(value, true);
    m_out += '"';
}

void CXmlWriter::Attribute(const char* name, long long value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(digits, written.ptr);
    m_out += '"';
}

void CXmlWriter::Text(const std::string& value)
{
    CloseStartTag();
    AppendEscaped(value, false);
}

void CXmlWriter::End()
{
    if (m_open.empty())
        return;
    if (m_startTagOpen) {
        m_out += "/>";
        m_startTagOpen = false;
    } else {
        m_out += "</";
        m_out += m_open.back();
        m_out += '>';
    }
    m_open.pop_back();
    if (m_sink && m_out.size() >= m_piece)
        HandOver();
}

void CXmlWriter::SetSink(std::function<bool(std::string_view)> sink, std::size_t piece)
{
    m_sink = std::move(sink);
    m_piece = piece;
    m_out.reserve(piece + piece / 4);
}

bool CXmlWriter::Finish()
{
    if (!m_out.empty())
        HandOver();
    return !m_sinkFailed;
}

void CXmlWriter::HandOver()
{
    if (!m_sink)
        return;
    m_sinkFailed = m_sinkFailed || !m_sink(m_out);
    m_out.clear();
}

void CXmlWriter::AppendEscaped(const std::string& value, bool attribute)
{
    const char* p = value.data();
    const char* end = p + value.size();
    while (p < end) {
        // Most of a value is plain text: copy it in one piece.
        const char* plain = p;
        while (p < end && IsPlain(static_cast<unsigned char>(*p)))
            ++p;
        if (p != plain)
            m_out.append(plain, static_cast<std::size_t>(p - plain));
        if (p == end)
            break;
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            const char* run = p;
            while (p < end && static_cast<unsigned char>(*p) >= 0x80)
                ++p;
            CTextCodec::AppendGbk(m_out, run, static_cast<std::size_t>(p - run), true);
            continue;
        }
        switch (c) {
        case '&': m_out += "&amp;"; break;
        case '<': m_out += "&lt;"; break;
        case '>': m_out += "&gt;"; break;
        case '"':
            if (attribute)
                m_out += "&quot;";
            else
                m_out += '"';
            break;
        default:
            if (c >= 0x20) {
                m_out += static_cast<char>(c);
            } else if (c != '\n' && c != '\t' && c != '\r') {
                // XML has no form for the other control characters, not
                // even a reference; a blank keeps the words apart.
                m_out += ' ';
            } else if (attribute || c == '\r') {
                // Line breaks and tabs in attributes, carriage returns
                // anywhere, would not read back as written.
                m_out += "&#";
                m_out += std::to_string(c);
                m_out += ';';
            } else {
                m_out += static_cast<char>(c);
            }
        }
        ++p;
    }
}
