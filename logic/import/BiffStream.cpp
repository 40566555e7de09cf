#include "logic/import/BiffStream.h"

CBiffStream::CBiffStream(std::string_view stream, std::size_t offset) : m_stream(stream), m_pos(offset) {}

bool CBiffStream::Peek(Record& record, bool& damaged) const
{
    damaged = false;
    if (m_pos > m_stream.size() || m_stream.size() - m_pos < 4) {
        // A few bytes of padding may follow the last record.
        return false;
    }
    const auto byte = [this](std::size_t at) { return static_cast<unsigned char>(m_stream[m_pos + at]); };
    const std::uint16_t type = static_cast<std::uint16_t>(byte(0) | byte(1) << 8);
    const std::size_t size = static_cast<std::size_t>(byte(2) | byte(3) << 8);
    if (type == 0 && size == 0)
        return false; // padding after the last record
    if (size > kMaxRecordSize || size > m_stream.size() - m_pos - 4) {
        damaged = true;
        return false;
    }
    record.type = type;
    record.data = m_stream.substr(m_pos + 4, size);
    record.offset = m_pos;
    return true;
}

bool CBiffStream::Next(Record& record)
{
    bool damaged = false;
    if (!Peek(record, damaged)) {
        m_damaged = damaged;
        return false;
    }
    m_pos += 4 + record.data.size();
    return true;
}

void CBiffStream::TakeContinues(std::vector<std::string_view>& pieces)
{
    Record next;
    bool damaged = false;
    while (Peek(next, damaged) && next.type == kContinue) {
        pieces.push_back(next.data);
        m_pos += 4 + next.data.size();
    }
}
