#include "base/task/ScheduleTask.h"

#include "base/timetable/CourseInfo.h"
#include "base/util/FileUtil.h"
#include "base/task/DivisionRulesFile.h"
#include "base/task/InputDataFile.h"
#include "base/task/OutputDataFile.h"
#include "base/task/TaskBackup.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <unordered_map>

CScheduleTask::CScheduleTask() = default;

CScheduleTask::~CScheduleTask() = default;

void CScheduleTask::SetMessageHandler(MessageHandler handler)
{
    m_messageHandler = std::move(handler);
}

void CScheduleTask::ShowMessage(const std::string& text) const
{
    if (m_messageHandler)
        m_messageHandler(text);
    else
        std::cerr << text << std::endl;
}

bool CScheduleTask::Open(const std::string& path)
{
    if (!CFileUtil::FileExists(path))
        return false;
    m_taskInfo.ReadFromFile(path);
    // What interrupted saves left beside the files goes now.
    for (const std::string& file :
         {m_taskInfo.GetTaskFile(), m_taskInfo.GetInputFilePath(), m_taskInfo.GetOutputFilePath(),
          m_taskInfo.GetReportFilePath(), m_taskInfo.GetRulesFilePath()})
        CFileUtil::RemoveLeftovers(file);
    ReadInputData();
    ReadRules();
    ReadOutputData();
    ReadReportInfo();
    return true;
}

bool CScheduleTask::CanWrite() const
{
    // A task without a folder has nowhere to go (not the working folder).
    return !m_readOnly && !m_taskInfo.GetTaskFolder().empty();
}

CScheduleTask::SaveResult CScheduleTask::FailureReason() const
{
    if (m_readOnly)
        return SaveResult::ReadOnly;
    if (m_taskInfo.GetTaskFolder().empty())
        return SaveResult::NoFolder;
    if (!CFileUtil::FolderExists(m_taskInfo.GetTaskFolder()))
        return SaveResult::FolderMissing;
    return SaveResult::NotWritten;
}

bool CScheduleTask::WritesRules() const
{
    return !m_rulesDamaged && (!m_rules.IsEmpty() || CFileUtil::FileExists(m_taskInfo.GetRulesFilePath()));
}

CFileUtil::FileBytes CScheduleTask::InputFileBytes() const
{
    // Written as it is made: a large task's file is never held whole.
    return {m_taskInfo.GetInputFilePath(), [this](const CFileUtil::Sink& sink) {
                return CInputDataFile::WriteTo(*this, sink);
            }};
}

CScheduleTask::SaveResult CScheduleTask::WriteInputData()
{
    std::size_t replaced = 0;
    std::size_t files = 1;
    try {
        if (CanWrite()) {
            const std::string rules = WritesRules() ? CDivisionRulesFile::Write(m_rules) : std::string();
            std::vector<CFileUtil::FileBytes> pair{InputFileBytes()};
            if (!rules.empty())
                pair.push_back({m_taskInfo.GetRulesFilePath(), rules});
            files = pair.size();
            replaced = CFileUtil::ReplaceFiles(pair);
        }
    } catch (const std::exception&) {
        replaced = 0;
    }
    const SaveResult result = replaced == files ? SaveResult::Saved
                              : replaced > 0    ? SaveResult::PartlyWritten
                                                : FailureReason();
    AutoBackup();
    return result;
}

bool CScheduleTask::SaveInputData()
{
    const SaveResult result = WriteInputData();
    // Data that went in place without the rules beside them is not reported
    // as unwritten, as with the report.
    if (result != SaveResult::Saved && result != SaveResult::PartlyWritten)
        ShowMessage("exception in SaveInputData");
    return result == SaveResult::Saved;
}

