#pragma once

// Tasks built in memory for the tests and benchmarks.
#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

inline CClassInfo* AddClass(CScheduleTask& task, const std::string& id, const std::string& name, int index,
                            unsigned capacity = 50)
{
    auto info = std::make_unique<CClassInfo>();
    info->SetId(id);
    info->SetName(name);
    info->SetIndex(index);
    info->SetStudentCount(capacity);
    CClassInfo* raw = info.get();
    task.GetClassInfoList().Add(std::move(info));
    return raw;
}

inline CStudentInfo* AddStudent(CScheduleTask& task, const std::string& id, const std::string& name, int index, int sex,
                                const std::string& classId = std::string(), std::vector<std::string> scores = {},
                                const std::string& school = "第一中学")
{
    auto student = std::make_unique<CStudentInfo>();
    student->SetId(id);
    student->SetName(name);
    student->SetIndex(index);
    student->SetSex(sex);
    student->SetClassId(classId);
    student->SetFromSchool(school);
    student->GetScoreArray() = std::move(scores);
    CStudentInfo* raw = student.get();
    task.GetStudentInfoList().Add(std::move(student));
    return raw;
}

inline void AddPreset(CScheduleTask& task, const std::string& studentId, const std::string& classId)
{
    auto preset = std::make_unique<CStudentPreset>();
    preset->SetId(studentId);
    preset->SetName(studentId);
    preset->SetPresetClassId(classId);
    task.GetStudentPresetList().Add(std::move(preset));
}

inline void AddGroup(CScheduleTask& task, const std::string& id, const std::vector<std::string>& members)
{
    auto group = std::make_unique<CMutexStudent>();
    group->SetId(id);
    group->SetName(id);
    group->GetMutexStudents() = members;
    task.GetMutexStudentList().Add(std::move(group));
}

// students ("s0", …) over classes ("c0", …) with room for all, six
// subjects, 2% of the students in exclusive groups of two to four.
inline void FillLargeSchool(CScheduleTask& task, int students, int classes, unsigned long long seed = 42)
{
    std::mt19937_64 random(seed);
    const unsigned capacity = static_cast<unsigned>((students + classes - 1) / classes + 1);
    for (int c = 0; c < classes; ++c)
        AddClass(task, "c" + std::to_string(c), "c" + std::to_string(c) + "班", c, capacity);
    task.GetCustomSubjectArray() = {"语文", "数学", "英语", "物理", "化学", "生物"};
    for (int s = 0; s < students; ++s) {
        const int sex = static_cast<int>(random() % 2);
        std::vector<std::string> scores;
        for (int k = 0; k < 6; ++k)
            scores.push_back(std::to_string(40 + random() % 61));
        AddStudent(task, "s" + std::to_string(s), "学生" + std::to_string(s), s, sex, std::string(), std::move(scores),
                   std::string());
    }
    int grouped = 0;
    for (int group = 0; grouped < students / 50; ++group) {
        const int size = 2 + static_cast<int>(random() % 3);
        std::vector<std::string> members;
        for (int k = 0; k < size; ++k)
            members.push_back("s" + std::to_string(random() % students));
        AddGroup(task, "g" + std::to_string(group), members);
        grouped += size;
    }
}

} // namespace testsupport
