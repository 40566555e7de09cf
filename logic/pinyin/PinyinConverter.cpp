#include "logic/pinyin/PinyinConverter.h"

#include "base/util/TextCodec.h"

namespace {

bool IsGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool IsGbkTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

char ToLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

} // namespace

std::string CPinyinConverter::Transcribe(std::string_view gbk) const
{
    std::string out;
    out.reserve(gbk.size() * (m_initialsOnly ? 1 : 3));
    AppendTranscription(out, gbk);
    return out;
}

void CPinyinConverter::AppendTranscription(std::string& out, std::string_view gbk) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t size = gbk.size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            if (m_separator)
                out += '\'';
            continue;
        }
        const unsigned char d = i + 1 < size ? bytes[i + 1] : 0;
        if (c > 0xA0 && d > 0xA0) {
            AppendSyllable(out, GetSyllable(c * 100 + d - 16160));
            ++i;
        } else if (IsGbkLead(c) && IsGbkTrail(d)) {
            // A GBK character outside GB2312 is one unknown character; its
            // trail byte may look like a Latin letter and must not be copied.
            AppendSyllable(out, kUnknown);
            ++i;
        } else if (IsGbkLead(c) && IsDigit(d) && i + 3 < size && IsGbkLead(bytes[i + 2]) && IsDigit(bytes[i + 3])) {
            // A four-byte GB18030 character (one that GBK lacks).
            AppendSyllable(out, kUnknown);
            i += 3;
        }
        // Otherwise a stray lead byte: dropped, and the next byte is read
        // on its own.
    }
}

void CPinyinConverter::AppendSyllable(std::string& out, std::string_view syllable) const
{
    if (m_initialsOnly && !syllable.empty())
        syllable = syllable.substr(0, 1);
    const std::size_t start = out.size();
    out += syllable;
    if (!m_upperFirst && start < out.size())
        out[start] = ToLower(out[start]);
    if (!m_upperRest) {
        for (std::size_t k = start + 1; k < out.size(); ++k)
            out[k] = ToLower(out[k]);
    }
    if (m_separator)
        out += '\'';
}

std::string_view CPinyinConverter::GetSyllable(int code)
{
    const int zone = code / 100;
    const int position = code % 100;
    if (code < 0 || zone < kFirstZone || zone > kLastZone || position < 1 || position > kPositionsPerZone)
        return kUnknown;
    const std::uint16_t index = s_syllableOfCode[(zone - kFirstZone) * kPositionsPerZone + position - 1];
    return index == kNoSyllable ? kUnknown : s_syllables[index];
}

std::string CPinyinConverter::SoundKey(const std::string& name)
{
    CPinyinConverter converter;
    converter.SetSeparator(true);
    const std::string key = converter.Transcribe(CTextCodec::ToGbk(name));
    return key.find(kUnknown) == std::string::npos ? key : name;
}
