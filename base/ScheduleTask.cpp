#include "ScheduleTask.h"

#include "CourseInfo.h"
#include "FileUtil.h"
#include "RoomInfo.h"
#include "TeacherInfo.h"
#include "TextCodec.h"
#include "XmlFile.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>

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
struct MissingAttribute
{
    std::string name;
};

const char* Required(const pugi::xml_node& node, const char* name)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        throw MissingAttribute{name};
    return attribute.value();
}

// The leading decimal integer of a text (blanks, optional sign, digits);
// 0 when it has none, saturated at the limits of int.
long long LeadingInteger(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return negative ? -value : value;
}

int RequiredInt(const pugi::xml_node& node, const char* name)
{
    return static_cast<int>(LeadingInteger(Required(node, name)));
}

// Counts are unsigned: a negative number reads as 0 rather than as a huge
// count.
unsigned RequiredCount(const pugi::xml_node& node, const char* name)
{
    const long long value = LeadingInteger(Required(node, name));
    return value < 0 ? 0u : static_cast<unsigned>(value);
}

template <class T>
void ForEachElement(const pugi::xml_node& parent, T&& visit)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            visit(child);
}

pugi::xml_node FirstMatch(const pugi::xml_document& doc, const char* query)
{
    return doc.select_node(query).node();
}

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

void AddText(pugi::xml_node& node, const char* name, const std::string& value)
{
    node.append_attribute(name).set_value(value.c_str());
}

void AddNumber(pugi::xml_node& node, const char* name, long long value)
{
    node.append_attribute(name).set_value(value);
}

} // namespace

