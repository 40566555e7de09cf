#pragma once

#include "logic/import/SheetCell.h"
#include "logic/import/SheetText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads the records of a legacy workbook stream (the formats of versions 5
// and 8) that a list of values needs: the sheet list, the shared strings,
// the number formats that show dates, and the cells of a sheet. Nothing
// else of the file is looked at. Every length is checked against its
// record; what does not fit is reported as damage, and memory grows only
// with the records the stream really holds.
class CBiffReader
{
public:
    // One cell as a sheet holds it; its text (from the shared strings or the
    // cell itself) is taken out by Value.
    struct Cell
    {
        enum class Kind : std::uint8_t
        {
            Empty,
            Number,
            Text,
            Other, // a boolean or an error
        };
        std::uint16_t row = 0;
        std::uint16_t column = 0;
        Kind kind = Kind::Empty;
        std::uint16_t format = 0; // index of the cell's format record
        union
        {
            double number = 0.0;
            std::uint32_t text; // index into the texts
        };
    };

    // Reads the workbook's global records. False with GetError set when the
    // stream is no readable workbook.
    bool Open(std::string stream);
    const std::string& GetError() const { return m_error; }

    // The worksheets in tab order.
    std::size_t SheetCount() const { return m_sheets.size(); }
    const std::string& SheetName(std::size_t index) const { return m_sheets[index].name; }

    // The cells of a sheet that hold something, ordered by row and column;
    // where a cell is stored twice the later record counts. Replaces the
    // cells of the sheet read before.
    bool ReadSheet(std::size_t index, std::vector<Cell>& cells);
    // A cell as the import takes it: numbers in a date format as dates.
    CSheetCell Value(const Cell& cell) const;

private:
    struct Sheet
    {
        std::string name;
        std::size_t offset = 0; // of the sheet's first record
    };

    bool ReadSharedStrings(const std::vector<std::string_view>& pieces);
    bool AddCell(std::vector<Cell>& cells, std::uint16_t row, std::uint16_t column, std::uint16_t format);
    bool ReadText(const std::vector<std::string_view>& pieces, std::string& text);
    std::uint32_t AddText(const std::string& text);
    std::string_view Text(std::uint32_t index) const;
    bool Fail(std::string reason);

    std::string m_stream;
    std::string m_error;
    bool m_version8 = true;
    bool m_date1904 = false;
    std::uint16_t m_codePage = 1252;
    std::vector<Sheet> m_sheets;
    std::vector<std::optional<CSheetText::DateForm>> m_formatForms; // per format record
    // All texts in one block: the shared strings, then those of the sheet
    // last read.
    std::string m_textData;
    std::vector<std::size_t> m_textEnds;
    std::size_t m_sharedCount = 0;
};
