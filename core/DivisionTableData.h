#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CClassInfo;
class CScheduleTask;
class CStudentInfo;

// The rows and columns of the division table: one row per placed student,
// in ascending student index order, for all classes or for one class.
//
// Columns: "ID" (student id), "序号", "姓名", "班级", "性别", "原学校", one
// column per subject name of the task, "总分", then one column per condition
// column of the task's rules ("#住校"), holding the student's value.
class CDivisionTableData
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnNumber,
        ColumnName,
        ColumnClass,
        ColumnSex,
        ColumnFromSchool,
        ColumnFirstSubject
    };

    struct Row
    {
        std::string studentId;
        int number = 0; // from 1
        std::string name;
        std::string className;
        std::string sex;
        std::string fromSchool;
        // Only the scores that have a subject column.
        std::vector<std::string> scores;
        std::string total;
        // One per condition column, empty where the student has no value.
        std::vector<std::string> conditions;
    };

    explicit CDivisionTableData(CScheduleTask& task);

    // The classes of the task in ascending record index order.
    static std::vector<CClassInfo*> ClassesInOrder(const CScheduleTask& task);

    // Rebuilds the rows for one class id, or for every class when classId is
    // empty. Students without a class are left out. A student whose class id
    // names no class of the task has it cleared and is left out. Returns the
    // number of students repaired so.
    int Fill(const std::string& classId = std::string());
    // Rebuilds the rows for the students without a class, those whose class
    // id names no class included (it is cleared). Their class cells are
    // empty. Returns the number of students repaired.
    int FillUnplaced();

    // Keeps the rows for which keep is true, in their order; each keeps its
    // number.
    void KeepRows(const std::function<bool(const Row&)>& keep);
    // Orders the rows by one column; rows that compare equal keep their
    // order. The number, the scores and the total compare as figures, the
    // class by the classes' order, the other texts as Chinese is sorted (by
    // pinyin, through the code page) with runs of digits compared as
    // numbers. Empty cells come last either way.
    void SortBy(int column, bool descending);
    // Whether a column starts highest first when sorted (scores and total).
    bool SortsHighestFirst(int column) const;
    // The comparison of two cells of a text column (<0, 0, >0).
    static int CompareTexts(const std::string& a, const std::string& b);

    std::size_t GetSubjectCount() const { return m_subjectNames.size(); }
    std::size_t GetConditionCount() const { return m_conditionNames.size(); }
    int GetColumnCount() const { return GetFirstConditionColumn() + static_cast<int>(m_conditionNames.size()); }
    int GetTotalColumn() const { return ColumnFirstSubject + static_cast<int>(m_subjectNames.size()); }
    int GetFirstConditionColumn() const { return GetTotalColumn() + 1; }
    // The scores and the total: figures, shown right-aligned.
    bool IsFigureColumn(int column) const { return column >= ColumnFirstSubject && column <= GetTotalColumn(); }
    std::vector<std::string> ColumnTitles() const;

    const std::vector<Row>& GetRows() const { return m_rows; }
    std::size_t GetRowCount() const { return m_rows.size(); }
    // The text of one cell; empty outside the table.
    std::string CellText(std::size_t row, int column) const;

    // A total as shown: "%.1f" without a trailing ".0" (90 → "90", 90.5 → "90.5").
    static std::string FormatTotal(float total);

private:
    // The rows of one class (every class when classId is empty), or of the
    // students without a class.
    int FillRows(const std::string& classId, bool unplaced);
    void AddRow(CStudentInfo& student, const std::string& className);
    const std::string& CellRef(std::size_t row, int column) const;
    // The text of a column of a row (empty for the number).
    const std::string& RowCell(const Row& row, int column) const;

    CScheduleTask& m_task;
    std::vector<std::string> m_subjectNames;
    std::vector<std::string> m_conditionNames;
    std::vector<Row> m_rows;
};