CScheduleTask::SaveResult CScheduleTask::WriteInputDataWithReport()
{
    std::size_t replaced = 0;
    std::size_t count = 2;
    try {
        if (CanWrite()) {
            const std::string rules = WritesRules() ? CDivisionRulesFile::Write(m_rules) : std::string();
            const std::string report = ReportBytes();
            std::vector<CFileUtil::FileBytes> files{InputFileBytes()};
            if (!rules.empty())
                files.push_back({m_taskInfo.GetRulesFilePath(), rules});
            files.push_back({m_taskInfo.GetReportFilePath(), report});
            count = files.size();
            replaced = CFileUtil::ReplaceFiles(files);
        }
    } catch (const std::exception&) {
        replaced = 0;
    }
    const SaveResult result = replaced == count ? SaveResult::Saved
                              : replaced == 1   ? SaveResult::PartlyWritten
                                                : FailureReason();
    AutoBackup();
    return result;
}

bool CScheduleTask::SaveInputDataWithReport()
{
    const SaveResult result = WriteInputDataWithReport();
    // A pair of which the data went in place is not reported as unwritten.
    if (result != SaveResult::Saved && result != SaveResult::PartlyWritten)
        ShowMessage("exception in SaveInputData");
    return result == SaveResult::Saved;
}

std::string CScheduleTask::SnapshotInputData() const
{
    return CInputDataFile::Write(*this);
}

bool CScheduleTask::RestoreInputData(const std::string& snapshot)
{
    // What a division put into the classes' lists is not part of the file.
    std::unordered_map<std::string, std::vector<std::string>> classLists;
    for (CClassInfo* info : m_classes.Records<CClassInfo>())
        classLists.emplace(info->GetId(), std::move(info->GetStudentArray()));

    m_subjectNames.clear();
    for (CQZObjectList* list : {&m_teachers, &m_classes, &m_students, &m_rooms, &m_mutexStudents, &m_studentPresets})
        list->RemoveAll();
    const InputState state = CInputDataFile::ReadBytes(snapshot, *this);
    for (CClassInfo* info : m_classes.Records<CClassInfo>()) {
        const auto found = classLists.find(info->GetId());
        if (found != classLists.end())
            info->GetStudentArray() = std::move(found->second);
    }
    return state == InputState::Loaded;
}

CScheduleTask::SaveResult CScheduleTask::WriteOutputData()
{
    bool written = false;
    try {
        written =
            CanWrite() && CFileUtil::WriteFileAtomically(m_taskInfo.GetOutputFilePath(), COutputDataFile::Write(*this));
    } catch (const std::exception&) {
        written = false;
    }
    const SaveResult result = written ? SaveResult::Saved : FailureReason();
    AutoBackup();
    return result;
}

bool CScheduleTask::SaveOutputData()
{
    const SaveResult result = WriteOutputData();
    if (result != SaveResult::Saved)
        ShowMessage("exception in SaveOutputData");
    return result == SaveResult::Saved;
}

bool CScheduleTask::ReadInputData()
{
    m_inputState = CInputDataFile::Read(m_taskInfo.GetInputFilePath(), *this);
    if (m_inputState == InputState::Damaged)
        ShowMessage("exception in ReadInputData");
    return m_inputState != InputState::Missing;
}

void CScheduleTask::ReadRules()
{
    m_rulesDamaged =
        CDivisionRulesFile::Read(m_taskInfo.GetRulesFilePath(), m_rules) == CDivisionRulesFile::ReadResult::Damaged;
    if (m_rulesDamaged)
        ShowMessage("分班规则文件 " + m_taskInfo.GetRulesFilePath()
                    + " 无法读取，其中的规则本次不起作用，文件保持原样。");
}

bool CScheduleTask::ReadOutputData()
{
    const COutputDataFile::Result result = COutputDataFile::Read(m_taskInfo.GetOutputFilePath(), *this);
    if (result == COutputDataFile::Result::Damaged)
        ShowMessage("exception in ReadOutputData");
    return result != COutputDataFile::Result::Missing;
}

void CScheduleTask::InitReportInfo()
{
    m_report.Clear();
    m_report.SetCurrentTime();
    m_report.SetClassCount(static_cast<int>(m_classes.GetCount()));
    m_report.SetSubjectCount(static_cast<int>(m_subjectNames.size()));
    m_report.SetStudentCount(static_cast<int>(m_students.GetCount()));
}

std::string CScheduleTask::ReportBytes() const
{
    std::string bytes = CTextCodec::ToGbk(m_report.GetReportInfo());
    bytes += '\0';
    return bytes;
}

