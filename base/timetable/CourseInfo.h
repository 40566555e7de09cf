#pragma once

#include "base/timetable/CourseTable.h"
#include "base/object/QZObject.h"

#include <string>

// How a course finds its room.
enum ROOM_STRATEGY
{
    ROOM_STRATEGY_NONE = 0,
    ROOM_STRATEGY_FIXED = 1,
    ROOM_STRATEGY_ANY = 2,
};

// A course: a subject taught to a class by a teacher some times a week.
class CCourseInfo : public CQZObject
{
public:
    CCourseInfo() = default;
    ~CCourseInfo() override;

    std::string GetClassId() const { return m_classId; }
    std::string GetSubjectId() const { return m_subjectId; }
    std::string GetTeacherId() const { return m_teacherId; }
    void SetClass(const std::string& id) { m_classId = id; }
    void SetSubject(const std::string& id) { m_subjectId = id; }
    void SetTeacher(const std::string& id) { m_teacherId = id; }

    bool IsMainCourse() const { return m_mainCourse == 1; }
    int GetMainCourse() const { return m_mainCourse; }
    void SetMainCourse(int flag) { m_mainCourse = flag; }
    int GetWeekCount() const { return m_weekCount; }
    void SetWeekCount(int count) { m_weekCount = count; }
    int GetSequence() const { return m_sequence; }
    void SetSequence(int sequence) { m_sequence = sequence; }
    ROOM_STRATEGY GetRoomStrategy() const { return m_roomStrategy; }
    void SetRoomStrategy(ROOM_STRATEGY strategy) { m_roomStrategy = strategy; }
    std::string GetRoomParam() const { return m_roomParam; }
    void SetRoomParam(const std::string& param) { m_roomParam = param; }

    CCourseTable& GetTable() { return m_table; }
    CCourseTable& GetTempTable() { return m_tempTable; }

private:
    std::string m_classId;
    std::string m_subjectId;
    std::string m_teacherId;
    int m_mainCourse = 0;
    int m_weekCount = 0;
    int m_sequence = 0;
    ROOM_STRATEGY m_roomStrategy = ROOM_STRATEGY_NONE;
    std::string m_roomParam;
    CCourseTable m_tempTable;
    CCourseTable m_table;
};
