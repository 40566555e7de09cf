#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small streaming XML reader for the large parts of a workbook: it holds
// only the token being read, never the document. No DTD is processed and
// no entity beyond the five predefined ones and character references is
// expanded.
//
// Views returned by Name, Attribute and Text stay valid until the next call
// of Next.
class CXmlPullParser
{
public:
    // Reads at most size bytes into buffer; returns how many were read, 0
    // at the end of the input, a negative number on a failure.
    using Source = std::function<long long(char* buffer, std::size_t size)>;

    enum class Token
    {
        StartElement, // <name ...> or <name .../>; the latter is followed by its EndElement
        EndElement,
        Text,  // character data or a CDATA section
        End,   // the input ended
        Error, // unreadable input, or a token longer than the limit
    };

    // maxToken bounds the size of one tag or one run of text.
    explicit CXmlPullParser(Source source, std::size_t maxToken = 64u << 20);

    Token Next();

    // Local name of the element, without a namespace prefix.
    std::string_view Name() const { return m_name; }
    // The attribute's value as written (see AppendDecoded); empty when the
    // element has no such attribute. The name is compared without prefix.
    std::string_view Attribute(std::string_view localName) const;
    bool HasAttribute(std::string_view localName) const;
    // Text as written; for a CDATA section IsRawText is true and the text
    // needs no decoding.
    std::string_view Text() const { return m_text; }
    bool IsRawText() const { return m_rawText; }

    // Appends the text with the predefined entities and character
    // references resolved. Unknown references are kept as written.
    static void AppendDecoded(std::string& out, std::string_view written);
    // Appends the current text token, decoded.
    void AppendText(std::string& out) const;

private:
    // Makes at least one more byte available after the current ones;
    // false at the end of the input or on a failure (m_failed).
    bool ReadMore();
    // Position of needle at or after from, reading more input as needed;
    // npos when the input ends first.
    std::size_t Find(std::string_view needle, std::size_t from);
    std::size_t FindTagEnd(std::size_t from);
    void ParseStartTag(std::size_t begin, std::size_t end);
    static std::string_view LocalName(std::string_view name);

    Source m_source;
    std::size_t m_maxToken;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    bool m_failed = false;

    std::string_view m_name;
    std::string m_pendingEnd; // name of a self-closed element still to end
    bool m_hasPendingEnd = false;
    std::string_view m_text;
    bool m_rawText = false;
    std::vector<std::pair<std::string_view, std::string_view>> m_attributes;
};
