#pragma once

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CDivisionTableData;
class CListEditorRows;
class CQZObject;
class CQZObjectList;
class CScheduleTask;
class CTaskLock;

// quillon-cli: divides and balances a task and prints its report, division
// table and statistics without a window, writes the class rosters and the
// statistics as PDF, imports students, exports the table, lists and adds
// classes, exclusive groups and pre-assignments as their editors do, and
// transcribes text into pinyin. Results go to out, messages to err, both
// UTF-8.
class CCommandLine
{
public:
    // Exit codes besides the run's own result codes 0, 1 and 2.
    static constexpr int ExitUsage = 3;
    static constexpr int ExitTask = 4;     // task missing or damaged
    static constexpr int ExitNotFound = 5; // no class (or subject) of that name
    static constexpr int ExitFailed = 6;   // the run did not end
    static constexpr int ExitNotSaved = 7; // divided or imported, but the files were not written
    static constexpr int ExitNotWritten = 8; // the PDF, the workbook or the picture could not be written
    static constexpr int ExitImport = 9;     // the spreadsheet could not be imported
    static constexpr int ExitLocked = 10;    // another program is changing the task
    // move: a student or class it cannot name, and the rules a move would break.
    static constexpr int ExitNoStudent = 11;      // no student of that name or id
    static constexpr int ExitAmbiguous = 12;      // several students (or classes) have that name
    static constexpr int ExitPresetClass = 13;    // a pre-assigned student would leave its class
    static constexpr int ExitExclusiveGroup = 14; // two members of an exclusive group would share a class
    static constexpr int ExitCapacity = 15;       // a class would exceed its planned number
    // The list editors' commands.
    static constexpr int ExitNameExists = 16;    // a class of that name (as the classes editor compares names) exists
    static constexpr int ExitTooFewMembers = 17; // only one typed name of an exclusive group is a student's
    static constexpr int ExitNoPreset = 18;      // the student has no pre-assignment
    // new-task: the folder holds (part of) another task; nothing was written.
    static constexpr int ExitHoldsTask = 19;

    CCommandLine(std::ostream& out, std::ostream& err);

    // How a list editor fills its rows from the task when it opens.
    using EditorLoad = void (*)(CScheduleTask& task, CListEditorRows& rows);

    int Run(const std::vector<std::string>& args);

    // An option of a command: a flag, or a name followed by a value.
    struct Option
    {
        std::string name;
        bool takesValue = false;
        std::string valueProblem; // the usage message when the value is missing
    };

    // What a command was given: its operands in order and its options.
    struct Arguments
    {
        std::vector<std::string> operands;
        std::map<std::string, std::string> options;

        const std::string& Task() const { return operands.front(); }
        const std::string* Option(const std::string& name) const
        {
            const auto found = options.find(name);
            return found == options.end() ? nullptr : &found->second;
        }
        std::string OptionOr(const std::string& name, const std::string& def) const
        {
            const std::string* value = Option(name);
            return value ? *value : def;
        }
    };

private:
    // One command: its name, the usage message for each missing operand (one
    // per operand it takes), its options and what runs it.
    struct Command
    {
        std::string name;
        std::vector<std::string> operands;
        std::vector<CCommandLine::Option> options;
        int (CCommandLine::*run)(const Arguments&);

        const CCommandLine::Option* FindOption(const std::string& text) const;
    };
    static const Command* FindCommand(const std::string& name);

    int Divide(const Arguments& arguments);
    int Balance(const Arguments& arguments);
    int Report(const Arguments& arguments);
    int Table(const Arguments& arguments);
    int Stats(const Arguments& arguments);
    int PrintTable(const Arguments& arguments);
    int PrintStats(const Arguments& arguments);
    // One chart of the division as a PNG or SVG picture.
    int Chart(const Arguments& arguments);
    int ImportStudents(const Arguments& arguments);
    int ExportTable(const Arguments& arguments);
    // Moves one student to a class by hand, with the rules checked.
    int Move(const Arguments& arguments);
    // Prints the pinyin of a UTF-8 text (full syllables or initials).
    int Pinyin(const Arguments& arguments);
    // The list editors' work: each reads and writes the task as its editor
    // does when opened, changed and saved.
    int Classes(const Arguments& arguments);
    int AddClass(const Arguments& arguments);
    int AddClasses(const Arguments& arguments);
    int Groups(const Arguments& arguments);
    int AddGroup(const Arguments& arguments);
    int Presets(const Arguments& arguments);
    int Preset(const Arguments& arguments);
    int Unpreset(const Arguments& arguments);
    // Makes an empty task in a folder of its own, as the new-task dialog does.
    int NewTask(const Arguments& arguments);
    // Deletes a class as the classes editor does, with the pre-assignments to it.
    int RemoveClass(const Arguments& arguments);

    // The class rosters (or the statistics) as a PDF file.
    int PrintPdf(const std::string& path, const std::string& pdfPath, const std::string& className, bool rosters);
    // The folder of a task file.
    static std::string TaskFolder(const std::string& path);
    // Locks the task for a command that changes it: 0, or ExitLocked after
    // saying who has it.
    int LockTask(CTaskLock& lock, const std::string& path, const std::string& program);
    // Opens the task; prints the reason and returns false when it is missing
    // or its data file is damaged.
    bool OpenTask(CScheduleTask& task, const std::string& path);
    // Locks (for program) and opens the task of a command that changes it.
    // 0, or the exit code after saying why.
    int OpenTaskToChange(CTaskLock& lock, CScheduleTask& task, const std::string& path, const std::string& program);
    // Locks and opens the task for program, then runs change on it. The
    // exit code of change, or of what stopped it.
    int ChangeTask(const std::string& path, const std::string& program,
                   const std::function<int(CScheduleTask&)>& change);
    // Saves the task's input data file after an editor's change. True, or
    // false after saying that what was changed was not saved.
    bool SaveChange(CScheduleTask& task, const std::string& what);
    // The id of the class of that name; prints the reason and returns false
    // when there is none. An empty name gives an empty id (all classes).
    bool FindClass(const CScheduleTask& task, const std::string& className, std::string& classId);
    // Opens the task and finds the id of the class named className (empty
    // for every class). 0, or the exit code after printing the reason.
    int OpenTaskForClass(CScheduleTask& task, const std::string& path, const std::string& className,
                         std::string& classId);
    // A seed for the run: the one given, or a fresh one when 0; shown on
    // the error stream so that the run can be repeated.
    unsigned long long ChooseSeed(unsigned long long seed);
    // The id of the one record of list whose id, or else whose name, is
    // text. 0, or the exit code after saying why: notFound when there is
    // none, ExitAmbiguous (with the candidates, each described) when several
    // share the name.
    int FindRecord(const CQZObjectList& list, const std::string& text, const std::string& kind, int notFound,
                   const std::function<std::string(const CQZObject&)>& describe, std::string& id);
    // The student named by text (FindRecord), each candidate described by
    // class, sex and original school.
    int FindStudent(const CScheduleTask& task, const std::string& text, std::string& id);
    // The student and the class named by operands 1 and 2 (move, preset).
    int FindStudentAndClass(const CScheduleTask& task, const Arguments& arguments, std::string& studentId,
                            std::string& classId);
    void PrintLine(const std::vector<std::string>& cells, std::size_t from);
    // An editor's rows as it shows them on opening (load): a title line,
    // then the cells of each row from column 1, as many as there are titles.
    int PrintEditorRows(const std::string& path, EditorLoad load, const std::vector<std::string>& titles);
    int Usage(const std::string& problem);
    void Help();

    std::ostream& m_out;
    std::ostream& m_err;
};
