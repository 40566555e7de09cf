#pragma once

#include <cstddef>
#include <string>

// Conversion between the UTF-8 text held in memory and the Chinese code page
// of the files (GBK). Characters that GBK lacks are written as GB18030
// sequences, so nothing a user typed is lost; reading decodes GB18030, a
// superset of GBK and GB2312.
class CTextCodec
{
public:
    // UTF-8 to GBK/GB18030 bytes. Invalid UTF-8 bytes are passed through.
    static std::string ToGbk(const std::string& utf8);
    // UTF-8 to GBK bytes for XML text: characters that GBK lacks become
    // character references ("&#x20000;"), so the file stays plain GBK and
    // reads back unchanged. Invalid UTF-8 bytes are passed through.
    static std::string ToGbkXml(const std::string& utf8);
    // Appends the GBK bytes of size bytes of UTF-8 text to out; characters
    // GBK lacks become GB18030 sequences or, with characterReferences, XML
    // character references.
    static void AppendGbk(std::string& out, const char* utf8, std::size_t size, bool characterReferences);
    // GBK/GB18030 bytes to UTF-8. Undecodable bytes become U+FFFD.
    static std::string FromGbk(const std::string& bytes);
    // True when every character of the UTF-8 text has a GBK encoding.
    static bool IsGbkEncodable(const std::string& utf8);
    // Appends one character (a code point below U+110000) in UTF-8.
    static void AppendUtf8(std::string& out, char32_t code);
    // True when the bytes are valid UTF-8.
    static bool IsValidUtf8(const std::string& bytes);
};
