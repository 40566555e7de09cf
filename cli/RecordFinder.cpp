#include "cli/RecordFinder.h"

#include "base/records/ClassInfo.h"
#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "cli/Console.h"
#include "core/DivisionTableData.h"

#include <algorithm>
#include <vector>

CRecordFinder::CRecordFinder(const CScheduleTask& task, CConsole& console) : m_task(task), m_console(console) {}

ExitCode CRecordFinder::ClassByName(const std::string& className, std::string& classId)
{
    classId.clear();
    if (className.empty())
        return ExitCode::Done;
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(m_task)) {
        if (info->NameRef() == className) {
            classId = info->GetId();
            return ExitCode::Done;
        }
    }
    return m_console.Error(ExitCode::NotFound, "没有名为“" + className + "”的班级。");
}

ExitCode CRecordFinder::Student(const std::string& text, std::string& id)
{
    const CScheduleTask& task = m_task;
    return Record(
        task.GetStudentInfoList(), text, "学生", ExitCode::NoStudent,
        [&task](const CQZObject& record) {
            const auto& student = static_cast<const CStudentInfo&>(record);
            return ClassNameOrNone(task, student.ClassIdRef()) + '\t' + (student.IsGirl() ? "女" : "男") + '\t'
                   + student.GetFromSchool();
        },
        id);
}

ExitCode CRecordFinder::Class(const std::string& text, std::string& id)
{
    return Record(
        m_task.GetClassInfoList(), text, "班级", ExitCode::NotFound,
        [](const CQZObject& record) {
            return "计划人数 " + std::to_string(static_cast<const CClassInfo&>(record).GetStudentCount());
        },
        id);
}

std::string CRecordFinder::ClassNameOrNone(const CScheduleTask& task, const std::string& classId)
{
    const std::string name = task.GetClassName(classId);
    return name.empty() ? std::string("未分班") : name;
}

ExitCode CRecordFinder::Record(const CQZObjectList& list, const std::string& text, const std::string& kind,
                               ExitCode notFound, const std::function<std::string(const CQZObject&)>& describe,
                               std::string& id)
{
    if (list.Find(text)) {
        id = text;
        return ExitCode::Done;
    }
    std::vector<const CQZObject*> named;
    for (const auto& entry : list) {
        if (entry.object->NameRef() == text)
            named.push_back(entry.object.get());
    }
    if (named.size() == 1) {
        id = named.front()->GetId();
        return ExitCode::Done;
    }
    if (named.empty())
        return m_console.Error(notFound, "没有名称或ID为“" + text + "”的" + kind + "。");
    std::stable_sort(named.begin(), named.end(),
                     [](const CQZObject* a, const CQZObject* b) { return a->GetIndex() < b->GetIndex(); });
    std::ostream& err = m_console.Err();
    err << "错误：有 " << named.size() << " 个" << kind << "名为“" << text << "”，请改用ID：\n";
    for (const CQZObject* record : named)
        err << "  " << record->GetId() << '\t' << describe(*record) << '\n';
    err.flush();
    return ExitCode::Ambiguous;
}

ExitCode CRecordFinder::StudentAndClass(const std::string& studentText, const std::string& classText,
                                        std::string& studentId, std::string& classId)
{
    if (const ExitCode found = Student(studentText, studentId); found != ExitCode::Done)
        return found;
    return Class(classText, classId);
}
