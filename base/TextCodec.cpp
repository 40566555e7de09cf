#include "TextCodec.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

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

CConverter& ToGbkConverter()
{
    thread_local CConverter converter("GBK", "UTF-8");
    return converter;
}

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

enum class Fallback
{
    Gb18030,
    CharReference,
};

std::string EncodeGbk(const std::string& utf8, Fallback fallback)
{
    std::string out;
    out.reserve(utf8.size());
    CConverter& gbk = ToGbkConverter();
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!gbk.Valid())
        return utf8;
    while (left > 0) {
        if (gbk.Convert(in, left, out) == 0)
            break;
        // One character GBK cannot take (or a byte that is not UTF-8).
        const auto* p = reinterpret_cast<const unsigned char*>(in);
        char32_t code = 0;
        const std::size_t length = Utf8Length(p, left, &code);
        if (length == 0) {
            out += *in;
            ++in;
            --left;
            continue;
        }
        if (fallback == Fallback::CharReference) {
            char ref[16];
            std::snprintf(ref, sizeof ref, "&#x%X;", static_cast<unsigned>(code));
            out += ref;
        } else {
            const char* one = in;
            std::size_t oneLeft = length;
            std::string encoded;
            if (ToGb18030Converter().Convert(one, oneLeft, encoded) == 0)
                out += encoded;
            else
                out.append(in, length);
        }
        in += length;
        left -= length;
    }
    return out;
}

} // namespace

std::string CTextCodec::ToGbk(const std::string& utf8)
{
    return EncodeGbk(utf8, Fallback::Gb18030);
}

std::string CTextCodec::ToGbkXml(const std::string& utf8)
{
    return EncodeGbk(utf8, Fallback::CharReference);
}

std::string CTextCodec::FromGbk(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    CConverter& converter = FromGb18030Converter();
    if (!converter.Valid())
        return bytes;
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        if (converter.Convert(in, left, out) == 0)
            break;
        // The code page's euro sign is a single byte that GB18030 lacks.
        if (static_cast<unsigned char>(*in) == 0x80)
            out += "\xE2\x82\xAC";
        else
            out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

bool CTextCodec::IsGbkEncodable(const std::string& utf8)
{
    CConverter& gbk = ToGbkConverter();
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    std::string out;
    return gbk.Valid() && gbk.Convert(in, left, out) == 0;
}

bool CTextCodec::IsValidUtf8(const std::string& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        const std::size_t length = Utf8Length(p, left);
        if (length == 0)
            return false;
        p += length;
        left -= length;
    }
    return true;
}
