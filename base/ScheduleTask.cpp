#include "ScheduleTask.h"

#include "CourseInfo.h"
#include "FileUtil.h"
#include "NumberText.h"
#include "RoomInfo.h"
#include "TeacherInfo.h"
#include "TextCodec.h"
#include "XmlFile.h"
#include "XmlWriter.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

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

namespace {

// A required attribute is missing: stops the reading of a data file.
struct MissingAttribute : std::runtime_error
{
    explicit MissingAttribute(const char* name) : std::runtime_error(std::string("missing attribute ") + name) {}
};

// The attributes of one element, looked up in the order they are usually
// written, so that each lookup starts where the last one ended.
class CAttributeReader
{
public:
    explicit CAttributeReader(const pugi::xml_node& node) : m_node(node), m_hint(node.first_attribute()) {}

    const char* Required(const char* name)
    {
        const pugi::xml_attribute attribute = m_node.attribute(name, m_hint);
        if (!attribute)
            throw MissingAttribute(name);
        return attribute.value();
    }
    const char* Optional(const char* name)
    {
        return m_node.attribute(name, m_hint).value();
    }
    int RequiredInt(const char* name);
    unsigned RequiredCount(const char* name);

private:
    pugi::xml_node m_node;
    pugi::xml_attribute m_hint;
};

int CAttributeReader::RequiredInt(const char* name)
{
    return static_cast<int>(CNumberText::LeadingInt(Required(name)));
}

// Counts are unsigned: a negative number reads as 0 rather than as a huge
// count.
unsigned CAttributeReader::RequiredCount(const char* name)
{
    return static_cast<unsigned>(std::clamp<long long>(CNumberText::LeadingInteger(Required(name)), 0, UINT_MAX));
}

// Number of element children, to size a list before reading it.
std::size_t CountElements(const pugi::xml_node& parent)
{
    std::size_t count = 0;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            ++count;
    return count;
}

template <class T>
void ForEachElement(const pugi::xml_node& parent, T&& visit)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            visit(child);
}

// The first match of each "//Input/<section>" query, in document order.
// Each query is compiled once per read.
std::vector<pugi::xml_node> FirstSections(const pugi::xml_document& doc, const std::vector<const char*>& names)
{
    std::vector<pugi::xml_node> found;
    found.reserve(names.size());
    for (const char* name : names) {
        const pugi::xpath_query query((std::string("//Input/") + name).c_str());
        found.push_back(query.evaluate_node(doc).node());
    }
    return found;
}

// The first "Output" element in document order: what "//Output" selects
// first.
pugi::xml_node FirstOutput(const pugi::xml_document& doc)
{
    if (std::strcmp(doc.document_element().name(), "Output") == 0)
        return doc.document_element();
    return doc.select_node("//Output").node();
}

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

} // namespace

