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
    // How a list editor fills its rows from the task when it opens.
    using Load = void (*)(CScheduleTask& task, CListEditorRows& rows);

    CEditorListCommand(std::string name, std::string summary, Load load, std::vector<std::string> titles);

    // Fills rows as an editor does when it opens (load). Its checks on
    // opening drop what no longer fits the task and save it at once; here
    // they change the task in memory only, and the command's own save (if
    // any) writes it all.
    static void LoadRows(CScheduleTask& task, CListEditorRows& rows, Load load);

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;

private:
    Load m_load;
    std::vector<std::string> m_titles;
};
