#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The records of a legacy workbook stream, one after the other. Every
// record is checked to lie wholly inside the stream before it is handed
// out; the data is a view into the stream, which must outlive the records.
class CBiffStream
{
public:
    static constexpr std::uint16_t kContinue = 0x003C;
    // The largest record data a writer may store.
    static constexpr std::size_t kMaxRecordSize = 8224;

    struct Record
    {
        std::uint16_t type = 0;
        std::string_view data;
        std::size_t offset = 0; // of the record's header in the stream
    };

    explicit CBiffStream(std::string_view stream, std::size_t offset = 0);

    // The next record; false at the end of the stream (or of its padding)
    // and for a record that runs past the end, which Damaged then tells.
    bool Next(Record& record);
    bool Damaged() const { return m_damaged; }

    // The data of the continuation records right after the current one,
    // which are passed over; each is one piece.
    void TakeContinues(std::vector<std::string_view>& pieces);

private:
    bool Peek(Record& record, bool& damaged) const;

    std::string_view m_stream;
    std::size_t m_pos = 0;
    bool m_damaged = false;
};
