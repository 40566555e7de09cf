#pragma once

#include "base/timetable/Activities.h"
#include "base/records/ClassInfo.h"
#include "base/records/DivisionRules.h"
#include "base/timetable/CombineClassList.h"
#include "base/timetable/MutexOfTeacherList.h"
#include "base/records/MutexStudent.h"
#include "base/object/QZObjectList.h"
#include "base/object/QZPrioritySet.h"
#include "base/records/ReportInfo.h"
#include "base/timetable/SchoolStructure.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "base/records/SubjectInfo.h"
#include "base/records/TaskInfo.h"
#include "base/util/FileUtil.h"
#include "base/timetable/TaskSetting.h"

#include <functional>
#include <string>
#include <vector>

class CCourseInfo;

// One division task in memory: header, record lists, subject names, the
// last report and a modified flag; loads from and saves to its folder.
//
// The task has no locks: one thread at a time (the window thread, or the
// engine's worker during a run).
class CScheduleTask
{
public:
    // Receives the messages of failed file operations ("exception in
    // SaveInputData", ...). May be called on the engine's worker thread.
    using MessageHandler = std::function<void(const std::string& text)>;

    // How the last ReadInputData ended.
    enum class InputState
    {
        NotRead, // no read yet
        Missing, // no file, or not well-formed XML: nothing was read
        Loaded,  // read completely
        Damaged, // a record stopped the reading; what came before is kept
    };

    CScheduleTask();
    CScheduleTask(const CScheduleTask&) = delete;
    CScheduleTask& operator=(const CScheduleTask&) = delete;
    virtual ~CScheduleTask();

    // Where messages go; by default they are written to standard error.
    void SetMessageHandler(MessageHandler handler);
    const MessageHandler& GetMessageHandler() const { return m_messageHandler; }
    void ShowMessage(const std::string& text) const;

    CTaskInfo& GetTaskInfo() { return m_taskInfo; }
    const CTaskInfo& GetTaskInfo() const { return m_taskInfo; }
    void SetTaskInfo(const CTaskInfo& info) { m_taskInfo = info; }

    CSchoolStructure& GetSchoolStructure() { return m_schoolStructure; }
    const CSchoolStructure& GetSchoolStructure() const { return m_schoolStructure; }
    CActivities& GetActivities() { return m_activities; }
    CQZObjectList& GetSubjectInfoList() { return m_subjects; }
    CQZObjectList& GetTeacherInfoList() { return m_teachers; }
    const CQZObjectList& GetTeacherInfoList() const { return m_teachers; }
    CQZObjectList& GetStudentInfoList() { return m_students; }
    const CQZObjectList& GetStudentInfoList() const { return m_students; }
    CQZObjectList& GetTeacherGroupInfoList() { return m_teacherGroups; }
    CQZObjectList& GetClassInfoList() { return m_classes; }
    const CQZObjectList& GetClassInfoList() const { return m_classes; }
    CQZObjectList& GetRoomInfoList() { return m_rooms; }
    const CQZObjectList& GetRoomInfoList() const { return m_rooms; }
    CQZObjectList& GetCourseInfoList() { return m_courses; }
    CQZObjectList& GetFixedTimeOfTeacherList() { return m_fixedTeacher; }
    CQZObjectList& GetFixedTimeOfTeacherGroupList() { return m_fixedTeacherGroup; }
    CQZObjectList& GetFixedTimeOfClassList() { return m_fixedClass; }
    CQZObjectList& GetCoursePresetList() { return m_coursePresets; }
    CQZObjectList& GetStudentPresetList() { return m_studentPresets; }
    const CQZObjectList& GetStudentPresetList() const { return m_studentPresets; }
    CQZObjectList& GetMutexStudentList() { return m_mutexStudents; }
    const CQZObjectList& GetMutexStudentList() const { return m_mutexStudents; }
    CMutexOfTeacherList& GetMutexOfTeacherList() { return m_mutexTeachers; }
    CCombineClassList& GetCombineCourseList() { return m_combineClasses; }
    CQZPrioritySet& GetPrioritySet() { return m_prioritySet; }
    CTaskSetting& GetTaskSetting() { return m_taskSetting; }
    CReportInfo& GetLastReportInfo() { return m_report; }
    const CReportInfo& GetLastReportInfo() const { return m_report; }
    // The rules kept in the file of our own beside input.xml; saved with it.
    CDivisionRules& GetDivisionRules() { return m_rules; }
    const CDivisionRules& GetDivisionRules() const { return m_rules; }
    // The rules file could not be read: it is left as it is on disk, and the
    // saves do not write it, so that nothing in it is lost.
    bool IsRulesFileDamaged() const { return m_rulesDamaged; }
    // How a name sounds, for keeping students of the same sound apart. The
    // front ends give the pinyin transcription; without one a name sounds
    // only like itself.
    using SoundKey = std::function<std::string(const std::string& name)>;
    void SetSoundKey(SoundKey key) { m_soundKey = std::move(key); }
    std::string GetNameSound(const std::string& name) const { return m_soundKey ? m_soundKey(name) : name; }
    std::vector<std::string>& GetCustomSubjectArray() { return m_subjectNames; }
    const std::vector<std::string>& GetCustomSubjectArray() const { return m_subjectNames; }

