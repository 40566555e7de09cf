#include "logic/export/WorkbookWriter.h"

#include "base/util/FileUtil.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <string_view>

namespace {

constexpr lxw_row_t kTitleRow = 1;
constexpr lxw_row_t kHeaderRow = 2;
constexpr lxw_row_t kFirstDataRow = 3;
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

bool Write(const std::string& path, const CWorkbookWriter::Table& table)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookCloser> owner(workbook_new_opt(path.c_str(), &options));
    lxw_workbook* workbook = owner.get();
    if (!workbook)
        return false;
    const std::string sheetName = CWorkbookWriter::SheetName(table.title);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.c_str());
    if (!sheet)
        return false;

    lxw_format* plain = NewFormat(workbook, table.fontName, 0);
    lxw_format* title = NewFormat(workbook, table.fontName, 14);
    lxw_format* header = Framed(NewFormat(workbook, table.fontName, 11));
    format_set_bold(header);
    format_set_bg_color(header, kHeaderFill);
    format_set_pattern(header, LXW_PATTERN_SOLID);
    lxw_format* data = Framed(NewFormat(workbook, table.fontName, 11));
    lxw_format* number = Framed(NewFormat(workbook, table.fontName, 11, false));

    const std::size_t columns = table.columns.size();
    const double standard = columns == 0 ? 12.0 : static_cast<double>(65 / static_cast<int>(columns));
    bool ok = true;

    // Rows are written top to bottom, as the streaming writer requires.
    const lxw_col_t last = static_cast<lxw_col_t>(kFirstColumn + std::max<std::size_t>(columns, 1) - 1);
    ok = ok && worksheet_set_row(sheet, kTitleRow, 32, nullptr) == LXW_NO_ERROR;
    if (last > kFirstColumn)
        ok = ok
             && worksheet_merge_range(sheet, kTitleRow, kFirstColumn, kTitleRow, last, table.title.c_str(), title)
                    == LXW_NO_ERROR;
    else
        ok = ok && worksheet_write_string(sheet, kTitleRow, kFirstColumn, table.title.c_str(), title) == LXW_NO_ERROR;

    ok = ok && worksheet_set_row(sheet, kHeaderRow, 18, nullptr) == LXW_NO_ERROR;
    for (std::size_t c = 0; c < columns && ok; ++c)
        ok = worksheet_write_string(sheet, kHeaderRow, static_cast<lxw_col_t>(kFirstColumn + c),
                                    table.columns[c].c_str(), header)
             == LXW_NO_ERROR;

    for (std::size_t r = 0; r < table.rows.size() && ok; ++r) {
        const lxw_row_t row = static_cast<lxw_row_t>(kFirstDataRow + r);
        ok = worksheet_set_row(sheet, row, 18, nullptr) == LXW_NO_ERROR;
        for (std::size_t c = 0; c < columns && ok; ++c) {
            const std::string& text = c < table.rows[r].size() ? table.rows[r][c] : std::string();
            const lxw_col_t column = static_cast<lxw_col_t>(kFirstColumn + c);
            const bool numeric = c < table.numeric.size() && table.numeric[c];
            const std::optional<double> value = numeric ? CWorkbookWriter::NumberOf(text) : std::nullopt;
            // An empty cell still gets its frame.
            lxw_error written = LXW_NO_ERROR;
            if (text.empty())
                written = worksheet_write_blank(sheet, row, column, data);
            else if (value)
                written = worksheet_write_number(sheet, row, column, *value, number);
            else
                written = worksheet_write_string(sheet, row, column, text.c_str(), data);
            ok = written == LXW_NO_ERROR;
        }
    }
    // The column widths and formats last: a format on the columns past the
    // table widens the sheet's used range to the last column, and the
    // streaming writer would then walk all of its columns for every row.
    // The columns are written out only when the workbook closes, so the
    // file is the same.
    ok = ok && worksheet_set_column(sheet, 0, 0, 3, plain) == LXW_NO_ERROR;
    for (std::size_t c = 0; c < columns; ++c) {
        const double width = c < table.widths.size() ? table.widths[c] : standard;
        const lxw_col_t column = static_cast<lxw_col_t>(kFirstColumn + c);
        ok = ok && worksheet_set_column(sheet, column, column, width, plain) == LXW_NO_ERROR;
    }
    const lxw_col_t after = static_cast<lxw_col_t>(kFirstColumn + columns);
    if (after <= kLastSheetColumn)
        ok = ok && worksheet_set_column(sheet, after, kLastSheetColumn, standard, plain) == LXW_NO_ERROR;
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
    if (table.columns.size() > kMaxColumns || table.rows.size() > kMaxRows) {
        error = "表格超出了Excel工作表的行列范围，无法导出。";
        return false;
    }
    if (!CFileUtil::WriteFileThrough(path, [&table](const std::string& temp) { return Write(temp, table); })) {
        error = "无法写入文件：" + path;
        return false;
    }
    return true;
}
