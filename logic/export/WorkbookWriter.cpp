#include "logic/export/WorkbookWriter.h"

#include "base/util/FileUtil.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <string_view>

namespace {

constexpr lxw_row_t kTitleRow = 1;
constexpr lxw_row_t kFirstDataRow = 3; // without notes
constexpr lxw_col_t kFirstColumn = 1;
constexpr lxw_col_t kLastSheetColumn = 16383;
constexpr std::size_t kMaxColumns = kLastSheetColumn; // column A is the margin
constexpr std::size_t kMaxRows = 1048576 - kFirstDataRow;
// The spreadsheet's colour indexes 15 (grey) and 1 (black).
constexpr lxw_color_t kHeaderFill = 0xC0C0C0;
constexpr lxw_color_t kBorder = 0x000000;

struct WorkbookCloser
{
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// text: the text format ("@"), else General, which shows a number as the
// table does (85, 92.5).
lxw_format* NewFormat(lxw_workbook* workbook, const std::string& font, double size, bool text = true)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_align(format, LXW_ALIGN_CENTER);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    format_set_text_wrap(format);
    if (text)
        format_set_num_format(format, "@");
    if (size > 0) {
        format_set_font_name(format, font.c_str());
        format_set_font_size(format, size);
    }
    return format;
}

lxw_format* Framed(lxw_format* format)
{
    format_set_border(format, LXW_BORDER_THIN);
    format_set_border_color(format, kBorder);
    return format;
}

struct Formats
{
    lxw_format* plain;
    lxw_format* title;
    lxw_format* note;
    lxw_format* header;
    lxw_format* data;
    lxw_format* number;
};

// A line of text over the table's columns.
bool WriteLine(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t last, const std::string& text, lxw_format* format,
               double height)
{
    bool ok = worksheet_set_row(sheet, row, height, nullptr) == LXW_NO_ERROR;
    if (last > kFirstColumn)
        return ok && worksheet_merge_range(sheet, row, kFirstColumn, row, last, text.c_str(), format) == LXW_NO_ERROR;
    return ok && worksheet_write_string(sheet, row, kFirstColumn, text.c_str(), format) == LXW_NO_ERROR;
}

bool WriteSheet(lxw_worksheet* sheet, const CWorkbookWriter::Table& table, const Formats& formats)
{
    const std::size_t columns = table.columns.size();
    const double standard = columns == 0 ? 12.0 : static_cast<double>(65 / static_cast<int>(columns));
    bool ok = true;

    // Rows are written top to bottom, as the streaming writer requires.
    const lxw_col_t last = static_cast<lxw_col_t>(kFirstColumn + std::max<std::size_t>(columns, 1) - 1);
    lxw_row_t next = kTitleRow;
    ok = ok && WriteLine(sheet, next++, last, table.title, formats.title, 32);
    for (const std::string& note : table.notes)
        ok = ok && WriteLine(sheet, next++, last, note, formats.note, 20);

    const lxw_row_t headerRow = next++;
    ok = ok && worksheet_set_row(sheet, headerRow, 18, nullptr) == LXW_NO_ERROR;
    for (std::size_t c = 0; c < columns && ok; ++c)
        ok = worksheet_write_string(sheet, headerRow, static_cast<lxw_col_t>(kFirstColumn + c),
                                    table.columns[c].c_str(), formats.header)
             == LXW_NO_ERROR;

    for (std::size_t r = 0; r < table.rows.size() && ok; ++r) {
        const lxw_row_t row = next++;
        ok = worksheet_set_row(sheet, row, 18, nullptr) == LXW_NO_ERROR;
        for (std::size_t c = 0; c < columns && ok; ++c) {
            const std::string& text = c < table.rows[r].size() ? table.rows[r][c] : std::string();
            const lxw_col_t column = static_cast<lxw_col_t>(kFirstColumn + c);
            const bool numeric = c < table.numeric.size() && table.numeric[c];
            const std::optional<double> value = numeric ? CWorkbookWriter::NumberOf(text) : std::nullopt;
            // An empty cell still gets its frame.
            lxw_error written = LXW_NO_ERROR;
            if (text.empty())
                written = worksheet_write_blank(sheet, row, column, formats.data);
            else if (value)
                written = worksheet_write_number(sheet, row, column, *value, formats.number);
            else
                written = worksheet_write_string(sheet, row, column, text.c_str(), formats.data);
            ok = written == LXW_NO_ERROR;
        }
    }
    for (const std::string& footnote : table.footnotes)
        ok = ok && WriteLine(sheet, next++, last, footnote, formats.note, 20);
    // The column widths and formats last: a format on the columns past the
    // table widens the sheet's used range to the last column, and the
    // streaming writer would then walk all of its columns for every row.
    // The columns are written out only when the workbook closes, so the
    // file is the same.
    ok = ok && worksheet_set_column(sheet, 0, 0, 3, formats.plain) == LXW_NO_ERROR;
    for (std::size_t c = 0; c < columns; ++c) {
        const double width = c < table.widths.size() ? table.widths[c] : standard;
        const lxw_col_t column = static_cast<lxw_col_t>(kFirstColumn + c);
        ok = ok && worksheet_set_column(sheet, column, column, width, formats.plain) == LXW_NO_ERROR;
    }
    const lxw_col_t after = static_cast<lxw_col_t>(kFirstColumn + columns);
    if (after <= kLastSheetColumn)
        ok = ok && worksheet_set_column(sheet, after, kLastSheetColumn, standard, formats.plain) == LXW_NO_ERROR;
    return ok;
}

// The sheet names of the tables, each given once.
std::vector<std::string> SheetNames(const std::vector<CWorkbookWriter::Table>& tables)
{
    std::vector<std::string> names;
    auto taken = [&names](const std::string& name) {
        const auto lower = [](std::string text) {
            for (char& c : text)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            return text;
        };
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& other) { return lower(other) == lower(name); });
    };
    for (const auto& table : tables) {
        const std::string base = table.sheetName.empty() ? table.title : table.sheetName;
        std::string name = CWorkbookWriter::SheetName(base);
        for (int n = 2; taken(name); ++n) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            // Room for the suffix within the 31 characters of a name.
            std::string shorter = CWorkbookWriter::SheetName(base);
            while (!shorter.empty() && CWorkbookWriter::SheetName(shorter + suffix) != shorter + suffix) {
                std::size_t cut = shorter.size() - 1;
                while (cut > 0 && (static_cast<unsigned char>(shorter[cut]) & 0xC0) == 0x80)
                    --cut;
                shorter.erase(cut);
            }
            name = shorter + suffix;
        }
        names.push_back(name);
    }
    return names;
}

