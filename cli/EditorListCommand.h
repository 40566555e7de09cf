#pragma once

#include "cli/TaskCommand.h"

#include <string>
#include <vector>

class CListEditorRows;

// Prints a list editor's rows as the editor shows them on opening: a title
// line, then the cells of each row from column 1, as many as there are titles.
class CEditorListCommand : public CTaskCommand
{
public:
    // How a list editor fills its rows from a consistent task.
    using Fill = void (*)(const CScheduleTask& task, CListEditorRows& rows);

    CEditorListCommand(std::string name, std::string summary, Fill fill, std::vector<std::string> titles);

    // Fills rows as an editor does when it opens (fill). The editor first
    // drops what no longer fits the task and saves that at once; here it is
    // dropped in memory only, and the command's own save (if any) writes it.
    static void LoadRows(CScheduleTask& task, CListEditorRows& rows, Fill fill);

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;

private:
    Fill m_fill;
    std::vector<std::string> m_titles;
};
