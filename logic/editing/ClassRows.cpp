#include "logic/editing/ClassRows.h"

#include "base/records/ClassInfo.h"
#include "logic/editing/ClassNamePattern.h"
#include "logic/editing/CountText.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/NameRules.h"
#include "logic/editing/ObjectId.h"
#include "logic/editing/RecordOrder.h"
#include "base/task/ScheduleTask.h"
#include "logic/import/SheetText.h"
#include "base/records/StudentPreset.h"

#include <algorithm>

#include <charconv>

namespace {
// The decimal value of a count cell; 0 when it holds none.
unsigned CountOf(const std::string& text)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
}

// A whole number between min and max, or message.
std::string CheckRange(std::string_view typed, int min, int max, const std::string& message, int& value)
{
    const bool good = CCountText::Parse(typed, value) == CCountText::Result::Number && value >= min && value <= max;
    return good ? std::string() : message;
}
} // namespace

void CClassRows::Load(const CScheduleTask& task, CListEditorRows& rows)
{
    const std::vector<CClassInfo*> classes = CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList());
    rows.Reserve(static_cast<int>(classes.size()));
    for (const CClassInfo* info : classes)
        rows.Append(
            {info->GetId(), info->GetName(), std::to_string(info->GetStudentCount()), info->GetHeadTeacherName()});
}

void CClassRows::SaveTo(CScheduleTask& task, const CListRows& rows, const std::vector<std::string>& deletedIds)
{
    CQZObjectList& list = task.GetClassInfoList();
    const int count = rows.RowCount();
    for (int row = 0; row < count; ++row) {
        const std::string id = rows.CellText(row, ColumnId);
        CClassInfo* info = list.FindAs<CClassInfo>(id);
        std::unique_ptr<CClassInfo> added;
        if (!info) {
            added = std::make_unique<CClassInfo>();
            added->SetId(id);
            info = added.get();
        }
        info->SetName(rows.CellText(row, ColumnName));
        info->SetStudentCount(CountOf(rows.CellText(row, ColumnStudentCount)));
        info->SetHeadTeacherName(rows.CellText(row, ColumnHeadTeacher));
        info->SetIndex(row);
        if (added)
            list.Add(std::move(added));
        else
            list.Modify(info);
    }
    // A pre-assignment to a class that is gone would hold its student for
    // nothing; it leaves with the class, in the same save.
    std::vector<std::string> kept;
    for (int row = 0; row < count; ++row)
        kept.push_back(rows.CellText(row, ColumnId));
    std::vector<std::string> gone;
    for (const std::string& id : deletedIds) {
        if (std::find(kept.begin(), kept.end(), id) == kept.end())
            gone.push_back(id);
    }
    for (const CStudentPreset* preset : PresetsTo(task, gone))
        task.GetStudentPresetList().Remove(preset->GetId());
    for (const std::string& id : gone) {
        list.Remove(id);
        task.DelClassRelation(id);
    }
}

std::vector<const CStudentPreset*> CClassRows::PresetsTo(const CScheduleTask& task,
                                                         const std::vector<std::string>& classIds)
{
    std::vector<const CStudentPreset*> found;
    for (const CStudentPreset* preset : CRecordOrder::InIndexOrder<CStudentPreset>(task.GetStudentPresetList())) {
        if (std::find(classIds.begin(), classIds.end(), preset->GetPresetClassId()) != classIds.end())
            found.push_back(preset);
    }
    return found;
}

std::string CClassRows::DescribePresets(const CScheduleTask& task, const std::vector<const CStudentPreset*>& presets)
{
    std::string text;
    for (std::size_t i = 0; i < presets.size() && i < kNamedPresets; ++i) {
        const std::string student = task.GetStudentName(presets[i]->GetId());
        text += (i > 0 ? "、" : "") + (student.empty() ? presets[i]->GetId() : student) + "（"
                + task.GetClassName(presets[i]->GetPresetClassId()) + "）";
    }
    if (presets.size() > kNamedPresets)
        text += " 等 " + std::to_string(presets.size()) + " 名学生";
    return text;
}

bool CClassRows::Add(CListEditorRows& rows, const std::string& name, int count)
{
    if (CNameRules::FindSameName(rows, ColumnName, name) >= 0)
        return false;
    rows.Append({CObjectId::New(), name, std::to_string(count)});
    return true;
}

std::string CClassRows::CheckName(std::string_view typed, std::string& name)
{
    name = CSheetText::Trim(typed);
    return name.empty() ? "请输入班级名称" : std::string();
}

std::vector<std::pair<int, std::string>> CClassRows::ChangedCells(const Change& change)
{
    std::vector<std::pair<int, std::string>> cells;
    if (change.count)
        cells.emplace_back(ColumnStudentCount, std::to_string(*change.count));
    if (change.headTeacher)
        cells.emplace_back(ColumnHeadTeacher, *change.headTeacher);
    return cells;
}

std::string CClassRows::HeadTeacher(std::string_view typed)
{
    return std::string(CSheetText::Trim(typed));
}

std::string CClassRows::CheckCount(std::string_view typed, int& count)
{
    switch (CCountText::Parse(typed, count)) {
    case CCountText::Result::NotNumber: return "班级人数必须是整数";
    case CCountText::Result::TooLarge: return "班级人数不能超过 " + std::to_string(CCountText::kMax);
    case CCountText::Result::Number: break;
    }
    return count > 0 ? std::string() : "班级人数应该大于零";
}

std::string CClassRows::CheckNumberOfClasses(std::string_view typed, int& classes)
{
    const int max = ClassNamePattern::kMaxClasses;
    return CheckRange(typed, 1, max, "班级数应该是 1 到 " + std::to_string(max) + " 之间的整数。", classes);
}

std::string CClassRows::CheckStudentsPerClass(std::string_view typed, int& students)
{
    const int max = CCountText::kMax;
    return CheckRange(typed, 0, max, "每班学生人数应该是 0 到 " + std::to_string(max) + " 之间的整数。", students);
}