bool CScheduleTask::SaveInputData()
{
    bool written = false;
    try {
        CXmlFile file;
        pugi::xml_node root = file.Document().append_child("Input");

        pugi::xml_node teachers = root.append_child("TeacherInfo");
        for (const auto& entry : m_teachers) {
            const auto* teacher = static_cast<const CTeacherInfo*>(entry.object.get());
            pugi::xml_node node = teachers.append_child("Teacher");
            AddText(node, "id", teacher->IdRef());
            AddText(node, "name", teacher->NameRef());
            AddText(node, "shortname", teacher->GetShortName());
            AddNumber(node, "priority", teacher->GetPriority());
            AddNumber(node, "index", teacher->GetIndex());
        }

        pugi::xml_node classes = root.append_child("ClassInfo");
        for (const auto& entry : m_classes) {
            const auto* cls = static_cast<const CClassInfo*>(entry.object.get());
            pugi::xml_node node = classes.append_child("Class");
            AddText(node, "id", cls->IdRef());
            AddText(node, "name", cls->NameRef());
            AddText(node, "shortname", cls->GetShortName());
            AddNumber(node, "studentcount", cls->GetStudentCount());
            AddNumber(node, "priority", cls->GetPriority());
            AddNumber(node, "index", cls->GetIndex());
            AddText(node, "headteacher", cls->GetHeadTeacherName());
        }

        pugi::xml_node subjects = root.append_child("SubjectInfo");
        for (std::size_t k = 0; k < m_subjectNames.size(); ++k) {
            pugi::xml_node node = subjects.append_child("Subject");
            AddNumber(node, "id", static_cast<long long>(k));
            AddText(node, "name", m_subjectNames[k]);
        }

        pugi::xml_node students = root.append_child("StudentInfo");
        for (const auto& entry : m_students) {
            const auto* student = static_cast<const CStudentInfo*>(entry.object.get());
            pugi::xml_node node = students.append_child("Student");
            AddText(node, "id", student->IdRef());
            AddText(node, "name", student->NameRef());
            AddNumber(node, "sex", student->GetSex());
            AddText(node, "fromSchool", student->GetFromSchool());
            AddText(node, "class", student->ClassIdRef());
            AddNumber(node, "index", student->GetIndex());
            pugi::xml_node scores = node.append_child("ScoreInfo");
            const std::vector<std::string>& values = student->GetScoreArray();
            for (std::size_t k = 0; k < values.size(); ++k) {
                pugi::xml_node score = scores.append_child("Score");
                AddNumber(score, "id", static_cast<long long>(k));
                AddText(score, "value", values[k]);
            }
        }

        pugi::xml_node rooms = root.append_child("RoomInfo");
        for (const auto& entry : m_rooms) {
            const auto* room = static_cast<const CRoomInfo*>(entry.object.get());
            pugi::xml_node node = rooms.append_child("Room");
            AddText(node, "id", room->IdRef());
            AddText(node, "name", room->NameRef());
            AddText(node, "shortname", room->GetShortName());
            AddNumber(node, "capacity", room->GetCapacity());
            AddNumber(node, "priority", room->GetPriority());
            AddNumber(node, "index", room->GetIndex());
        }

        pugi::xml_node groups = root.append_child("MutexStudentInfo");
        for (const auto& entry : m_mutexStudents) {
            const auto* group = static_cast<const CMutexStudent*>(entry.object.get());
            pugi::xml_node node = groups.append_child("MutexStudent");
            AddText(node, "id", group->IdRef());
            AddNumber(node, "index", group->GetIndex());
            for (const std::string& member : group->GetMutexStudents())
                node.append_child("Id").text().set(member.c_str());
        }

        pugi::xml_node presets = root.append_child("StudentPreset");
        for (const auto& entry : m_studentPresets) {
            const auto* preset = static_cast<const CStudentPreset*>(entry.object.get());
            pugi::xml_node node = presets.append_child("Preset");
            AddText(node, "id", preset->IdRef());
            AddText(node, "class", preset->GetPresetClassId());
            AddNumber(node, "index", preset->GetIndex());
        }

        // A task without a folder has nowhere to go (not the working folder).
        written = !m_taskInfo.GetTaskFolder().empty() && file.Save(m_taskInfo.GetInputFilePath());
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
        CXmlFile file;
        pugi::xml_node root = file.Document().append_child("Output");
        for (const auto& entry : m_classes) {
            const auto* cls = static_cast<const CClassInfo*>(entry.object.get());
            pugi::xml_node node = root.append_child("Class");
            AddText(node, "id", cls->IdRef());
            AddText(node, "name", cls->NameRef());
            const CCourseTable& table = cls->GetTable();
            for (int day = 0; day < kWeekDays; ++day) {
                if (!m_schoolStructure.IsDayInUse(day))
                    continue;
                for (int segment = 0; segment < kDaySegments; ++segment) {
                    const int sections = m_schoolStructure.GetSectionNodeMaxCount(segment);
                    for (int section = 0; section < sections; ++section) {
                        const CCourseTableNode& slot = table.PeekNode(WeekSlot(day, segment, section));
                        pugi::xml_node item = node.append_child("Item");
                        AddNumber(item, "day", day);
                        AddNumber(item, "segment", segment);
                        AddNumber(item, "section", section);
                        AddText(item, "course", slot.courseId);
                        AddText(item, "room", slot.roomId);
                    }
                }
            }
        }
        written = !m_taskInfo.GetTaskFolder().empty() && file.Save(m_taskInfo.GetOutputFilePath());
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
    const pugi::xml_document& doc = file.Document();
    try {
        ForEachElement(FirstMatch(doc, "//Input/SubjectInfo"), [this](const pugi::xml_node& node) {
            m_subjectNames.emplace_back(Required(node, "name"));
        });

        ForEachElement(FirstMatch(doc, "//Input/TeacherInfo"), [this](const pugi::xml_node& node) {
            auto teacher = std::make_unique<CTeacherInfo>();
            teacher->SetId(Required(node, "id"));
            teacher->SetName(Required(node, "name"));
            teacher->SetShortName(Required(node, "shortname"));
            teacher->SetPriority(RequiredInt(node, "priority"));
            teacher->SetIndex(RequiredInt(node, "index"));
            if (teacher->IsValid())
                m_teachers.Add(std::move(teacher));
        });

        ForEachElement(FirstMatch(doc, "//Input/ClassInfo"), [this](const pugi::xml_node& node) {
            auto cls = std::make_unique<CClassInfo>();
            cls->SetId(Required(node, "id"));
            cls->SetName(Required(node, "name"));
            cls->SetShortName(Required(node, "shortname"));
            cls->SetStudentCount(RequiredCount(node, "studentcount"));
            cls->SetPriority(RequiredInt(node, "priority"));
            cls->SetIndex(RequiredInt(node, "index"));
            cls->SetHeadTeacherName(node.attribute("headteacher").value());
            if (cls->IsValid())
                m_classes.Add(std::move(cls));
        });

        ForEachElement(FirstMatch(doc, "//Input/StudentInfo"), [this](const pugi::xml_node& node) {
            auto student = std::make_unique<CStudentInfo>();
            student->SetId(Required(node, "id"));
            student->SetName(Required(node, "name"));
            student->SetSex(RequiredInt(node, "sex"));
            student->SetFromSchool(Required(node, "fromSchool"));
            student->SetClassId(Required(node, "class"));
            student->SetIndex(RequiredInt(node, "index"));
            for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element || !EqualsNoCase(child.name(), "ScoreInfo"))
                    continue;
                std::vector<std::string>& scores = student->GetScoreArray();
                ForEachElement(child, [&scores](const pugi::xml_node& score) {
                    scores.emplace_back(Required(score, "value"));
                });
                break;
            }
            if (student->IsValid())
                m_students.Add(std::move(student));
        });

        ForEachElement(FirstMatch(doc, "//Input/RoomInfo"), [this](const pugi::xml_node& node) {
            auto room = std::make_unique<CRoomInfo>();
            room->SetId(Required(node, "id"));
            room->SetName(Required(node, "name"));
            room->SetShortName(Required(node, "shortname"));
            room->SetCapacity(RequiredCount(node, "capacity"));
            room->SetPriority(RequiredInt(node, "priority"));
            room->SetIndex(RequiredInt(node, "index"));
            if (room->IsValid())
                m_rooms.Add(std::move(room));
        });

        ForEachElement(FirstMatch(doc, "//Input/MutexStudentInfo"), [this](const pugi::xml_node& node) {
            auto group = std::make_unique<CMutexStudent>();
            group->SetId(Required(node, "id"));
            group->SetIndex(RequiredInt(node, "index"));
            std::vector<std::string>& members = group->GetMutexStudents();
            ForEachElement(node, [&members](const pugi::xml_node& id) { members.emplace_back(id.child_value()); });
            if (group->IsValid())
                m_mutexStudents.Add(std::move(group));
        });

        ForEachElement(FirstMatch(doc, "//Input/StudentPreset"), [this](const pugi::xml_node& node) {
            auto preset = std::make_unique<CStudentPreset>();
            preset->SetId(Required(node, "id"));
            preset->SetPresetClassId(Required(node, "class"));
            preset->SetIndex(RequiredInt(node, "index"));
            if (preset->IsValid())
                m_studentPresets.Add(std::move(preset));
        });
    } catch (const MissingAttribute&) {
        m_inputState = InputState::Damaged;
        ShowMessage("exception in ReadInputData");
        return true;
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
        ForEachElement(FirstMatch(file.Document(), "//Output"), [this](const pugi::xml_node& cls) {
            ForEachElement(cls, [this](const pugi::xml_node& item) {
                const int day = RequiredInt(item, "day");
                const int segment = RequiredInt(item, "segment");
                const int section = RequiredInt(item, "section");
                const std::string courseId = Required(item, "course");
                const std::string roomId = Required(item, "room");
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
    } catch (const MissingAttribute&) {
        ShowMessage("exception in ReadOutputData");
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