bool CScheduleTask::SaveInputData()
{
    bool written = false;
    try {
        CXmlWriter xml;
        xml.Reserve(4096 + m_students.GetCount() * 480 + m_classes.GetCount() * 200
                    + m_mutexStudents.GetCount() * 160 + m_studentPresets.GetCount() * 120);
        xml.Start("Input");

        xml.Start("TeacherInfo");
        for (const auto& entry : m_teachers) {
            const auto* teacher = static_cast<const CTeacherInfo*>(entry.object.get());
            xml.Start("Teacher");
            xml.Attribute("id", teacher->IdRef());
            xml.Attribute("name", teacher->NameRef());
            xml.Attribute("shortname", teacher->GetShortName());
            xml.Attribute("priority", teacher->GetPriority());
            xml.Attribute("index", teacher->GetIndex());
            xml.End();
        }
        xml.End();

        xml.Start("ClassInfo");
        for (const auto& entry : m_classes) {
            const auto* cls = static_cast<const CClassInfo*>(entry.object.get());
            xml.Start("Class");
            xml.Attribute("id", cls->IdRef());
            xml.Attribute("name", cls->NameRef());
            xml.Attribute("shortname", cls->GetShortName());
            xml.Attribute("studentcount", cls->GetStudentCount());
            xml.Attribute("priority", cls->GetPriority());
            xml.Attribute("index", cls->GetIndex());
            xml.Attribute("headteacher", cls->GetHeadTeacherName());
            xml.End();
        }
        xml.End();

        xml.Start("SubjectInfo");
        for (std::size_t k = 0; k < m_subjectNames.size(); ++k) {
            xml.Start("Subject");
            xml.Attribute("id", static_cast<long long>(k));
            xml.Attribute("name", m_subjectNames[k]);
            xml.End();
        }
        xml.End();

        xml.Start("StudentInfo");
        for (const auto& entry : m_students) {
            const auto* student = static_cast<const CStudentInfo*>(entry.object.get());
            xml.Start("Student");
            xml.Attribute("id", student->IdRef());
            xml.Attribute("name", student->NameRef());
            xml.Attribute("sex", student->GetSex());
            xml.Attribute("fromSchool", student->GetFromSchool());
            xml.Attribute("class", student->ClassIdRef());
            xml.Attribute("index", student->GetIndex());
            xml.Start("ScoreInfo");
            const std::vector<std::string>& values = student->GetScoreArray();
            for (std::size_t k = 0; k < values.size(); ++k) {
                xml.Start("Score");
                xml.Attribute("id", static_cast<long long>(k));
                xml.Attribute("value", values[k]);
                xml.End();
            }
            xml.End();
            xml.End();
        }
        xml.End();

        xml.Start("RoomInfo");
        for (const auto& entry : m_rooms) {
            const auto* room = static_cast<const CRoomInfo*>(entry.object.get());
            xml.Start("Room");
            xml.Attribute("id", room->IdRef());
            xml.Attribute("name", room->NameRef());
            xml.Attribute("shortname", room->GetShortName());
            xml.Attribute("capacity", room->GetCapacity());
            xml.Attribute("priority", room->GetPriority());
            xml.Attribute("index", room->GetIndex());
            xml.End();
        }
        xml.End();

        xml.Start("MutexStudentInfo");
        for (const auto& entry : m_mutexStudents) {
            const auto* group = static_cast<const CMutexStudent*>(entry.object.get());
            xml.Start("MutexStudent");
            xml.Attribute("id", group->IdRef());
            xml.Attribute("index", group->GetIndex());
            for (const std::string& member : group->GetMutexStudents()) {
                xml.Start("Id");
                xml.Text(member);
                xml.End();
            }
            xml.End();
        }
        xml.End();

        xml.Start("StudentPreset");
        for (const auto& entry : m_studentPresets) {
            const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
            xml.Start("Preset");
            xml.Attribute("id", preset->IdRef());
            xml.Attribute("class", preset->GetPresetClassId());
            xml.Attribute("index", preset->GetIndex());
            xml.End();
        }
        xml.End();

        xml.End();
        // A task without a folder has nowhere to go (not the working folder).
        written = !m_taskInfo.GetTaskFolder().empty()
                  && CFileUtil::WriteFileAtomically(m_taskInfo.GetInputFilePath(), xml.Bytes());
    } catch (const std::exception&) {
        written = false;
    }
    if (!written)
        ShowMessage("exception in SaveInputData");
    AutoBackup();
    return written;
}

bool CScheduleTask::SaveOutputData()
{
    bool written = false;
    try {
        CXmlWriter xml;
        xml.Start("Output");
        for (const auto& entry : m_classes) {
            const auto* cls = static_cast<const CClassInfo*>(entry.object.get());
            xml.Start("Class");
            xml.Attribute("id", cls->IdRef());
            xml.Attribute("name", cls->NameRef());
            const CCourseTable& table = cls->GetTable();
            for (int day = 0; day < kWeekDays; ++day) {
                if (!m_schoolStructure.IsDayInUse(day))
                    continue;
                for (int segment = 0; segment < kDaySegments; ++segment) {
                    const int sections = m_schoolStructure.GetSectionNodeMaxCount(segment);
                    for (int section = 0; section < sections; ++section) {
                        const CCourseTableNode& slot = table.PeekNode(WeekSlot(day, segment, section));
                        xml.Start("Item");
                        xml.Attribute("day", day);
                        xml.Attribute("segment", segment);
                        xml.Attribute("section", section);
                        xml.Attribute("course", slot.courseId);
                        xml.Attribute("room", slot.roomId);
                        xml.End();
                    }
                }
            }
            xml.End();
        }
        xml.End();
        written = !m_taskInfo.GetTaskFolder().empty()
                  && CFileUtil::WriteFileAtomically(m_taskInfo.GetOutputFilePath(), xml.Bytes());
    } catch (const std::exception&) {
        written = false;
    }
    if (!written)
        ShowMessage("exception in SaveOutputData");
    AutoBackup();
    return written;
}

