#include "base/util/TextCodec.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <utility>
#include <vector>

namespace {

// One conversion descriptor per direction and thread; iconv descriptors
// keep state and must not be shared between threads.
class CConverter
{
public:
    CConverter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CConverter()
    {
        if (Valid())
            iconv_close(m_cd);
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + inLeft) as possible, appending to out.
    // Returns 0 when all was converted, else the errno that stopped it;
    // in and inLeft then point at the offending input.
    int Convert(const char*& in, std::size_t& inLeft, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char buffer[16384];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            char* inPtr = const_cast<char*>(in);
            const std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
            in = inPtr;
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (error != 0 && error != E2BIG)
                return error;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

CConverter& ToGb18030Converter()
{
    thread_local CConverter converter("GB18030", "UTF-8");
    return converter;
}

CConverter& FromGb18030Converter()
{
    thread_local CConverter converter("UTF-8", "GB18030");
    return converter;
}

// Length of the UTF-8 sequence at p (1..4), or 0 when it is not valid.
std::size_t Utf8Length(const unsigned char* p, std::size_t left, char32_t* code = nullptr)
{
    const unsigned char c = p[0];
    std::size_t length;
    char32_t value;
    if (c < 0x80) {
        if (code)
            *code = c;
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if ((length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF)))
        || (length == 4 && (value < 0x10000 || value > 0x10FFFF)))
        return 0;
    if (code)
        *code = value;
    return length;
}

constexpr char32_t kReplacement = 0xFFFD;
// GB18030 reads A2E3 as the euro sign, which the Windows code page keeps at
// 0x80; A2E3 is given the private-use character that stood in its place.
constexpr std::uint16_t kEuroInGb18030 = 0xA2E3;
constexpr char32_t kEuro = 0x20AC;
constexpr char32_t kEuroPlace = 0xE76C;
constexpr std::uint16_t kSingleEuro = 0x80;

// The two-byte part of the code page as tables, built once from the
// converter: every two-byte sequence to its code point, and each of those
// code points back to its sequence. Most text then converts without a call
// into iconv per character.
class CGbkTables
{
public:
    static const CGbkTables& Get()
    {
        static const CGbkTables tables;
        return tables;
    }

    static bool IsTrail(unsigned char trail) { return trail >= 0x40 && trail <= 0xFE && trail != 0x7F; }

    // Code point of the two-byte sequence lead, trail; 0 when there is none.
    char32_t Decode(unsigned char lead, unsigned char trail) const
    {
        if (lead < 0x81 || lead > 0xFE || !IsTrail(trail))
            return 0;
        return m_decode[Slot(lead, trail)];
    }
    // The bytes of a code point: lead << 8 | trail, 0x80 for the euro sign,
    // 0 when the code page has no one- or two-byte form for it.
    std::uint16_t Encode(char32_t code) const
    {
        if (code < 0x10000)
            return m_encode[code];
        for (const auto& [wide, bytes] : m_encodeWide)
            if (wide == code)
                return bytes;
        return 0;
    }

private:
    static std::size_t Slot(unsigned lead, unsigned trail) { return (lead - 0x81) * 191 + (trail - 0x40); }

    CGbkTables() : m_decode(126 * 191, 0), m_encode(0x10000, 0)
    {
        iconv_t decoder = iconv_open("UTF-32LE", "GB18030");
        if (decoder == reinterpret_cast<iconv_t>(-1))
            return;
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                std::uint32_t out = 0;
                char* inPtr = in;
                std::size_t inLeft = 2;
                char* outPtr = reinterpret_cast<char*>(&out);
                std::size_t outLeft = sizeof out;
                iconv(decoder, nullptr, nullptr, nullptr, nullptr);
                if (iconv(decoder, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || outLeft != 0
                    || out == 0 || out > 0x10FFFF)
                    continue;
                const auto bytes = static_cast<std::uint16_t>(lead << 8 | trail);
                const char32_t code = bytes == kEuroInGb18030 ? kEuroPlace : out;
                m_decode[Slot(lead, trail)] = code;
                if (code < 0x10000)
                    m_encode[code] = bytes;
                else
                    m_encodeWide.emplace_back(code, bytes);
            }
        }
        iconv_close(decoder);
        m_encode[kEuro] = kSingleEuro;
    }

