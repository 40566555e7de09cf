#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversion between the UTF-8 text held in memory and the Chinese code page
// of the files (GBK, read as GB18030, its superset).
//
// Every sequence of the code page reads as its own character and is written
// back as the same bytes: each of the 23,940 two-byte sequences (the
// user-defined areas and the few that stand for characters beyond the
// Basic Multilingual Plane included), the single byte 0x80 (the euro sign
// of the Windows code page) and the four-byte sequences of GB18030. A2E3,
// which GB18030 also reads as the euro sign, reads as the private-use
// character U+E76C instead, so that 0x80 and A2E3 each come back as they
// were. Characters with no two-byte form are written as four-byte GB18030
// sequences, or as character references in XML.
//
// Text in memory is always valid UTF-8: whatever cannot be decoded becomes
// U+FFFD, one for each byte, and the bytes after it are read on their own.
class CTextCodec
{
public:
    // UTF-8 to GBK/GB18030 bytes.
    static std::string ToGbk(const std::string& utf8);
    // UTF-8 to GBK bytes for XML text: characters without a two-byte form
    // become character references ("&#x20000;"), so the file stays plain GBK
    // and reads back unchanged.
    static std::string ToGbkXml(const std::string& utf8);
    // Appends the bytes of size bytes of UTF-8 text to out, as ToGbk or, with
    // characterReferences, as ToGbkXml. Bytes that are not UTF-8 are written
    // as U+FFFD.
    static void AppendGbk(std::string& out, const char* utf8, std::size_t size, bool characterReferences);
    // GBK/GB18030 bytes to UTF-8.
    static std::string FromGbk(std::string_view bytes);
    // True when every character of the UTF-8 text has a one- or two-byte
    // form in the code page.
    static bool IsGbkEncodable(const std::string& utf8);
    // True when the bytes are valid UTF-8.
    static bool IsValidUtf8(const std::string& bytes);
    // The bytes as valid UTF-8: every byte that does not belong to a valid
    // sequence becomes U+FFFD.
    static std::string ToValidUtf8(std::string bytes);
    // Appends the UTF-8 form of a code point (U+FFFD for a surrogate or a
    // value beyond U+10FFFF).
    static void AppendUtf8(std::string& out, char32_t code);
};
