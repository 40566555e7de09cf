#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Reads the fields of one record, whose data may go on in continuation
// records (each a piece). Every read checks that its bytes are there and
// returns false when they are not, leaving the value untouched.
class CBiffCursor
{
public:
    explicit CBiffCursor(std::string_view data);
    explicit CBiffCursor(std::vector<std::string_view> pieces);
    // Starts over on the data of another record, keeping the memory.
    void Reset(std::string_view data);

    bool U8(std::uint8_t& value) { return Take(1, &value); }
    bool U16(std::uint16_t& value)
    {
        unsigned char bytes[2];
        if (!Take(2, bytes))
            return false;
        value = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
        return true;
    }
    bool U32(std::uint32_t& value);
    bool Double(double& value);
    bool Skip(std::size_t bytes);
    // Bytes left in all pieces.
    std::size_t Remaining() const { return m_left; }
    bool AtEnd() const { return Remaining() == 0; }

    // A string of the eight-version format (count of 16 bits, or of 8 bits
    // with shortCount, then option flags): its characters as UTF-8, the
    // formatting runs and phonetic data after it passed over. Where the
    // characters go on in the next piece, that piece starts with option
    // flags of its own, as writers split long strings.
    bool UnicodeString(std::string& utf8, bool shortCount = false);
    // A string of the older formats: a count (of 8 or 16 bits) and bytes in
    // the workbook's code page.
    bool ByteString(std::string& utf8, std::uint16_t codePage, bool shortCount = false);

    // Bytes of an 8-bit string in a code page as UTF-8: GBK for 936, UTF-8
    // for 65001, Latin-1 for everything else.
    static std::string Decode(std::string_view bytes, std::uint16_t codePage);

private:
    // Reads bytes bytes into out (none when out is null).
    bool Take(std::size_t bytes, unsigned char* out)
    {
        // Most fields lie within one piece.
        if (m_left >= bytes && m_piece < m_pieces.size() && m_pieces[m_piece].size() - m_pos >= bytes) {
            if (out)
                std::memcpy(out, m_pieces[m_piece].data() + m_pos, bytes);
            m_pos += bytes;
            m_left -= bytes;
            return true;
        }
        return TakeAcross(bytes, out);
    }
    // Take for a field that goes on in the next piece.
    bool TakeAcross(std::size_t bytes, unsigned char* out);
    // Moves past exhausted pieces; false when none is left.
    bool Settle();

    std::vector<std::string_view> m_pieces;
    std::size_t m_piece = 0;
    std::size_t m_pos = 0;
    std::size_t m_left = 0;
};
