#include "cli/GroupsCommand.h"

#include "logic/editing/MutexGroupRows.h"

CGroupsCommand::CGroupsCommand()
    : CEditorListCommand("groups", "输出互斥学生组（序号与学生姓名）", &CMutexGroupRows::LoadInMemory,
                         {"序号", "互斥学生列表"})
{
}
