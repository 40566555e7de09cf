#include "ScheduleTask.h"

#include "FileUtil.h"
#include "TextCodec.h"

#include <cstdio>
#include <iostream>

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
    ReadInputData();
    ReadOutputData();
    ReadReportInfo();
    return true;
}

bool CScheduleTask::SaveInputData()
{
    return false;
}

bool CScheduleTask::SaveOutputData()
{
    return false;
}

bool CScheduleTask::ReadInputData()
{
    return false;
}

bool CScheduleTask::ReadOutputData()
{
    return false;
}

void CScheduleTask::InitReportInfo()
{
    m_report.Clear();
    m_report.SetCurrentTime();
    m_report.SetClassCount(static_cast<int>(m_classes.GetCount()));
    m_report.SetSubjectCount(static_cast<int>(m_subjectNames.size()));
    m_report.SetStudentCount(static_cast<int>(m_students.GetCount()));
}

bool CScheduleTask::SaveLastReportInfo()
{
    std::string bytes = CTextCodec::ToGbk(m_report.GetReportInfo());
    bytes += '\0';
    return CFileUtil::WriteFileAtomically(m_taskInfo.GetReportFilePath(), bytes);
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
    if (changed)
        SaveInputData();
}

void CScheduleTask::MaintainPresetDataIntegrity()
{
    std::vector<std::string> stale;
    for (const auto& entry : m_studentPresets) {
        const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
        if (!m_students.Find(preset->IdRef()) || !m_classes.Find(preset->GetPresetClassId()))
            stale.push_back(entry.id);
    }
    for (const std::string& id : stale)
        m_studentPresets.Remove(id);
    if (!stale.empty())
        SaveInputData();
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

bool CScheduleTask::AutoBackup()
{
    return false;
}
