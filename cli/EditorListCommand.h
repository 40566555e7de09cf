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
    // How a list editor fills its rows when it opens. The editor first drops
    // what no longer fits the task and saves that at once; the commands'
    // loads drop it in memory only, and their own save (if any) writes it.
    using Load = void (*)(CScheduleTask& task, CListEditorRows& rows);

    CEditorListCommand(std::string name, std::string summary, Load load, std::vector<std::string> titles);

    static void LoadRows(CScheduleTask& task, CListEditorRows& rows, Load load) { load(task, rows); }

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;

private:
    Load m_load;
    std::vector<std::string> m_titles;
};
