#pragma once

#include "cli/Command.h"

#include <optional>
#include <vector>

class CDivisionTableData;

// The rows of the division table as the window's search and column titles
// leave them, for the commands that print or export the table: --find keeps
// the students whose name matches (Chinese, full pinyin or initials),
// --sort orders by a column named by its title as a first click on it does
// (scores and total highest first), --reverse the other way.
class CTableRowChoice
{
public:
    // The options, to append to a command's own.
    static std::vector<CCommand::Option> Options();

    // Narrows and orders the rows just filled; a usage error for a column
    // the table does not have.
    static std::optional<ExitCode> Apply(CDivisionTableData& data, const CArguments& arguments, CConsole& console);
};