bool CScheduleTask::ReadInputData()
{
    CXmlFile file;
    if (!file.Load(m_taskInfo.GetInputFilePath())) {
        m_inputState = InputState::Missing;
        return false;
    }
    enum Section { Subjects, Teachers, Classes, Students, Rooms, Groups, Presets };
    const std::vector<pugi::xml_node> sections =
        FirstSections(file.Document(),
                      {"SubjectInfo", "TeacherInfo", "ClassInfo", "StudentInfo", "RoomInfo", "MutexStudentInfo",
                      "StudentPreset"});
    try {
        ForEachElement(sections[Subjects], [this](const pugi::xml_node& node) {
            m_subjectNames.emplace_back(CAttributeReader(node).Required("name"));
        });

        ForEachElement(sections[Teachers], [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto teacher = std::make_unique<CTeacherInfo>();
            teacher->SetId(in.Required("id"));
            teacher->SetName(in.Required("name"));
            teacher->SetShortName(in.Required("shortname"));
            teacher->SetPriority(in.RequiredInt("priority"));
            teacher->SetIndex(in.RequiredInt("index"));
            if (teacher->IsValid())
                m_teachers.Add(std::move(teacher));
        });

        ForEachElement(sections[Classes], [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto cls = std::make_unique<CClassInfo>();
            cls->SetId(in.Required("id"));
            cls->SetName(in.Required("name"));
            cls->SetShortName(in.Required("shortname"));
            cls->SetStudentCount(in.RequiredCount("studentcount"));
            cls->SetPriority(in.RequiredInt("priority"));
            cls->SetIndex(in.RequiredInt("index"));
            cls->SetHeadTeacherName(in.Optional("headteacher"));
            if (cls->IsValid())
                m_classes.Add(std::move(cls));
        });

        const pugi::xml_node studentSection = sections[Students];
        m_students.Reserve(m_students.GetCount() + CountElements(studentSection));
        ForEachElement(studentSection, [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto student = std::make_unique<CStudentInfo>();
            student->SetId(in.Required("id"));
            student->SetName(in.Required("name"));
            student->SetSex(in.RequiredInt("sex"));
            student->SetFromSchool(in.Required("fromSchool"));
            student->SetClassId(in.Required("class"));
            student->SetIndex(in.RequiredInt("index"));
            for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element || !EqualsNoCase(child.name(), "ScoreInfo"))
                    continue;
                std::vector<std::string>& scores = student->GetScoreArray();
                scores.reserve(CountElements(child));
                ForEachElement(child, [&scores](const pugi::xml_node& score) {
                    scores.emplace_back(CAttributeReader(score).Required("value"));
                });
                break;
            }
            if (student->IsValid())
                m_students.Add(std::move(student));
        });

        ForEachElement(sections[Rooms], [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto room = std::make_unique<CRoomInfo>();
            room->SetId(in.Required("id"));
            room->SetName(in.Required("name"));
            room->SetShortName(in.Required("shortname"));
            room->SetCapacity(in.RequiredCount("capacity"));
            room->SetPriority(in.RequiredInt("priority"));
            room->SetIndex(in.RequiredInt("index"));
            if (room->IsValid())
                m_rooms.Add(std::move(room));
        });

        ForEachElement(sections[Groups], [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto group = std::make_unique<CMutexStudent>();
            group->SetId(in.Required("id"));
            group->SetIndex(in.RequiredInt("index"));
            std::vector<std::string>& members = group->GetMutexStudents();
            ForEachElement(node, [&members](const pugi::xml_node& id) { members.emplace_back(id.child_value()); });
            if (group->IsValid())
                m_mutexStudents.Add(std::move(group));
        });

        ForEachElement(sections[Presets], [this](const pugi::xml_node& node) {
            CAttributeReader in(node);
            auto preset = std::make_unique<CStudentPreset>();
            preset->SetId(in.Required("id"));
            preset->SetPresetClassId(in.Required("class"));
            preset->SetIndex(in.RequiredInt("index"));
            if (preset->IsValid())
                m_studentPresets.Add(std::move(preset));
        });
    } catch (const std::exception&) {
        m_inputState = InputState::Damaged;
        ShowMessage("exception in ReadInputData");
        return true;
    }
    m_inputState = InputState::Loaded;
    return true;
}

