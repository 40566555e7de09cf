#include "logic/editing/StudentTable.h"

#include "logic/editing/ObjectId.h"
#include "logic/editing/RecordOrder.h"
#include "base/task/ScheduleTask.h"
#include "logic/import/SheetText.h"
#include "base/records/StudentInfo.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <type_traits>

namespace {

// Map entries before the scores: name, sex, original school.
constexpr int kMappedBeforeScores = 3;

// The text after a leading star (half or full width), if the title has one.
bool StarredName(const std::string& key, std::string& name)
{
    for (std::string_view star : {std::string_view("*"), std::string_view("\xEF\xBC\x8A")}) {
        if (key.size() > star.size() && std::string_view(key).starts_with(star)) {
            name = key.substr(star.size());
            return true;
        }
    }
    return false;
}

} // namespace

const char* const CStudentTable::kNoNameColumn = "在EXCEL表格中没有找到“姓名”列";

void CStudentTable::Load(const CScheduleTask& task)
{
    m_rows.clear();
    m_columnMap.clear();
    m_scoreNames = task.GetCustomSubjectArray();
    m_conditionNames = task.GetDivisionRules().GetConditionNames();
    m_scoreWidth = kLoadedScoreWidth;

    const std::vector<CStudentInfo*> students = CRecordOrder::InIndexOrder<CStudentInfo>(task.GetStudentInfoList());
    m_rows.reserve(students.size());
    for (const CStudentInfo* student : students) {
        std::vector<std::string> row(static_cast<std::size_t>(GetColumnCount()));
        row[ColumnId] = student->GetId();
        row[ColumnNumber] = std::to_string(m_rows.size() + 1);
        row[ColumnName] = student->GetName();
        row[ColumnSex] = SexText(student->GetSex());
        row[ColumnFromSchool] = student->GetFromSchool();
        const std::vector<std::string>& scores = student->GetScoreArray();
        for (std::size_t k = 0; k < m_scoreNames.size() && k < scores.size(); ++k)
            row[ColumnFirstScore + k] = scores[k];
        if (!m_conditionNames.empty()) {
            std::vector<std::string> conditions = task.GetDivisionRules().GetConditions(student->GetId());
            std::move(conditions.begin(), conditions.end(), row.begin() + FirstConditionColumn());
        }
        m_rows.push_back(std::move(row));
    }
}

bool CStudentTable::IsConditionTitle(const std::string& title)
{
    for (std::string_view hash : {std::string_view("#"), std::string_view("\xEF\xBC\x83")}) {
        if (title.size() > hash.size() && std::string_view(title).starts_with(hash))
            return true;
    }
    return false;
}

bool CStudentTable::TakeHeader(RowRequest& request, const std::vector<std::string>& cells)
{
    std::vector<int> map(kMappedBeforeScores, -1);
    std::vector<std::string> scoreNames;
    std::vector<int> conditionColumns;
    std::vector<std::string> conditionNames;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string key = CSheetText::HeaderKey(cells[i]);
        const int column = static_cast<int>(i);
        std::string scoreName;
        if (CSheetText::EqualsNoCase(key, "姓名")) {
            map[0] = column;
        } else if (CSheetText::EqualsNoCase(key, "性别")) {
            map[1] = column;
        } else if (CSheetText::EqualsNoCase(key, "原学校")) {
            map[2] = column;
        } else if (StarredName(key, scoreName)) {
            map.push_back(column);
            scoreNames.push_back(scoreName);
        } else if (IsConditionTitle(key)
                   && std::find(conditionNames.begin(), conditionNames.end(), key) == conditionNames.end()) {
            conditionColumns.push_back(column);
            conditionNames.push_back(key);
        }
    }
    if (map[0] < 0) {
        request.accepted = false;
        request.message = kNoNameColumn;
        return false;
    }
    map.insert(map.end(), conditionColumns.begin(), conditionColumns.end());
    map.resize(std::max(map.size(), cells.size() + kMappedBeforeScores), -1);
    m_columnMap = std::move(map);
    m_scoreNames = std::move(scoreNames);
    m_conditionNames = std::move(conditionNames);
    m_scoreWidth = kImportedScoreWidth;
    for (std::vector<std::string>& row : m_rows)
        row.resize(static_cast<std::size_t>(GetColumnCount()));
    request.accepted = true;
    return true;
}

void CStudentTable::FillRow(std::vector<std::string>& row, const std::vector<std::string>& cells) const
{
    const std::size_t columns = static_cast<std::size_t>(GetColumnCount());
    for (std::size_t j = 0; j < m_columnMap.size() && ColumnName + j < columns; ++j) {
        const int source = m_columnMap[j];
        if (source >= 0 && static_cast<std::size_t>(source) < cells.size())
            row[ColumnName + j] = cells[static_cast<std::size_t>(source)];
    }
}

