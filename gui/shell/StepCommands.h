#pragma once

#include <span>

// The commands of the step pages' buttons. The numbers are the ones the
// button grid carries.
//
// Adding a command: a value here, its button in the table of
// CStepCommands::all() (page, caption, icon), and its case in
// CMainDlg::runCommand.
enum class StepCommandId : int
{
    OpenTask = 1,
    NewTask = 2,
    ClassInfo = 9,
    StudentInfo = 12,
    StudentPreset = 17,
    MutexStudent = 23,
    TogetherStudent = 31,
    DivisionRules = 32,
    StartDivision = 24,
    DivisionReport = 26,
    BalanceDivision = 30,
    LotteryDivision = 33,
    DivisionTable = 28,
    DivisionStatistics = 29,
};

// The buttons of the step pages, in the order they appear.
class CStepCommands
{
public:
    struct Button
    {
        int page; // tab index
        StepCommandId command;
        const char* caption; // UTF-8
        const char* icon;    // picture name, see CUIResources::picture
    };

    static std::span<const Button> all();
};