    bool IsDirty() const { return m_dirty; }
    void SetDirty(bool dirty) { m_dirty = dirty; }
    // A task opened read-only (another program holds it, or its folder
    // cannot be written) writes nothing into its folder: every save below
    // fails as a save that could not be written does.
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Reads the task file, input.xml, output.xml and report.txt, after
    // removing what interrupted saves left beside them. False only when path
    // names no existing file.
    bool Open(const std::string& path);
    bool Clear() { return true; }

    // How a write of the task's files ended.
    enum class SaveResult
    {
        Saved,
        ReadOnly,      // opened read-only: nothing is written into its folder
        NoFolder,      // the task has no folder
        FolderMissing, // its folder is not there (any more)
        NotWritten,    // the file could not be written: permissions, disk space
        PartlyWritten, // of a pair, the data were put in place, the report was not
    };

    // Write the data files safely (temporary file renamed over the old one)
    // and then make the day's backup. The Write forms say why a file was not
    // written and tell nobody; the Save forms pass a failure to the message
    // handler ("exception in SaveInputData") and return whether it was saved.
    SaveResult WriteInputData();
    SaveResult WriteOutputData();
    bool SaveInputData();
    bool SaveOutputData();
    // Saves input.xml and report.txt as one pair, after a division: both are
    // written in full first, then put in place one right after the other,
    // the data first, so the report never describes data that is not on
    // disk. Nothing is replaced when either cannot be written (the message
    // of SaveInputData then). True when both were saved.
    SaveResult WriteInputDataWithReport();
    bool SaveInputDataWithReport();

    // The task's data as input.xml holds them. RestoreInputData puts such a
    // snapshot back in place of the lists and subject names (each class
    // keeps its list of students), so that changes made in memory that
    // could not be saved can be taken back.
    std::string SnapshotInputData() const;
    bool RestoreInputData(const std::string& snapshot);

    // How the input data file was found by the last Open.
    InputState GetInputState() const { return m_inputState; }
    bool IsInputDamaged() const { return m_inputState == InputState::Damaged; }

    void InitReportInfo();
    bool SaveLastReportInfo();

    std::string GetStudentName(const std::string& id) const;
    std::string GetClassName(const std::string& id) const;
    std::string GetSubjectName(const std::string& id) const;
    std::string GetTeacherName(const std::string& id) const;
    // Names of the ids that name students, joined by "，".
    std::string GetStudentNameList(const std::vector<std::string>& ids) const;

    bool DelStudentRelation(const std::string&) { return true; }
    bool DelClassRelation(const std::string&) { return true; }
    bool DelTeacherRelation(const std::string&) { return true; }
    bool DelCourseRelation(const std::string&) { return true; }

    // Drop group members and pre-assignments that name missing records;
    // save the input data file when anything changed.
    void MaintainMutexDataIntegrity();
    void MaintainPresetDataIntegrity();
    // The same in memory only; true when anything was dropped.
    bool DropStaleMutexMembers();
    bool DropStalePresets();
    // Drops from the division rules the students that are gone.
    bool DropStaleRules();

    // "%s%s第%d节" with day name, segment name and section + 1.
    std::string GetTimeNodeDesc(int slot) const;
    // "%s老师的%s(%s)" with the names of the course's teacher, subject and
    // class.
    std::string GetCourseDesc(const CCourseInfo* course) const;

protected:
    bool ReadInputData();
    bool ReadOutputData();
    bool ReadReportInfo();
    void ReadRules();
    bool AutoBackup();
    // report.txt as it lies on disk: the report's text and one NUL byte.
    std::string ReportBytes() const;

private:
    // Whether the saves may write into the task's folder.
    bool CanWrite() const;
    // Whether the saves of input.xml write the rules file beside it.
    bool WritesRules() const;
    // input.xml to be written by CFileUtil::ReplaceFiles.
    CFileUtil::FileBytes InputFileBytes() const;
    // Why a write that did not happen failed.
    SaveResult FailureReason() const;

    CTaskInfo m_taskInfo;
    CSchoolStructure m_schoolStructure;
    CActivities m_activities;
    CQZObjectList m_subjects;
    CQZObjectList m_teachers;
    CQZObjectList m_students;
    CQZObjectList m_teacherGroups;
    CQZObjectList m_classes;
    CQZObjectList m_rooms;
    CQZObjectList m_courses;
    CQZObjectList m_fixedTeacher;
    CQZObjectList m_fixedTeacherGroup;
    CQZObjectList m_fixedClass;
    CQZObjectList m_coursePresets;
    CQZObjectList m_studentPresets;
    CQZObjectList m_mutexStudents;
    CMutexOfTeacherList m_mutexTeachers;
    CCombineClassList m_combineClasses;
    CQZPrioritySet m_prioritySet;
    CTaskSetting m_taskSetting;
    CReportInfo m_report;
    CDivisionRules m_rules;
    bool m_rulesDamaged = false;
    SoundKey m_soundKey;
    std::vector<std::string> m_subjectNames;
    bool m_dirty = false;
    bool m_readOnly = false;
    InputState m_inputState = InputState::NotRead;
    MessageHandler m_messageHandler;
};
