#include "core/DivisionTableData.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/util/NumberText.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <unordered_map>

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

std::optional<double> Figure(const std::string& text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

int CompareFigures(const std::string& a, const std::string& b)
{
    const std::optional<double> x = Figure(a);
    const std::optional<double> y = Figure(b);
    // Figures before words (such as an absence noted in place of a score).
    if (x && y)
        return *x < *y ? -1 : *y < *x ? 1 : 0;
    if (x || y)
        return x ? -1 : 1;
    return CDivisionTableData::CompareTexts(a, b);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

CDivisionTableData::CDivisionTableData(CScheduleTask& task) : m_task(task)
{
    m_subjectNames = task.GetCustomSubjectArray();
    m_conditionNames = task.GetDivisionRules().GetConditionNames();
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
    m_conditionNames = m_task.GetDivisionRules().GetConditionNames();
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
    if (!m_conditionNames.empty()) {
        row.conditions = m_task.GetDivisionRules().GetConditions(row.studentId);
        row.conditions.resize(m_conditionNames.size());
    }
    m_rows.push_back(std::move(row));
}

void CDivisionTableData::KeepRows(const std::function<bool(const Row&)>& keep)
{
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&keep](const Row& row) { return !keep(row); }),
                 m_rows.end());
}

bool CDivisionTableData::SortsHighestFirst(int column) const
{
    return IsFigureColumn(column);
}

int CDivisionTableData::CompareTexts(const std::string& a, const std::string& b)
{
    // GB2312 orders its common characters by pinyin.
    const std::string x = CTextCodec::ToGbk(a);
    const std::string y = CTextCodec::ToGbk(b);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() && j < y.size()) {
        if (IsDigit(x[i]) && IsDigit(y[j])) {
            // A run of digits against a run of digits: by value ("2班"
            // before "10班"), then the shorter run (fewer leading zeros).
            std::size_t endX = i;
            std::size_t endY = j;
            while (endX < x.size() && IsDigit(x[endX]))
                ++endX;
            while (endY < y.size() && IsDigit(y[endY]))
                ++endY;
            std::size_t startX = i;
            std::size_t startY = j;
            while (startX + 1 < endX && x[startX] == '0')
                ++startX;
            while (startY + 1 < endY && y[startY] == '0')
                ++startY;
            const std::size_t lengthX = endX - startX;
            const std::size_t lengthY = endY - startY;
            if (lengthX != lengthY)
                return lengthX < lengthY ? -1 : 1;
            if (const int order = x.compare(startX, lengthX, y, startY, lengthY); order != 0)
                return order < 0 ? -1 : 1;
            if (endX - i != endY - j)
                return endX - i < endY - j ? -1 : 1;
            i = endX;
            j = endY;
            continue;
        }
        const auto cx = static_cast<unsigned char>(x[i]);
        const auto cy = static_cast<unsigned char>(y[j]);
        if (cx != cy)
            return cx < cy ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < x.size() || j < y.size())
        return i < x.size() ? 1 : -1;
    return 0;
}

void CDivisionTableData::SortBy(int column, bool descending)
{
    if (column < 0 || column >= GetColumnCount() || column == ColumnId)
        return;
    // Cells fall into ranks that keep their places either way (empty cells
    // last, and in the figure columns words after the figures); the order
    // asked for applies within a rank.
    std::function<int(const Row&)> rank;
    std::function<int(const Row&, const Row&)> compare;
    if (column == ColumnNumber) {
        rank = [](const Row&) { return 0; };
        compare = [](const Row& a, const Row& b) { return a.number < b.number ? -1 : b.number < a.number ? 1 : 0; };
    } else if (IsFigureColumn(column)) {
        rank = [this, column](const Row& row) {
            const std::string& cell = RowCell(row, column);
            return cell.empty() ? 2 : Figure(cell) ? 0 : 1;
        };
        compare = [this, column](const Row& a, const Row& b) {
            return CompareFigures(RowCell(a, column), RowCell(b, column));
        };
    } else if (column == ColumnClass) {
        std::unordered_map<std::string, int> place;
        for (const CClassInfo* info : ClassesInOrder(m_task))
            place.emplace(info->GetName(), static_cast<int>(place.size()));
        rank = [](const Row& row) { return row.className.empty() ? 1 : 0; };
        compare = [place = std::move(place)](const Row& a, const Row& b) {
            const auto x = place.find(a.className);
            const auto y = place.find(b.className);
            if (x != place.end() && y != place.end())
                return x->second < y->second ? -1 : y->second < x->second ? 1 : 0;
            return CompareTexts(a.className, b.className);
        };
    } else {
        rank = [this, column](const Row& row) { return RowCell(row, column).empty() ? 1 : 0; };
        compare = [this, column](const Row& a, const Row& b) {
            return CompareTexts(RowCell(a, column), RowCell(b, column));
        };
    }
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        const int rankA = rank(a);
        const int rankB = rank(b);
        if (rankA != rankB)
            return rankA < rankB;
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
}

std::vector<std::string> CDivisionTableData::ColumnTitles() const
{
    std::vector<std::string> titles = {"ID", "序号", "姓名", "班级", "性别", "原学校"};
    titles.insert(titles.end(), m_subjectNames.begin(), m_subjectNames.end());
    titles.push_back("总分");
    titles.insert(titles.end(), m_conditionNames.begin(), m_conditionNames.end());
    return titles;
}

const std::string& CDivisionTableData::CellRef(std::size_t row, int column) const
{
    if (row >= m_rows.size())
        return kEmpty;
    return RowCell(m_rows[row], column);
}

const std::string& CDivisionTableData::RowCell(const Row& r, int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return kEmpty;
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
    if (column > GetTotalColumn()) {
        const std::size_t k = static_cast<std::size_t>(column - GetFirstConditionColumn());
        return k < r.conditions.size() ? r.conditions[k] : kEmpty;
    }
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
