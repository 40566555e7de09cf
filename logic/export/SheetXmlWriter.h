#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CSharedStrings;

// Writes one worksheet's XML top to bottom and hands it on in pieces as it
// grows, so that a sheet of many rows never stands whole in memory. Rows
// and columns count from 0 here; rows must come in ascending order and
// cells within a row too. Text cells refer to the workbook's shared
// strings.
class CSheetXmlWriter
{
public:
    using Sink = std::function<bool(std::string_view)>;

    struct Column
    {
        unsigned first = 0;
        unsigned last = 0;
        double width = 0; // in characters of the default font
        int style = 0;
    };

    CSheetXmlWriter(CSharedStrings& strings, Sink sink);

    // The sheet's head: its used range (e.g. "B2:P20003"), whether it is
    // the sheet shown when the workbook opens, and its columns.
    void Begin(std::string_view dimension, bool selected, const std::vector<Column>& columns);
    void BeginRow(std::uint32_t row, double height);
    void Text(unsigned column, std::string_view text, int style);
    void Number(unsigned column, double value, int style);
    void Blank(unsigned column, int style);
    void EndRow();
    // The sheet's tail with its merged ranges ("B2:P2"). False when a
    // piece could not be handed on or a cell could not be written.
    bool End(const std::vector<std::string>& merges);

    // The width a column of this many characters is stored with: the
    // characters' pixels with the cell's padding, in whole 256ths.
    static double StoredWidth(double characters);
    // The text of a cell reference: column 1, row 1 is "B2".
    static std::string Reference(unsigned column, std::uint32_t row);

private:
    void CellStart(unsigned column, int style);
    void Flush(bool always);

    CSharedStrings& m_strings;
    Sink m_sink;
    std::string m_buffer;
    std::string m_row;                     // the current row's number as text
    std::vector<std::string> m_columnNames; // letters of the columns used so far
    bool m_ok = true;
};
