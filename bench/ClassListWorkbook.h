#pragma once

// A class list as schools keep it, written as an .xlsx workbook for the
// benchmarks of reading and importing: name, sex, school, nine scores.
#include <xlsxwriter.h>

#include <string>

namespace BenchData {

// students rows under the header; columns from 1 to 12. streaming writes
// row by row (for lists too long to hold).
inline void WriteClassList(const std::string& path, int students, int columns, bool streaming)
{
    lxw_workbook_options options = {};
    options.constant_memory = streaming ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "名单");
    const char* titles[] = {"姓名",  "性别",  "原学校", "*语文", "*数学", "*英语",
                            "*物理", "*化学", "*生物",  "*政治", "*历史", "*地理"};
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), titles[c], nullptr);
    for (int s = 1; s <= students; ++s) {
        const lxw_row_t row = static_cast<lxw_row_t>(s);
        worksheet_write_string(sheet, row, 0, ("学生" + std::to_string(s)).c_str(), nullptr);
        if (columns > 1)
            worksheet_write_string(sheet, row, 1, s % 2 ? "男" : "女", nullptr);
        if (columns > 2)
            worksheet_write_string(sheet, row, 2, ("第" + std::to_string(s % 30) + "中学").c_str(), nullptr);
        for (int c = 3; c < columns; ++c)
            worksheet_write_number(sheet, row, static_cast<lxw_col_t>(c), 40 + (s * 7 + c * 13) % 61 + 0.5 * (s % 2),
                                   nullptr);
    }
    workbook_close(workbook);
}

} // namespace BenchData
