#pragma once

#include "base/timetable/CourseTable.h"
#include "base/object/QZObject.h"

#include <string>
#include <vector>

// A student: sex (0 girl, other boy), original school, one score text per
// subject, and the class the division gave it.
class CStudentInfo : public CQZObject
{
public:
    CStudentInfo() = default;
    ~CStudentInfo() override;

    using CQZObject::Copy;
    // Copies the base fields, sex, original school and scores.
    virtual void Copy(CStudentInfo* source);

    int GetSex() const { return m_sex; }
    void SetSex(int sex) { m_sex = sex; }
    bool IsGirl() const { return m_sex == 0; }
    std::string GetFromSchool() const { return m_fromSchool; }
    void SetFromSchool(const std::string& school) { m_fromSchool = school; }

    std::vector<std::string>& GetScoreArray() { return m_scores; }
    const std::vector<std::string>& GetScoreArray() const { return m_scores; }

    float GetScoreCount() const { return m_scoreCount; }
    // Sums the leading decimal value of every score text in single precision.
    void CalculateScoreCount();
    // The leading decimal number of a score text; 0 when it has none.
    static double ScoreValue(const std::string& text);

    std::vector<std::string>& GetMutex() { return m_mutex; }
    const std::vector<std::string>& GetMutex() const { return m_mutex; }
    void SetMutex(const std::vector<std::string>& ids) { m_mutex = ids; }
    int GetMutexCount() const { return static_cast<int>(m_mutex.size()); }

    bool isPreset() const { return m_preset; }
    void SetPresetFlag(bool preset) { m_preset = preset; }

    std::string GetClassId() const { return m_classId; }
    const std::string& ClassIdRef() const { return m_classId; }
    void SetClassId(const std::string& id) { m_classId = id; }
    std::string GetTempClassId() const { return m_tempClassId; }
    void SetTempClassId(const std::string& id) { m_tempClassId = id; }

    CCourseTable& GetTable() { return m_table; }
    CCourseTable& GetTempTable() { return m_tempTable; }
    void ReadTempTable() { m_tempTable = m_table; }
    void SaveTempTable() { m_table = m_tempTable; }

private:
    int m_sex = 1;
    std::string m_fromSchool;
    std::vector<std::string> m_scores;
    float m_scoreCount = 0.0f;
    std::vector<std::string> m_mutex;
    bool m_preset = false;
    std::string m_classId;
    std::string m_tempClassId;
    CCourseTable m_table;
    CCourseTable m_tempTable;
};
