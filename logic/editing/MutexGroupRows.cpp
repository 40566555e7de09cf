#include "logic/editing/MutexGroupRows.h"

#include "logic/editing/ListEditorRows.h"
#include "base/records/MutexStudent.h"
#include "logic/editing/ObjectId.h"
#include "logic/editing/RecordOrder.h"
#include "base/task/ScheduleTask.h"

void CMutexGroupRows::Load(CScheduleTask& task, CListEditorRows& rows)
{
    task.MaintainMutexDataIntegrity();
    Fill(task, rows);
}

void CMutexGroupRows::LoadInMemory(CScheduleTask& task, CListEditorRows& rows)
{
    task.DropStaleMutexMembers();
    Fill(task, rows);
}

void CMutexGroupRows::Fill(const CScheduleTask& task, CListEditorRows& rows)
{
    const std::vector<CMutexStudent*> groups = CRecordOrder::InIndexOrder<CMutexStudent>(task.GetMutexStudentList());
    rows.Reserve(static_cast<int>(groups.size()));
    for (CMutexStudent* group : groups) {
        if (!group->GetMutexStudents().empty())
            rows.Append(Cells(task, *group, rows.RowCount()), CListEditorRows::CopyOf(group));
    }
}

std::vector<std::string> CMutexGroupRows::Cells(const CScheduleTask& task, const CMutexStudent& group, int row)
{
    return {group.GetId(), std::to_string(row + 1), task.GetStudentNameList(group.GetMutexStudents())};
}

std::unique_ptr<CMutexStudent> CMutexGroupRows::NewGroup(const std::vector<std::string>& studentIds)
{
    auto group = std::make_unique<CMutexStudent>();
    group->SetId(CObjectId::New());
    group->GetMutexStudents() = studentIds;
    return group;
}

void CMutexGroupRows::SaveTo(CScheduleTask& task, const CListEditorRows& rows)
{
    CRecordOrder::ReplaceInOrder<CMutexStudent>(task.GetMutexStudentList(), rows.RowCount(),
                                                [&rows](int row) { return rows.Attached(row); });
}
