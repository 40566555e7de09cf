#include "logic/import/BiffCursor.h"

#include "base/util/TextCodec.h"

#include <cstring>

namespace {

constexpr std::uint8_t kHighByte = 0x01;
constexpr std::uint8_t kPhonetic = 0x04;
constexpr std::uint8_t kRich = 0x08;

} // namespace

CBiffCursor::CBiffCursor(std::string_view data) : m_pieces{data}, m_left(data.size()) {}

CBiffCursor::CBiffCursor(std::vector<std::string_view> pieces) : m_pieces(std::move(pieces))
{
    for (std::string_view piece : m_pieces)
        m_left += piece.size();
}

void CBiffCursor::Reset(std::string_view data)
{
    m_pieces.assign(1, data);
    m_piece = 0;
    m_pos = 0;
    m_left = data.size();
}

bool CBiffCursor::Settle()
{
    while (m_piece < m_pieces.size() && m_pos >= m_pieces[m_piece].size()) {
        ++m_piece;
        m_pos = 0;
    }
    return m_piece < m_pieces.size();
}

bool CBiffCursor::TakeAcross(std::size_t bytes, unsigned char* out)
{
    if (Remaining() < bytes)
        return false;
    for (std::size_t i = 0; i < bytes; ++i) {
        Settle();
        const unsigned char byte = static_cast<unsigned char>(m_pieces[m_piece][m_pos++]);
        if (out)
            out[i] = byte;
    }
    m_left -= bytes;
    return true;
}

bool CBiffCursor::U32(std::uint32_t& value)
{
    unsigned char bytes[4];
    if (!Take(4, bytes))
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
            | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

bool CBiffCursor::Double(double& value)
{
    unsigned char bytes[8];
    if (!Take(8, bytes))
        return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[i];
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool CBiffCursor::Skip(std::size_t bytes)
{
    if (Remaining() < bytes)
        return false;
    while (bytes > 0) {
        Settle();
        const std::size_t step = std::min(bytes, m_pieces[m_piece].size() - m_pos);
        m_pos += step;
        bytes -= step;
        m_left -= step;
    }
    return true;
}

bool CBiffCursor::UnicodeString(std::string& utf8, bool shortCount)
{
    std::uint16_t count = 0;
    std::uint8_t shortValue = 0;
    std::uint8_t flags = 0;
    if (shortCount ? !U8(shortValue) : !U16(count))
        return false;
    if (shortCount)
        count = shortValue;
    if (!U8(flags))
        return false;
    std::uint16_t runs = 0;
    std::uint32_t phonetic = 0;
    if ((flags & kRich) && !U16(runs))
        return false;
    if ((flags & kPhonetic) && !U32(phonetic))
        return false;

    // The characters, perhaps split over pieces; every piece they go on in
    // starts with option flags that tell again whether they are stored in
    // one byte or two.
    std::u16string units;
    std::size_t left = count;
    bool wide = flags & kHighByte;
    while (left > 0) {
        if (m_piece >= m_pieces.size())
            return false;
        if (m_pos >= m_pieces[m_piece].size()) {
            ++m_piece;
            m_pos = 0;
            if (m_piece >= m_pieces.size() || m_pieces[m_piece].empty())
                return false;
            wide = static_cast<std::uint8_t>(m_pieces[m_piece][m_pos++]) & kHighByte;
            --m_left;
            continue;
        }
        const std::string_view piece = m_pieces[m_piece];
        const std::size_t width = wide ? 2 : 1;
        const std::size_t here = std::min(left, (piece.size() - m_pos) / width);
        if (here == 0)
            return false; // half a character at the end of a piece
        for (std::size_t i = 0; i < here; ++i) {
            const auto low = static_cast<unsigned char>(piece[m_pos + i * width]);
            const auto high = wide ? static_cast<unsigned char>(piece[m_pos + i * width + 1]) : 0;
            units.push_back(static_cast<char16_t>(low | high << 8));
        }
        m_pos += here * width;
        m_left -= here * width;
        left -= here;
    }
    if (!Skip(static_cast<std::size_t>(runs) * 4) || !Skip(phonetic))
        return false;

    utf8.clear();
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00
            && units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        CTextCodec::AppendUtf8(utf8, code);
    }
    return true;
}

bool CBiffCursor::ByteString(std::string& utf8, std::uint16_t codePage, bool shortCount)
{
    std::uint16_t count = 0;
    std::uint8_t shortValue = 0;
    if (shortCount ? !U8(shortValue) : !U16(count))
        return false;
    if (shortCount)
        count = shortValue;
    std::string bytes(std::min<std::size_t>(count, Remaining()), '\0');
    if (!Take(count, reinterpret_cast<unsigned char*>(bytes.data())))
        return false;
    utf8 = Decode(bytes, codePage);
    return true;
}

std::string CBiffCursor::Decode(std::string_view bytes, std::uint16_t codePage)
{
    if (codePage == 936)
        return CTextCodec::FromGbk(std::string(bytes));
    if (codePage == 65001)
        return CTextCodec::ToValidUtf8(std::string(bytes));
    std::string utf8;
    for (char c : bytes)
        CTextCodec::AppendUtf8(utf8, static_cast<unsigned char>(c));
    return utf8;
}
