#pragma once

#include "logic/editing/ListRows.h"
#include "logic/editing/RowRequest.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CScheduleTask;

// The rows of the students editor without a window: loaded from the task,
// filled by an import, cleared, and saved back as the task's students and
// subject names. The window shows these rows and hands imported rows to
// SubmitRow; the command line uses the same class.
//
// Row cells: "ID" (student id), "序号", "姓名", "性别", "原学校", then one
// score per score column, then one value per condition column ("#住校":
// a sheet column whose title begins with "#"; the task keeps them in its
// division rules).
class CStudentTable : public CListRows
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnNumber,
        ColumnName,
        ColumnSex,
        ColumnFromSchool,
        ColumnFirstScore
    };

    // Score column widths in pixels: loaded from the task, or made by an import.
    static constexpr int kLoadedScoreWidth = 70;
    static constexpr int kImportedScoreWidth = 60;
    static const char* const kNoNameColumn; // an import's header without "姓名"

    // One row per student in index order; one score column per subject name.
    void Load(const CScheduleTask& task);

    // A row handed over by the import (or a dialog). Header: builds the
    // column map from the spreadsheet's column names and makes one score
    // column per name marked with a star; refused with kNoNameColumn when
    // no column is "姓名". Add: a new row with a new id, the mapped cells
    // filled in; a row with nothing in any mapped cell (a stray cell in a
    // column the import does not read) is no student and is refused
    // without a message. Replace: the mapped cells written into row
    // selectedRow. Returns 0 when taken, -1 when refused (request.accepted
    // and request.message tell the same).
    int SubmitRow(RowRequest& request, const std::vector<std::string>& cells, int selectedRow = -1);

    // Whether a record row of an import has a value in a column the header
    // mapped (false before any header).
    bool HasMappedValue(const std::vector<std::string>& cells) const;
    // Rows whose name is empty.
    std::size_t NamelessCount() const;

    // Removes every row; the score and condition columns stay.
    void Clear();

    // Replaces the task's subject names by the score column titles and its
    // students by the rows (new records: class, pre-assignment mark and
    // exclusions are not carried over). Does not write the task's files.
    void SaveTo(CScheduleTask& task) const;
    // The same, handing each row's texts over to its student and freeing
    // the row at once: the table is empty afterwards. A large import thus
    // never holds every student twice.
    void MoveTo(CScheduleTask& task);

    std::size_t GetRowCount() const { return m_rows.size(); }
    int GetColumnCount() const
    {
        return ColumnFirstScore + static_cast<int>(m_scoreNames.size() + m_conditionNames.size());
    }
    // The first condition column.
    int FirstConditionColumn() const { return ColumnFirstScore + static_cast<int>(m_scoreNames.size()); }
    std::vector<std::string> ColumnTitles() const;
    const std::vector<std::string>& GetRow(std::size_t row) const { return m_rows[row]; }

    // The rows as the editor's window shows them.
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    // The text of one cell; empty outside the table.
    std::string CellText(int row, int column) const override;
    void RemoveRows(const std::vector<int>& bottomUp) override;
    void SwapRows(int a, int b) override;
    const std::vector<std::string>& GetScoreNames() const { return m_scoreNames; }
    const std::vector<std::string>& GetConditionNames() const { return m_conditionNames; }
    // Whether a sheet's column title names a condition column.
    static bool IsConditionTitle(const std::string& title);
    int GetScoreColumnWidth() const { return m_scoreWidth; }
    // Spreadsheet column feeding each column from "姓名" on, or -1.
    const std::vector<int>& GetColumnMap() const { return m_columnMap; }

    // 0 (girl) when the text, without surrounding blanks, is "女"; 1 otherwise.
    static int SexCode(std::string_view text);
    template <class Rows>
    void Store(CScheduleTask& task, Rows& rows) const;
    static std::string SexText(int code);

private:
    bool TakeHeader(RowRequest& request, const std::vector<std::string>& cells);
    void FillRow(std::vector<std::string>& row, const std::vector<std::string>& cells) const;

    std::vector<std::vector<std::string>> m_rows;
    std::vector<std::string> m_scoreNames;
    std::vector<std::string> m_conditionNames;
    int m_scoreWidth = kLoadedScoreWidth;
    std::vector<int> m_columnMap;
};
