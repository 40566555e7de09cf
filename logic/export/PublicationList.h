#pragma once

#include "logic/export/WorkbookWriter.h"

#include <string>
#include <vector>

class CScheduleTask;

// The lists of a division posted for parents ("分班公示"): per class its
// name, head teacher and students, in the order of their names' pinyin
// (ties by name, then by examination number), under a numbering column
// and the columns chosen. Scores never appear: no column holds them and a
// score column asked for is refused.
//
// Masked names keep the first and the last character and hide the ones
// between: 张小三 → 张*三, 欧阳小明 → 欧**明. A name of two characters keeps
// the first (李四 → 李*); a name of one character is hidden whole (*).
// Separators inside a name (space, "·") stay. Examination numbers show
// only their last four characters (20260101234 → *******1234); a number of
// four characters or fewer is shown as it is.
class CPublicationList
{
public:
    enum class Column
    {
        Name,      // 姓名
        Sex,       // 性别
        School,    // 原学校
        ExamNumber // 考号, masked
    };

    struct Options
    {
        std::vector<Column> columns = {Column::Name, Column::Sex, Column::School};
        bool maskNames = false;
        std::string schoolName; // may be empty
    };

    struct ClassList
    {
        std::string classId;
        std::string className;
        std::string headTeacher; // may be empty
        // One text per column, the first the number from 1.
        std::vector<std::vector<std::string>> rows;
    };

    // The columns named in text, separated by commas (",", "，", "、") and
    // blanks: name, sex, school, number, or their titles (姓名, 性别, 原学校,
    // 考号). False with error (Chinese) for an unknown column, a column named
    // twice, none at all, and any score column: score, total, 成绩, 分数, 总分
    // or a subject of the task (when task is given).
    static bool ParseColumns(const std::string& text, std::vector<Column>& columns, std::string& error,
                             const CScheduleTask* task = nullptr);
    static std::string ColumnTitle(Column column);
    // The key of a column as ParseColumns reads it ("name").
    static std::string ColumnKey(Column column);

    static std::string MaskName(const std::string& name);
    static std::string MaskExamNumber(const std::string& number);
    // The examination number of a student: its identifier, unless the
    // identifier is one the program made up (32 hexadecimal digits), which
    // is no number anyone knows; then empty.
    static std::string ExamNumberOf(const std::string& studentId);
    // Whether any placed student of the task has an examination number.
    static bool HasExamNumbers(const CScheduleTask& task);
    // Said when the number column is asked for in a task without numbers.
    static constexpr const char* kNoExamNumbers = "学生的ID由程序生成，不是考号：考号一列为空。";
    // The key names are ordered by: the pinyin of each character, syllable
    // by syllable, letters in upper case.
    static std::string SortKey(const std::string& name);

    CPublicationList(const CScheduleTask& task, Options options);

    const Options& GetOptions() const { return m_options; }
    // "<学校> <任务名> 分班公示", without the school when it is empty.
    std::string Title() const;
    std::vector<std::string> ColumnTitles() const;
    // The classes in the task's order, each with its students.
    const std::vector<ClassList>& GetClasses() const { return m_classes; }
    // No class has a student: the task has not been divided.
    bool IsEmpty() const;
    // What is said when there is nothing to post.
    static constexpr const char* kNothingToPost = "还没有分班结果，没有可公示的名单。";
    // "班级：七年级(1)班　班主任：王老师　共 45 人" (no teacher part without one).
    static std::string ClassLine(const ClassList& list);
    // "公示日期：2026-12-10" and, when a digest is given, "　结果摘要：<digest>".
    static std::string FooterText(const std::string& date, const std::string& digest);
    // Today's local date as "YYYY-MM-DD".
    static std::string Today();

    // One sheet per class: the sheet named after the class, the title, the
    // class line, the list and the footer.
    std::vector<CWorkbookWriter::Table> Sheets(const std::string& footer) const;

private:
    std::string Cell(Column column, const std::string& name, int sex, const std::string& school,
                     const std::string& studentId) const;

    const CScheduleTask& m_task;
    Options m_options;
    std::vector<ClassList> m_classes;
};