bool Write(const std::string& path, const std::vector<CWorkbookWriter::Table>& tables)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookCloser> owner(workbook_new_opt(path.c_str(), &options));
    lxw_workbook* workbook = owner.get();
    if (!workbook || tables.empty())
        return false;
    const std::string& font = tables.front().fontName;
    Formats formats{};
    formats.plain = NewFormat(workbook, font, 0);
    formats.title = NewFormat(workbook, font, 14);
    formats.note = NewFormat(workbook, font, 11);
    formats.header = Framed(NewFormat(workbook, font, 11));
    format_set_bold(formats.header);
    format_set_bg_color(formats.header, kHeaderFill);
    format_set_pattern(formats.header, LXW_PATTERN_SOLID);
    formats.data = Framed(NewFormat(workbook, font, 11));
    formats.number = Framed(NewFormat(workbook, font, 11, false));

    const std::vector<std::string> names = SheetNames(tables);
    bool ok = true;
    for (std::size_t t = 0; t < tables.size() && ok; ++t) {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, names[t].c_str());
        ok = sheet && WriteSheet(sheet, tables[t], formats);
    }
    return workbook_close(owner.release()) == LXW_NO_ERROR && ok;
}

} // namespace

const char* const CWorkbookWriter::kExportFailure =
    "导出过程中出现异常。\n"
    "1 您要导出的EXCEL文件是否正处于打开状态？\n"
    "2 请检查您的基本数据（班级名、教师名、课程名）中是否包含某些不能正常导出的特殊符号。\n"
    "如果仍不能确定原因，请将任务文件夹打包发送给您的软件供应商的技术支持人员。";

std::optional<double> CWorkbookWriter::NumberOf(const std::string& text)
{
    const std::string_view digits = std::string_view(text).substr(!text.empty() && text[0] == '-' ? 1 : 0);
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !allDigits(whole) || (whole.size() > 1 && whole[0] == '0'))
        return std::nullopt;
    if (point != std::string_view::npos && (fraction.empty() || !allDigits(fraction) || fraction.back() == '0'))
        return std::nullopt;
    if (whole.size() + fraction.size() > 15)
        return std::nullopt;
    double value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // "-0" would show as 0.
    if (value == 0 && text[0] == '-')
        return std::nullopt;
    return value;
}

std::string CWorkbookWriter::SheetName(const std::string& title)
{
    std::string name;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < title.size() && characters < 31;) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const std::string piece = title.substr(i, length);
        if (piece.size() == 1 && (std::string_view("[]:*?/\\").find(piece[0]) != std::string_view::npos || c < 0x20))
            name += '_';
        else
            name += piece;
        i += length;
        ++characters;
    }
    // A name may not start or end with an apostrophe.
    if (!name.empty() && name.front() == '\'')
        name.front() = '_';
    if (!name.empty() && name.back() == '\'')
        name.back() = '_';
    return name.empty() ? "Sheet1" : name;
}

bool CWorkbookWriter::ExportTable(const std::string& path, const Table& table, std::string& error)
{
    return ExportTables(path, {table}, error);
}

bool CWorkbookWriter::ExportTables(const std::string& path, const std::vector<Table>& tables, std::string& error)
{
    for (const Table& table : tables) {
        if (table.columns.size() > kMaxColumns
            || table.rows.size() + table.notes.size() + table.footnotes.size() > kMaxRows) {
            error = "表格超出了Excel工作表的行列范围，无法导出。";
            return false;
        }
    }
    if (tables.empty()) {
        error = "没有要导出的表格。";
        return false;
    }
    if (!CFileUtil::WriteFileThrough(path, [&tables](const std::string& temp) { return Write(temp, tables); })) {
        error = "无法写入文件：" + path;
        return false;
    }
    return true;
}
