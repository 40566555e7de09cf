#pragma once

#include "logic/import/SheetRowStore.h"
#include "logic/import/SheetSource.h"

#include <memory>
#include <string>
#include <vector>

// Reads the table of a spreadsheet file for an import: .xlsx, .xls, .csv
// and web pages saved as .xls, told apart by their content, not by their
// name. Gives the header row and then the record rows of the used block of
// a worksheet, one at a time. The sheet is read once: its rows are kept
// compactly while the header and the table's extent are found, and the
// records then come from them; a sheet too large to keep is read a second
// time instead, so that a sheet of any length is read in bounded memory.
//
// The worksheet is the first in tab order. When a header name is set and
// the first row of the used block has no cell of that name (a title row
// above the table), the header is the first of the next nine rows that has
// one; when the first worksheet has no such row at all (a notes sheet
// before the list), the first later worksheet that has one is taken.
//
//     CSpreadsheetReader reader;
//     reader.SetHeaderName("姓名");
//     if (!reader.Open(path)) show(reader.GetFailureText());
//     submit(reader.GetHeader());                 // header: not trimmed
//     std::vector<std::string> cells;
//     int position = 0;
//     while (reader.ReadRecord(cells, position))  // records: trimmed
//         submit(cells), progress(position * 100 / reader.GetRowCount());
//     if (reader.Failed()) show(reader.GetFailureText());
class CSpreadsheetReader
{
public:
    // The first line of the message of a file that cannot be read;
    // GetFailureText adds the reason (missing, unreadable, not a
    // spreadsheet, damaged, encrypted, ...) on a line of its own.
    static const char* const kParseFailure;

    CSpreadsheetReader();
    ~CSpreadsheetReader();
    CSpreadsheetReader(const CSpreadsheetReader&) = delete;
    CSpreadsheetReader& operator=(const CSpreadsheetReader&) = delete;

    // The name that marks the header row; empty (the default) takes the
    // first row of the first worksheet. Compared without surrounding blanks,
    // spaces and letter case.
    void SetHeaderName(const std::string& name) { m_headerName = name; }
    // How many bytes of a sheet's rows are kept so that the sheet is read
    // only once; a larger sheet is read a second time for its records.
    void SetKeptBytes(std::size_t bytes) { m_keptBytes = bytes; }

    // Opens the file, finds the worksheet and its header row. False when
    // the file cannot be read; GetError tells why.
    bool Open(const std::string& path);
    // Closes the file; also done by the destructor.
    void Close();

    // Why opening or reading failed, in plain Chinese; empty when nothing did.
    const std::string& GetError() const { return m_error; }
    bool Failed() const { return !m_error.empty(); }
    // kParseFailure followed by a line with the reason.
    std::string GetFailureText() const;

    std::string GetSheetName() const { return m_sheetName; }
    // Whether a row with the header name was found.
    bool IsHeaderFound() const { return m_headerFound; }
    // Sheet position (from 1) of the header row and of the block's first
    // column.
    int GetFirstRow() const { return m_headerRow + 1; }
    int GetFirstColumn() const { return m_firstColumn + 1; }
    // Rows from the header row to the last used row, the header counted;
    // 0 for an empty sheet.
    int GetRowCount() const { return m_rowCount; }
    int GetColumnCount() const { return m_columnCount; }

    // The header cells, one per column of the block, as text, not trimmed.
    const std::vector<std::string>& GetHeader() const { return m_header; }
    // The next record row: one text per column of the block, trimmed, and
    // its position in the block counting the header as 1. Rows without any
    // value are passed over. False after the last row or on a failure.
    bool ReadRecord(std::vector<std::string>& cells, int& position);

private:
    struct Scan;

    // Open and ReadRecord, which turn any exception into a failure.
    bool OpenTable(const std::string& path);
    bool NextRecord(std::vector<std::string>& cells, int& position);
    bool NextKeptRecord(std::vector<std::string>& cells, int& position);
    bool OpenSource(const std::string& path);
    bool ScanSheet(std::size_t index, bool giveUpWithoutHeader, Scan& scan);
    bool IsHeaderRow(const CSheetSource::Row& row) const;
    bool Fail(const std::string& reason);

    std::string m_headerName;
    std::size_t m_keptBytes;
    std::unique_ptr<CSheetSource> m_source;
    std::string m_error;
    std::string m_sheetName;
    bool m_headerFound = false;
    int m_headerRow = 0;
    int m_lastRow = -1;
    int m_firstColumn = 0;
    int m_rowCount = 0;
    int m_columnCount = 0;
    std::vector<std::string> m_header;
    CSheetSource::Row m_row;
    std::unique_ptr<CSheetRowStore> m_kept; // the sheet's rows, when read once
    std::size_t m_nextKept = 0;
};
