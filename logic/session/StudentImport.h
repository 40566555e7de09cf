#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CScheduleTask;

// Replaces a task's students by those of a spreadsheet, as the import
// wizard fills an empty students editor and the editor then saves: the
// column headed "姓名" finds the header row, columns marked with a star
// become scores.
class CStudentImport
{
public:
    enum class Outcome
    {
        Imported,
        Unreadable, // the sheet could not be read, or a row was refused: the task is unchanged
        Empty,      // the sheet holds no student: the task is unchanged
        NotSaved,   // taken into the task in memory, but input.xml could not be written
    };

    struct Result
    {
        Outcome outcome = Outcome::Imported;
        std::string message; // why it did not import
        std::size_t students = 0;
        std::size_t nameless = 0; // students without a name
        std::string sheetName;
        std::vector<std::string> scoreNames;
        std::vector<std::string> conditionNames; // "#住校", as the sheet titles them
    };

    // Imports the sheet at file into task and saves it (a failed save goes
    // to the task's message handler as well).
    static Result Run(CScheduleTask& task, const std::string& file);
    // What an import tells when it is done: how many students from which
    // sheet, the score columns, and the students without a name; one line
    // each, every line ending in a line break.
    static std::string Summary(const Result& result);
};
