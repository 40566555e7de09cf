#pragma once

#include "logic/import/SheetSource.h"

#include <fstream>
#include <string>
#include <vector>

// A table saved as text: comma-separated values (or tab-separated when the
// first line says so), in UTF-8 with or without byte-order mark, or in GBK;
// the encoding is told from the bytes. Every field is text, as written.
class CCsvSource : public CSheetSource
{
public:
    bool Open(const std::string& path);

    std::vector<std::string> SheetNames() const override;
    bool BeginSheet(std::size_t index) override;
    bool NextRow(Row& row) override;

private:
    // The next byte, or -1 at the end of the file.
    int Get();
    int Peek();
    bool Refill();
    // Reads one record into m_fields; false at the end of the file.
    bool ReadRecord();

    std::string m_path;
    std::ifstream m_in;
    std::size_t m_chunk = 0; // bytes read at a time
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_utf8 = true;
    std::size_t m_bomSize = 0;
    char m_separator = ',';
    int m_record = 0;
    std::vector<std::string> m_fields;
};
