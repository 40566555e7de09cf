#include "base/task/OutputDataFile.h"

#include "base/timetable/CourseInfo.h"
#include "base/timetable/RoomInfo.h"
#include "base/timetable/TeacherInfo.h"
#include "base/timetable/TimeTable.h"
#include "base/util/XmlFile.h"
#include "base/util/XmlRecordReader.h"
#include "base/util/XmlWriter.h"

#include <cstring>

namespace {

// The first "Output" element in document order: what "//Output" selects
// first.
pugi::xml_node FirstOutput(const pugi::xml_document& doc)
{
    if (std::strcmp(doc.document_element().name(), "Output") == 0)
        return doc.document_element();
    return doc.select_node("//Output").node();
}

} // namespace

std::string COutputDataFile::Write(const CScheduleTask& task)
{
    const CSchoolStructure& week = task.GetSchoolStructure();
    CXmlWriter xml;
    xml.Start("Output");
    for (const auto& entry : task.GetClassInfoList()) {
        const auto* cls = static_cast<const CClassInfo*>(entry.object.get());
        xml.Start("Class");
        xml.Attribute("id", cls->IdRef());
        xml.Attribute("name", cls->NameRef());
        const CCourseTable& table = cls->GetTable();
        for (int day = 0; day < kWeekDays; ++day) {
            if (!week.IsDayInUse(day))
                continue;
            for (int segment = 0; segment < kDaySegments; ++segment) {
                const int sections = week.GetSectionNodeMaxCount(segment);
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
    return xml.TakeBytes();
}

COutputDataFile::Result COutputDataFile::Read(const std::string& path, CScheduleTask& task)
{
    CXmlFile file;
    if (!file.Load(path))
        return Result::Missing;
    try {
        CXmlRecordReader::ForEachElement(FirstOutput(file.Document()), [&task](const pugi::xml_node& cls) {
            CXmlRecordReader::ForEachElement(cls, [&task](const pugi::xml_node& item) {
                CXmlRecordReader in(item);
                const int day = in.RequiredInt("day");
                const int segment = in.RequiredInt("segment");
                const int section = in.RequiredInt("section");
                const std::string courseId = in.Required("course");
                const std::string roomId = in.Required("room");
                auto* course = task.GetCourseInfoList().FindAs<CCourseInfo>(courseId);
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
                if (auto* owner = task.GetClassInfoList().FindAs<CClassInfo>(course->GetClassId()))
                    mark(owner->GetTable());
                if (auto* teacher = task.GetTeacherInfoList().FindAs<CTeacherInfo>(course->GetTeacherId()))
                    mark(teacher->GetTable());
                if (!roomId.empty())
                    if (auto* room = task.GetRoomInfoList().FindAs<CRoomInfo>(roomId))
                        mark(room->GetTable());
            });
        });
    } catch (const std::exception&) {
        return Result::Damaged;
    }
    return Result::Loaded;
}
