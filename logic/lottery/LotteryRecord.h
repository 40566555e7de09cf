#pragma once

#include "logic/lottery/LotteryInput.h"
#include "logic/lottery/TeacherDraw.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CScheduleTask;

// The record of a lottery division, as the task folder keeps it
// (kFileName, UTF-8) and as the report shows it (section "【摇号分班】"):
// what was drawn, from what, with which program, and what came of it. The
// canonical input text it was drawn from lies beside it (kInputFileName),
// so that a later check can name what changed.
//
// The text is one "标签：值" a line; the lists repeat their label, one item
// a line ("规则：…", "班级：一班\t50\t24\t26\t532.5"). Parse reads back what
// Text writes.
class CLotteryRecord
{
public:
    static constexpr const char* kTitle = "【摇号分班】";
    static constexpr const char* kFileName = "quillon-lottery.txt";
    static constexpr const char* kInputFileName = "quillon-lottery-input.txt";

    // How one class came out of the draw.
    struct ClassFigures
    {
        std::string name;
        int students = 0;
        int girls = 0;
        int boys = 0;
        std::string average; // of the total scores, one decimal; "-" for an empty class

        bool operator==(const ClassFigures&) const = default;
    };

    // The head-teacher draw after the division.
    struct TeacherDraw
    {
        std::string seed;
        std::string time;
        std::vector<std::string> teachers; // as they were drawn from, sorted
        std::vector<CTeacherDraw::Assignment> assignments;

        bool operator==(const TeacherDraw&) const = default;
    };

    std::string taskName;
    std::string time; // "2026年12月10日 8时3分11秒", as the report writes times
    std::string version;
    std::string seed;       // the digits
    bool seedDrawn = false; // drawn by the program, not typed
    std::uint64_t work = 0;
    int students = 0;
    int classes = 0;
    int placed = 0;
    std::string inputDigest;  // SHA-256 of the canonical input text
    std::string resultDigest; // SHA-256 of the canonical division text
    std::vector<std::string> rules;
    std::vector<ClassFigures> figures;
    std::optional<TeacherDraw> teacherDraw;

    bool operator==(const CLotteryRecord&) const = default;

    std::string Text() const;
    static std::optional<CLotteryRecord> Parse(const std::string& text);

    // The rules in force, one line each, as the record lists them.
    static std::vector<std::string> RulesOf(const CLotteryInput& input);
    // The classes of a divided task, in the order of the task's list.
    static std::vector<ClassFigures> FiguresOf(const CScheduleTask& task);

    // The version of this program, as records name it.
    static std::string ProgramVersion();

    static std::string PathIn(const std::string& folder);
    static std::string InputPathIn(const std::string& folder);

    enum class LoadResult
    {
        Loaded,
        Missing,    // no record in the folder
        Unreadable, // a record, or its input beside it, that cannot be read
    };
    // Reads the record and the canonical input text beside it.
    static LoadResult Load(const std::string& folder, CLotteryRecord& record, std::string& inputText);
    // Writes the record and the input text safely, the input first.
    bool Save(const std::string& folder, const std::string& inputText) const;
    // Writes the record alone, keeping the input text beside it.
    bool SaveRecord(const std::string& folder) const;

    // The report with this record as its last section, in place of an
    // earlier one.
    std::string AddToReport(const std::string& report) const;
};
