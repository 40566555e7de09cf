#pragma once

// Test workbooks written by an independent writer, and small edits to the
// parts of a written workbook.
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// One workbook being written; Close (or the destructor) finishes the file.
class XlsxBuilder
{
public:
    explicit XlsxBuilder(const std::string& path, bool streaming = false)
    {
        lxw_workbook_options options = {};
        options.constant_memory = streaming ? LXW_TRUE : LXW_FALSE;
        m_workbook = workbook_new_opt(path.c_str(), &options);
        m_date = workbook_add_format(m_workbook);
        format_set_num_format(m_date, "yyyy-mm-dd");
        m_dateTime = workbook_add_format(m_workbook);
        format_set_num_format(m_dateTime, "yyyy/m/d h:mm");
    }
    ~XlsxBuilder() { Close(); }

    XlsxBuilder& Sheet(const std::string& name)
    {
        m_sheet = workbook_add_worksheet(m_workbook, name.c_str());
        return *this;
    }
    // Row and column from 0.
    XlsxBuilder& Text(int row, int column, const std::string& text)
    {
        worksheet_write_string(m_sheet, Row(row), Col(column), text.c_str(), nullptr);
        return *this;
    }
    XlsxBuilder& Number(int row, int column, double value)
    {
        worksheet_write_number(m_sheet, Row(row), Col(column), value, nullptr);
        return *this;
    }
    XlsxBuilder& Date(int row, int column, int year, int month, int day, int hour = -1)
    {
        lxw_datetime when = {year, month, day, hour < 0 ? 0 : hour, 0, 0};
        worksheet_write_datetime(m_sheet, Row(row), Col(column), &when, hour < 0 ? m_date : m_dateTime);
        return *this;
    }
    XlsxBuilder& Boolean(int row, int column, bool value)
    {
        worksheet_write_boolean(m_sheet, Row(row), Col(column), value, nullptr);
        return *this;
    }
    XlsxBuilder& Formula(int row, int column, const std::string& formula, double cached)
    {
        worksheet_write_formula_num(m_sheet, Row(row), Col(column), formula.c_str(), nullptr, cached);
        return *this;
    }
    XlsxBuilder& FormulaText(int row, int column, const std::string& formula, const std::string& cached)
    {
        worksheet_write_formula_str(m_sheet, Row(row), Col(column), formula.c_str(), nullptr, cached.c_str());
        return *this;
    }
    // Text in runs of different fonts.
    XlsxBuilder& RichText(int row, int column, const std::vector<std::string>& runs)
    {
        lxw_format* bold = workbook_add_format(m_workbook);
        format_set_bold(bold);
        std::vector<lxw_rich_string_tuple> tuples;
        for (std::size_t i = 0; i < runs.size(); ++i)
            tuples.push_back({i % 2 ? bold : nullptr, const_cast<char*>(runs[i].c_str())});
        std::vector<lxw_rich_string_tuple*> pointers;
        for (auto& tuple : tuples)
            pointers.push_back(&tuple);
        pointers.push_back(nullptr);
        worksheet_write_rich_string(m_sheet, Row(row), Col(column), pointers.data(), nullptr);
        return *this;
    }
    XlsxBuilder& Merge(int row, int first, int last, const std::string& text)
    {
        worksheet_merge_range(m_sheet, Row(row), Col(first), Row(row), Col(last), text.c_str(), nullptr);
        return *this;
    }
    void Close()
    {
        if (m_workbook) {
            EXPECT_EQ(workbook_close(m_workbook), LXW_NO_ERROR);
        }
        m_workbook = nullptr;
    }

private:
    static lxw_row_t Row(int row) { return static_cast<lxw_row_t>(row); }
    static lxw_col_t Col(int column) { return static_cast<lxw_col_t>(column); }

    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_dateTime = nullptr;
};

// Replaces one member of a zip archive by what edit makes of it.
inline void EditMember(const std::string& path, const std::string& name, const std::function<void(std::string&)>& edit)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), 0, &error);
    ASSERT_NE(archive, nullptr);
    const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
    ASSERT_GE(index, 0) << name;
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat);
    std::string bytes(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    ASSERT_EQ(zip_fread(file, bytes.data(), bytes.size()), static_cast<zip_int64_t>(bytes.size()));
    zip_fclose(file);
    edit(bytes);
    // The source owns a copy and frees it with the archive.
    void* copy = std::malloc(bytes.size());
    std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
    ASSERT_EQ(zip_file_replace(archive, static_cast<zip_uint64_t>(index), source, 0), 0);
    ASSERT_EQ(zip_close(archive), 0);
}

// Adds a member to a zip archive.
inline void AddMember(const std::string& path, const std::string& name, const std::string& bytes)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE, &error);
    ASSERT_NE(archive, nullptr);
    void* copy = std::malloc(bytes.size() + 1);
    std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(archive), 0);
}

inline void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace testsupport