bool CScheduleTask::SaveLastReportInfo()
{
    if (!CanWrite())
        return false;
    return CFileUtil::WriteFileAtomically(m_taskInfo.GetReportFilePath(), ReportBytes());
}

bool CScheduleTask::ReadReportInfo()
{
    const std::optional<std::string> bytes = CFileUtil::ReadFile(m_taskInfo.GetReportFilePath());
    if (!bytes)
        return false;
    const std::size_t end = bytes->find('\0');
    m_report.SetReportInfo(CTextCodec::FromGbk(end == std::string::npos ? *bytes : bytes->substr(0, end)));
    return true;
}

std::string CScheduleTask::GetStudentName(const std::string& id) const
{
    return m_students.GetObjectName(id);
}

std::string CScheduleTask::GetClassName(const std::string& id) const
{
    return m_classes.GetObjectName(id);
}

std::string CScheduleTask::GetSubjectName(const std::string& id) const
{
    return m_subjects.GetObjectName(id);
}

std::string CScheduleTask::GetTeacherName(const std::string& id) const
{
    return m_teachers.GetObjectName(id);
}

std::string CScheduleTask::GetStudentNameList(const std::vector<std::string>& ids) const
{
    std::string list;
    bool first = true;
    for (const std::string& id : ids) {
        const CQZObject* student = m_students.Find(id);
        if (!student)
            continue;
        if (!first)
            list += "，";
        list += student->NameRef();
        first = false;
    }
    return list;
}

void CScheduleTask::MaintainMutexDataIntegrity()
{
    const bool rules = DropStaleRules();
    if (DropStaleMutexMembers() || rules)
        SaveInputData();
}

bool CScheduleTask::DropStaleMutexMembers()
{
    std::vector<std::string> emptied;
    bool changed = false;
    for (const auto& entry : m_mutexStudents) {
        auto* group = static_cast<CMutexStudent*>(entry.object.get());
        std::vector<std::string>& members = group->GetMutexStudents();
        const std::size_t before = members.size();
        std::erase_if(members, [this](const std::string& id) { return m_students.Find(id) == nullptr; });
        if (members.size() != before)
            changed = true;
        if (members.empty()) {
            emptied.push_back(entry.id);
            changed = true;
        }
    }
    for (const std::string& id : emptied)
        m_mutexStudents.Remove(id);
    return changed;
}

void CScheduleTask::MaintainPresetDataIntegrity()
{
    if (DropStalePresets())
        SaveInputData();
}

bool CScheduleTask::DropStaleRules()
{
    return m_rules.DropStale([this](const std::string& id) { return m_students.Find(id) != nullptr; });
}

bool CScheduleTask::DropStalePresets()
{
    std::vector<std::string> stale;
    for (const auto& entry : m_studentPresets) {
        const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
        if (!m_students.Find(preset->IdRef()) || !m_classes.Find(preset->GetPresetClassId()))
            stale.push_back(entry.id);
    }
    for (const std::string& id : stale)
        m_studentPresets.Remove(id);
    return !stale.empty();
}

std::string CScheduleTask::GetTimeNodeDesc(int slot) const
{
    static const char* const kDays[kWeekDays] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    static const char* const kSegments[kDaySegments] = {"上午", "下午", "晚上"};
    if (slot < 0 || slot >= kWeekSlots)
        return {};
    const int day = slot / (kDaySegments * kSegmentSections);
    const int segment = slot / kSegmentSections % kDaySegments;
    const int section = slot % kSegmentSections;
    return std::string(kDays[day]) + kSegments[segment] + "第" + std::to_string(section + 1) + "节";
}

std::string CScheduleTask::GetCourseDesc(const CCourseInfo* course) const
{
    if (!course)
        return {};
    return m_teachers.GetObjectName(course->GetTeacherId()) + "老师的"
           + m_subjects.GetObjectName(course->GetSubjectId()) + "(" + m_classes.GetObjectName(course->GetClassId())
           + ")";
}

bool CScheduleTask::AutoBackup()
{
    return CanWrite() && CTaskBackup::CopyOfTheDay(m_taskInfo);
}
