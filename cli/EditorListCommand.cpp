#include "cli/EditorListCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/ListEditorRows.h"

#include <utility>

CEditorListCommand::CEditorListCommand(std::string name, std::string summary, Load load,
                                       std::vector<std::string> titles)
    : CTaskCommand(std::move(name), std::move(summary), Access::Read), m_load(load), m_titles(std::move(titles))
{
}

ExitCode CEditorListCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    CListEditorRows rows;
    LoadRows(task, rows, m_load);
    console.PrintLine(m_titles, 0);
    const int count = rows.RowCount();
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (std::size_t column = 1; column <= m_titles.size(); ++column)
            cells.push_back(rows.CellText(row, static_cast<int>(column)));
        console.PrintLine(cells, 0);
    }
    console.Out().flush();
    return ExitCode::Done;
}