int CStudentTable::SubmitRow(RowRequest& request, const std::vector<std::string>& cells, int selectedRow)
{
    switch (request.mode) {
    case RowMode::Header: return TakeHeader(request, cells) ? 0 : -1;
    case RowMode::Replace:
        if (selectedRow < 0 || static_cast<std::size_t>(selectedRow) >= m_rows.size()) {
            request.accepted = false;
            return -1;
        }
        FillRow(m_rows[static_cast<std::size_t>(selectedRow)], cells);
        break;
    case RowMode::Add: {
        if (!HasMappedValue(cells)) {
            request.accepted = false;
            return -1;
        }
        std::vector<std::string> row(static_cast<std::size_t>(GetColumnCount()));
        row[ColumnId] = CObjectId::New();
        row[ColumnNumber] = std::to_string(m_rows.size() + 1);
        FillRow(row, cells);
        m_rows.push_back(std::move(row));
        break;
    }
    }
    request.accepted = true;
    return 0;
}

bool CStudentTable::HasMappedValue(const std::vector<std::string>& cells) const
{
    for (const int source : m_columnMap) {
        if (source >= 0 && static_cast<std::size_t>(source) < cells.size()
            && !CSheetText::Trim(cells[static_cast<std::size_t>(source)]).empty())
            return true;
    }
    return false;
}

std::size_t CStudentTable::NamelessCount() const
{
    return static_cast<std::size_t>(std::count_if(
        m_rows.begin(), m_rows.end(), [](const auto& row) { return CSheetText::Trim(row[ColumnName]).empty(); }));
}

void CStudentTable::Clear()
{
    m_rows.clear();
}

// Rows given as non-const are taken apart as they are stored.
template <class Rows>
void CStudentTable::Store(CScheduleTask& task, Rows& rows) const
{
    constexpr bool kTake = !std::is_const_v<Rows>;
    task.GetCustomSubjectArray() = m_scoreNames;
    CQZObjectList& students = task.GetStudentInfoList();
    students.RemoveAll();
    students.Reserve(rows.size());

    // The students are new records: their conditions are the rows' alone.
    CDivisionRules& rules = task.GetDivisionRules();
    const bool conditions = !m_conditionNames.empty() || !rules.GetConditionNames().empty();
    if (conditions) {
        rules.SetConditionNames({});
        rules.SetConditionNames(m_conditionNames);
    }
    const auto firstCondition = static_cast<std::size_t>(FirstConditionColumn());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto& row = rows[r];
        if (conditions) {
            std::vector<std::string> values;
            for (std::size_t k = firstCondition; k < row.size(); ++k)
                values.push_back(std::string(CSheetText::Trim(row[k])));
            rules.SetConditions(row[ColumnId], std::move(values));
        }
        auto student = std::make_unique<CStudentInfo>();
        student->SetSex(SexCode(row[ColumnSex]));
        student->SetIndex(static_cast<int>(r));
        student->SetId(row[ColumnId]);
        student->SetName(row[ColumnName]);
        student->SetFromSchool(row[ColumnFromSchool]);
        std::vector<std::string>& scores = student->GetScoreArray();
        const auto scoresBegin = row.begin() + ColumnFirstScore;
        const auto scoresEnd = row.begin() + static_cast<std::ptrdiff_t>(firstCondition);
        if constexpr (kTake) {
            scores.assign(std::make_move_iterator(scoresBegin), std::make_move_iterator(scoresEnd));
            std::vector<std::string>().swap(row);
        } else {
            scores.assign(scoresBegin, scoresEnd);
        }
        students.Add(std::move(student));
    }
}

void CStudentTable::SaveTo(CScheduleTask& task) const
{
    Store(task, m_rows);
}

void CStudentTable::MoveTo(CScheduleTask& task)
{
    Store(task, m_rows);
    m_rows.clear();
    m_rows.shrink_to_fit();
}

std::vector<std::string> CStudentTable::ColumnTitles() const
{
    std::vector<std::string> titles = {"ID", "序号", "姓名", "性别", "原学校"};
    titles.insert(titles.end(), m_scoreNames.begin(), m_scoreNames.end());
    titles.insert(titles.end(), m_conditionNames.begin(), m_conditionNames.end());
    return titles;
}

std::string CStudentTable::CellText(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= GetColumnCount())
        return std::string();
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void CStudentTable::RemoveRows(const std::vector<int>& bottomUp)
{
    for (int row : bottomUp) {
        if (row >= 0 && row < RowCount())
            m_rows.erase(m_rows.begin() + row);
    }
}

void CStudentTable::SwapRows(int a, int b)
{
    if (a >= 0 && b >= 0 && a < RowCount() && b < RowCount())
        std::swap(m_rows[static_cast<std::size_t>(a)], m_rows[static_cast<std::size_t>(b)]);
}

int CStudentTable::SexCode(std::string_view text)
{
    return CSheetText::EqualsNoCase(CSheetText::Trim(text), "女") ? 0 : 1;
}

std::string CStudentTable::SexText(int code)
{
    return code == 0 ? "女" : "男";
}
