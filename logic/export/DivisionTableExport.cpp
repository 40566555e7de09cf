#include "logic/export/DivisionTableExport.h"

#include "core/DivisionTableData.h"

#include <algorithm>

namespace {

constexpr double kMinWidth = 6;
constexpr double kMaxWidth = 40;
constexpr double kMargin = 2;

// Display width of UTF-8 text: characters of two or more bytes (Chinese)
// count two, the rest one.
double DisplayWidth(const std::string& text)
{
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        width += length == 1 ? 1 : 2;
        i += length;
    }
    return width;
}

} // namespace

const char* const CDivisionTableExport::kTitle = "分班表";

CWorkbookWriter::Table CDivisionTableExport::Build(const CDivisionTableData& data, const std::string& className)
{
    CWorkbookWriter::Table table;
    table.title = className.empty() ? kTitle : className;
    const std::vector<std::string> titles = data.ColumnTitles();
    const int first = CDivisionTableData::ColumnNumber; // the id column stays hidden
    table.columns.assign(titles.begin() + first, titles.end());
    // The number, the scores and the total are figures; a score that is no
    // plain number (a leading zero, a word) stays text, and so do the
    // condition columns after the total.
    for (int c = first; c < static_cast<int>(titles.size()); ++c)
        table.numeric.push_back(c == CDivisionTableData::ColumnNumber || data.IsFigureColumn(c));

    std::vector<double> widest;
    for (const std::string& title : table.columns)
        widest.push_back(DisplayWidth(title));
    const int columns = data.GetColumnCount();
    table.rows.reserve(data.GetRowCount());
    for (std::size_t r = 0; r < data.GetRowCount(); ++r) {
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(columns - first));
        for (int c = first; c < columns; ++c) {
            row.push_back(data.CellText(r, c));
            double& width = widest[static_cast<std::size_t>(c - first)];
            width = std::max(width, DisplayWidth(row.back()));
        }
        table.rows.push_back(std::move(row));
    }
    for (double width : widest)
        table.widths.push_back(std::clamp(width + kMargin, kMinWidth, kMaxWidth));
    return table;
}
