#pragma once

#include "cli/ExitCode.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// Where a command writes: results to out, messages to err, both UTF-8.
class CConsole
{
public:
    CConsole(std::ostream& out, std::ostream& err);

    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }

    // Says what was wrong with the command line and where to read the usage.
    ExitCode Usage(const std::string& problem);
    // Prints an error line and returns code.
    ExitCode Error(ExitCode code, const std::string& text);
    // The cells of a row from column from, tab separated.
    void PrintLine(const std::vector<std::string>& cells, std::size_t from);
    // A text as it is, ended by a line break.
    void PrintText(const std::string& text);

private:
    std::ostream& m_out;
    std::ostream& m_err;
};
