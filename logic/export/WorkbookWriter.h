#pragma once

#include <optional>
#include <string>
#include <vector>

// Writes a table into a new .xlsx workbook: column A left as a margin, the
// title in row 2 merged over the table's columns, any notes below it, the
// column titles in the next row (bold, grey, framed), then the rows
// (framed) and any footnotes; every cell centred and wrapped. Texts are text cells; in a column marked numeric, a text
// that is a plain number is a number cell in the General format, which shows
// it as the text did (see NumberOf). The file is written beside its target
// and renamed over it only when complete.
class CWorkbookWriter
{
public:
    struct Table
    {
        std::string title;                          // sheet name and title line
        std::string sheetName;                      // instead of the title, when given
        std::vector<std::string> notes;             // lines between the title and the table
        std::vector<std::string> footnotes;         // lines under the table
        std::vector<std::string> columns;           // column titles
        std::vector<std::vector<std::string>> rows; // one text per column
        std::vector<double> widths;                 // per column, in character units
        std::vector<bool> numeric;                  // per column; missing: text
        std::string fontName = "宋体";
    };

    // The message shown when an export fails.
    static const char* const kExportFailure;

    // False when the workbook could not be written; error tells why in
    // plain Chinese, and the file at path is left as it was.
    static bool ExportTable(const std::string& path, const Table& table, std::string& error);
    // One sheet per table, in order. Sheet names that would repeat get
    // " (2)", " (3)", ... added.
    static bool ExportTables(const std::string& path, const std::vector<Table>& tables, std::string& error);

    // The value of a text that a number cell in the General format shows
    // unchanged: an optional minus, digits without a leading zero (a lone 0
    // before the point is fine), an optional fraction not ending in 0, at
    // most 15 digits in all (beyond that a spreadsheet rounds). Anything
    // else ("085", "1e3", " 5", "90.50", "缺考") stays text.
    static std::optional<double> NumberOf(const std::string& text);

    // The title made fit for a sheet name: at most 31 characters, without
    // the characters sheet names may not hold.
    static std::string SheetName(const std::string& title);
};
