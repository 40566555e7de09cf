#include "core/DivisionTableData.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/util/NumberText.h"

#include <algorithm>

namespace {

template <class T>
std::vector<T*> InIndexOrder(const CQZObjectList& list)
{
    std::vector<T*> records = list.Records<T>();
    std::stable_sort(records.begin(), records.end(),
                     [](const T* a, const T* b) { return a->GetIndex() < b->GetIndex(); });
    return records;
}

const std::string kEmpty;

} // namespace

CDivisionTableData::CDivisionTableData(CScheduleTask& task) : m_task(task)
{
    m_subjectNames = task.GetCustomSubjectArray();
}

std::vector<CClassInfo*> CDivisionTableData::ClassesInOrder(const CScheduleTask& task)
{
    return InIndexOrder<CClassInfo>(task.GetClassInfoList());
}

int CDivisionTableData::Fill(const std::string& classId)
{
    return FillRows(classId, false);
}

int CDivisionTableData::FillUnplaced()
{
    return FillRows(std::string(), true);
}

int CDivisionTableData::FillRows(const std::string& classId, bool unplaced)
{
    m_subjectNames = m_task.GetCustomSubjectArray();
    m_rows.clear();

    const CQZObjectList& classes = m_task.GetClassInfoList();
    int repaired = 0;
    for (CStudentInfo* student : InIndexOrder<CStudentInfo>(m_task.GetStudentInfoList())) {
        const std::string& own = student->ClassIdRef();
        // The placed rows look only at the students of the class shown.
        if (!unplaced && (own.empty() || (!classId.empty() && own != classId)))
            continue;
        const CQZObject* info = own.empty() ? nullptr : classes.Find(own);
        if (!own.empty() && !info) {
            student->SetClassId(std::string());
            ++repaired;
        }
        if (unplaced == (info != nullptr))
            continue;
        AddRow(*student, info ? info->NameRef() : std::string());
    }
    return repaired;
}

void CDivisionTableData::AddRow(CStudentInfo& student, const std::string& className)
{
    Row row;
    row.studentId = student.GetId();
    row.number = static_cast<int>(m_rows.size()) + 1;
    row.name = student.GetName();
    row.className = className;
    row.sex = student.GetSex() == 0 ? "女" : "男";
    row.fromSchool = student.GetFromSchool();
    const auto& scores = student.GetScoreArray();
    row.scores.assign(scores.begin(),
                      scores.begin() + static_cast<std::ptrdiff_t>(std::min(scores.size(), m_subjectNames.size())));
    student.CalculateScoreCount();
    row.total = FormatTotal(student.GetScoreCount());
    m_rows.push_back(std::move(row));
}

std::vector<std::string> CDivisionTableData::ColumnTitles() const
{
    std::vector<std::string> titles = {"ID", "序号", "姓名", "班级", "性别", "原学校"};
    titles.insert(titles.end(), m_subjectNames.begin(), m_subjectNames.end());
    titles.push_back("总分");
    return titles;
}

const std::string& CDivisionTableData::CellRef(std::size_t row, int column) const
{
    if (row >= m_rows.size() || column < 0 || column >= GetColumnCount())
        return kEmpty;
    const Row& r = m_rows[row];
    switch (column) {
    case ColumnId: return r.studentId;
    case ColumnName: return r.name;
    case ColumnClass: return r.className;
    case ColumnSex: return r.sex;
    case ColumnFromSchool: return r.fromSchool;
    default: break;
    }
    if (column == GetTotalColumn())
        return r.total;
    const std::size_t k = static_cast<std::size_t>(column - ColumnFirstSubject);
    return k < r.scores.size() ? r.scores[k] : kEmpty;
}

std::string CDivisionTableData::CellText(std::size_t row, int column) const
{
    if (column == ColumnNumber && row < m_rows.size())
        return std::to_string(m_rows[row].number);
    return CellRef(row, column);
}

std::string CDivisionTableData::FormatTotal(float total)
{
    return CNumberText::OneDecimal(static_cast<double>(total));
}