bool CScheduleTask::ReadOutputData()
{
    CXmlFile file;
    if (!file.Load(m_taskInfo.GetOutputFilePath()))
        return false;
    try {
        ForEachElement(FirstOutput(file.Document()), [this](const pugi::xml_node& cls) {
            ForEachElement(cls, [this](const pugi::xml_node& item) {
                CAttributeReader in(item);
                const int day = in.RequiredInt("day");
                const int segment = in.RequiredInt("segment");
                const int section = in.RequiredInt("section");
                const std::string courseId = in.Required("course");
                const std::string roomId = in.Required("room");
                auto* course = m_courses.FindAs<CCourseInfo>(courseId);
                // A slot outside the week would land in another slot's place.
                if (!course || !CTimeTable::IsSlot(day, segment, section))
                    return;
                const int slot = WeekSlot(day, segment, section);
                auto mark = [&](CCourseTable& table) {
                    CCourseTableNode& node = table.GetNode(slot);
                    node.courseId = courseId;
                    node.roomId = roomId;
                };
                mark(course->GetTable());
                if (auto* owner = m_classes.FindAs<CClassInfo>(course->GetClassId()))
                    mark(owner->GetTable());
                if (auto* teacher = m_teachers.FindAs<CTeacherInfo>(course->GetTeacherId()))
                    mark(teacher->GetTable());
                if (!roomId.empty())
                    if (auto* room = m_rooms.FindAs<CRoomInfo>(roomId))
                        mark(room->GetTable());
            });
        });
    } catch (const std::exception&) {
        ShowMessage("exception in ReadOutputData");
    }
    return true;
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
    if (m_taskInfo.GetTaskFolder().empty())
        return false;
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

std::string CScheduleTask::GetCourseDesc(const CCourseInfo* course) const
{
    if (!course)
        return {};
    return m_teachers.GetObjectName(course->GetTeacherId()) + "老师的" + m_subjects.GetObjectName(course->GetSubjectId())
           + "(" + m_classes.GetObjectName(course->GetClassId()) + ")";
}

bool CScheduleTask::AutoBackup()
{
    namespace fs = std::filesystem;
    constexpr std::size_t kKeptDays = 5;
    std::error_code ec;
    if (m_taskInfo.GetTaskFolder().empty())
        return false;
    const std::string folder = CFileUtil::WithSeparator(m_taskInfo.GetTaskFolder());
    const std::string root = folder + "Backup";
    const fs::path rootPath = CFileUtil::ToPath(root);
    if (!fs::exists(rootPath, ec)) {
        fs::create_directory(rootPath, ec);
        if (ec)
            return false;
    }

    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const std::string day = CFileUtil::WithSeparator(root) + stamp + CFileUtil::Separator();
    fs::create_directory(CFileUtil::ToPath(day), ec);
    if (!CFileUtil::FolderExists(day))
        return false;

    if (!CFileUtil::CopyFileReplacing(folder + "input.xml", day + "input.xml"))
        return false;
    if (!CFileUtil::CopyFileReplacing(folder + "output.xml", day + "output.xml"))
        return false;

    std::vector<std::string> days;
    for (fs::directory_iterator it(rootPath, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec))
            continue;
        const std::string name = CFileUtil::FromPath(it->path().filename());
        if (name.size() != 8 || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const std::string dayFolder = CFileUtil::WithSeparator(root) + name + CFileUtil::Separator();
        if (CFileUtil::FileExists(dayFolder + "input.xml") && CFileUtil::FileExists(dayFolder + "output.xml"))
            days.push_back(name);
    }
    if (days.size() > kKeptDays) {
        std::sort(days.begin(), days.end(), std::greater<>());
        // The copy just made is always kept, even when the clock was set
        // back and older-dated folders carry greater names.
        std::stable_partition(days.begin(), days.end(), [&stamp](const std::string& name) { return name == stamp; });
        for (std::size_t i = kKeptDays; i < days.size(); ++i) {
            const fs::path old = rootPath / CFileUtil::ToPath(days[i]);
            std::error_code ignored;
            fs::remove(old / "input.xml", ignored);
            fs::remove(old / "output.xml", ignored);
            fs::remove(old, ignored);
        }
    }
    return true;
}
