#pragma once

#include "cli/CommandRegistry.h"
#include "cli/ExitCode.h"

#include <ostream>
#include <string>
#include <vector>

// quillon-cli: divides and balances a task and prints its report, division
// table and statistics without a window, writes the class rosters and the
// statistics as PDF, imports students, exports the table, lists and adds
// classes, exclusive groups and pre-assignments as their editors do, and
// transcribes text into pinyin. Results go to out, messages to err, both
// UTF-8. Each command is a CCommand of the registry.
class CCommandLine
{
public:
    // The exit codes (ExitCode) as the process returns them.
    static constexpr int ExitUsage = static_cast<int>(ExitCode::Usage);
    static constexpr int ExitTask = static_cast<int>(ExitCode::Task);
    static constexpr int ExitNotFound = static_cast<int>(ExitCode::NotFound);
    static constexpr int ExitFailed = static_cast<int>(ExitCode::Failed);
    static constexpr int ExitNotSaved = static_cast<int>(ExitCode::NotSaved);
    static constexpr int ExitNotWritten = static_cast<int>(ExitCode::NotWritten);
    static constexpr int ExitImport = static_cast<int>(ExitCode::Import);
    static constexpr int ExitLocked = static_cast<int>(ExitCode::Locked);
    static constexpr int ExitNoStudent = static_cast<int>(ExitCode::NoStudent);
    static constexpr int ExitAmbiguous = static_cast<int>(ExitCode::Ambiguous);
    static constexpr int ExitPresetClass = static_cast<int>(ExitCode::PresetClass);
    static constexpr int ExitExclusiveGroup = static_cast<int>(ExitCode::ExclusiveGroup);
    static constexpr int ExitCapacity = static_cast<int>(ExitCode::Capacity);
    static constexpr int ExitNameExists = static_cast<int>(ExitCode::NameExists);
    static constexpr int ExitTooFewMembers = static_cast<int>(ExitCode::TooFewMembers);
    static constexpr int ExitNoPreset = static_cast<int>(ExitCode::NoPreset);
    static constexpr int ExitHoldsTask = static_cast<int>(ExitCode::HoldsTask);

    CCommandLine(std::ostream& out, std::ostream& err);

    // Runs the command args name (args[0]) with its arguments; the exit code.
    int Run(const std::vector<std::string>& args);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    CCommandRegistry m_commands;
};
