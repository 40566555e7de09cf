#pragma once

#include <array>
#include <string>

// The cell styles of an exported workbook. A style gets its number when a
// cell or column first uses it, so the styles part lists only the styles
// in use, in that order.
class CWorkbookStyles
{
public:
    enum class Style
    {
        Plain,  // the columns: centred and wrapped text, the sheet's default font
        Title,  // the title line: the table's font, 14 points
        Note,   // notes and footnotes: the table's font, 11 points
        Header, // column titles: bold, grey, framed
        Data,   // texts of the rows, framed
        Number  // figures of the rows, framed, in the General format
    };

    // The style's number in the styles part.
    int Index(Style style);
    // The styles part; fontName is the table's font.
    std::string Xml(const std::string& fontName) const;

private:
    static constexpr std::size_t kStyles = 6;
    std::array<int, kStyles> m_index{-1, -1, -1, -1, -1, -1};
    std::array<Style, kStyles> m_order{};
    int m_used = 0;
};
