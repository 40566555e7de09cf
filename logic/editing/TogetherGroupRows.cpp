#include "logic/editing/TogetherGroupRows.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/ObjectId.h"

#include <algorithm>

void CTogetherGroupRows::Load(CScheduleTask& task, CListEditorRows& rows)
{
    if (task.DropStaleRules())
        task.SaveInputData();
    Fill(task, rows);
}

void CTogetherGroupRows::Fill(const CScheduleTask& task, CListEditorRows& rows)
{
    const std::vector<CDivisionRules::TogetherGroup>& groups = task.GetDivisionRules().TogetherGroups();
    rows.Reserve(static_cast<int>(groups.size()));
    for (const CDivisionRules::TogetherGroup& group : groups)
        rows.Append(Cells(task, group.id, group.studentIds, rows.RowCount()));
}

std::vector<std::string> CTogetherGroupRows::Cells(const CScheduleTask& task, std::string id,
                                                   const std::vector<std::string>& studentIds, int row)
{
    if (id.empty())
        id = CObjectId::New();
    return {std::move(id), std::to_string(row + 1), task.GetStudentNameList(studentIds), JoinIds(studentIds)};
}

std::vector<std::string> CTogetherGroupRows::StudentIds(const CListRows& rows, int row)
{
    return SplitIds(rows.CellText(row, ColumnStudentIds));
}

std::string CTogetherGroupRows::JoinIds(const std::vector<std::string>& studentIds)
{
    std::string joined;
    for (const std::string& id : studentIds)
        joined += (joined.empty() ? "" : ",") + id;
    return joined;
}

std::vector<std::string> CTogetherGroupRows::SplitIds(const std::string& joined)
{
    std::vector<std::string> ids;
    std::size_t start = 0;
    while (start < joined.size()) {
        const std::size_t comma = std::min(joined.find(',', start), joined.size());
        if (comma > start)
            ids.push_back(joined.substr(start, comma - start));
        start = comma + 1;
    }
    return ids;
}

void CTogetherGroupRows::SaveTo(CScheduleTask& task, const CListRows& rows)
{
    std::vector<CDivisionRules::TogetherGroup> groups;
    groups.reserve(static_cast<std::size_t>(rows.RowCount()));
    for (int row = 0; row < rows.RowCount(); ++row)
        groups.push_back({rows.CellText(row, ColumnId), StudentIds(rows, row)});
    task.GetDivisionRules().TogetherGroups() = std::move(groups);
}