    std::vector<char32_t> m_decode;
    std::vector<std::uint16_t> m_encode;
    // The few two-byte sequences that stand for characters beyond U+FFFF.
    std::vector<std::pair<char32_t, std::uint16_t>> m_encodeWide;
};

// Copies the run of ASCII bytes at p (the same in every encoding used
// here) and advances past it.
void AppendAsciiRun(std::string& out, const unsigned char*& p, std::size_t& left)
{
    const auto* run = p;
    // Eight bytes at a time while none has its high bit set.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::uint64_t word = 0;
    while (left >= sizeof word && (std::memcpy(&word, p, sizeof word), (word & kHighBits) == 0)) {
        p += sizeof word;
        left -= sizeof word;
    }
    while (left > 0 && *p < 0x80) {
        ++p;
        --left;
    }
    out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
}

// Characters that XML 1.0 does not allow, not even as a reference.
bool IsXmlChar(char32_t code)
{
    if (code < 0x20)
        return code == 0x09 || code == 0x0A || code == 0x0D;
    return code != 0xFFFE && code != 0xFFFF;
}

// The four-byte GB18030 form of a code point; U+FFFD's when the converter
// has none (a few private-use characters).
void AppendFourByte(std::string& out, char32_t code)
{
    std::string utf8;
    CTextCodec::AppendUtf8(utf8, code);
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    std::string encoded;
    if (ToGb18030Converter().Convert(in, inLeft, encoded) == 0 && !encoded.empty())
        out += encoded;
    else
        out += "\x84\x31\xA4\x37";
}

} // namespace

void CTextCodec::AppendUtf8(std::string& out, char32_t code)
{
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        code = kReplacement;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void CTextCodec::AppendGbk(std::string& out, const char* utf8, std::size_t size, bool characterReferences)
{
    const CGbkTables& tables = CGbkTables::Get();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    std::size_t left = size;
    while (left > 0) {
        if (*p < 0x80) {
            AppendAsciiRun(out, p, left);
            continue;
        }
        char32_t code = 0;
        std::size_t length = Utf8Length(p, left, &code);
        if (length == 0) {
            code = kReplacement;
            length = 1;
        }
        p += length;
        left -= length;
        if (const std::uint16_t bytes = tables.Encode(code)) {
            if (bytes > 0xFF)
                out += static_cast<char>(bytes >> 8);
            out += static_cast<char>(bytes & 0xFF);
        } else if (characterReferences) {
            char ref[16];
            std::snprintf(ref, sizeof ref, "&#x%X;", static_cast<unsigned>(IsXmlChar(code) ? code : kReplacement));
            out += ref;
        } else {
            AppendFourByte(out, code);
        }
    }
}

std::string CTextCodec::ToGbk(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    AppendGbk(out, utf8.data(), utf8.size(), false);
    return out;
}

std::string CTextCodec::ToGbkXml(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    AppendGbk(out, utf8.data(), utf8.size(), true);
    return out;
}

std::string CTextCodec::FromGbk(std::string_view bytes)
{
    const CGbkTables& tables = CGbkTables::Get();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            AppendAsciiRun(out, p, left);
            continue;
        }
        if (left >= 2) {
            if (const char32_t code = tables.Decode(lead, p[1])) {
                AppendUtf8(out, code);
                p += 2;
                left -= 2;
                continue;
            }
            if (left >= 4 && p[1] >= 0x30 && p[1] <= 0x39) {
                // A four-byte GB18030 sequence.
                const char* in = reinterpret_cast<const char*>(p);
                std::size_t inLeft = 4;
                std::string decoded;
                if (FromGb18030Converter().Convert(in, inLeft, decoded) == 0) {
                    out += decoded;
                    p += 4;
                    left -= 4;
                    continue;
                }
            }
        }
        AppendUtf8(out, lead == kSingleEuro ? kEuro : kReplacement);
        ++p;
        --left;
    }
    return out;
}

bool CTextCodec::IsGbkEncodable(const std::string& utf8)
{
    const CGbkTables& tables = CGbkTables::Get();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t left = utf8.size();
    while (left > 0) {
        char32_t code = 0;
        const std::size_t length = Utf8Length(p, left, &code);
        if (length == 0 || (code >= 0x80 && tables.Encode(code) == 0))
            return false;
        p += length;
        left -= length;
    }
    return true;
}

namespace {

// Length of the valid UTF-8 prefix of the bytes.
std::size_t ValidUtf8Prefix(const std::string& bytes)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
    std::size_t left = bytes.size();
    while (left > 0) {
        if (*p < 0x80) {
            ++p;
            --left;
            continue;
        }
        const std::size_t length = Utf8Length(p, left);
        if (length == 0)
            break;
        p += length;
        left -= length;
    }
    return static_cast<std::size_t>(p - begin);
}

} // namespace

bool CTextCodec::IsValidUtf8(const std::string& bytes)
{
    return ValidUtf8Prefix(bytes) == bytes.size();
}

std::string CTextCodec::ToValidUtf8(std::string bytes)
{
    const std::size_t valid = ValidUtf8Prefix(bytes);
    if (valid == bytes.size())
        return bytes;
    std::string out;
    out.reserve(bytes.size() + 16);
    out.append(bytes, 0, valid);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + valid;
    std::size_t left = bytes.size() - valid;
    while (left > 0) {
        const std::size_t length = *p < 0x80 ? 1 : Utf8Length(p, left);
        if (length == 0) {
            AppendUtf8(out, kReplacement);
            ++p;
            --left;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), length);
        p += length;
        left -= length;
    }
    return out;
}
