#pragma once

#include "base/records/ClassInfo.h"
#include "core/Core.h"
#include "core/DivisionOwner.h"
#include "base/records/MutexStudent.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Records every notification of a run, as the window would receive it.
class RecordingOwner : public CDivisionOwner
{
public:
    struct Event
    {
        std::uintptr_t kind;
        std::intptr_t value; // progress or end code
        std::string text;    // status text
    };

    // Called on the worker thread for each notification, after recording.
    std::function<void(const Event&)> onEvent;

    void Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        ASSERT_EQ(message, WM_DIVISION_NOTIFY);
        Event event{wParam, lParam, std::string()};
        if (wParam == DIVISION_NOTIFY_STATUS) {
            event.text = reinterpret_cast<const char*>(lParam);
            event.value = 0;
        }
        {
            std::lock_guard lock(m_mutex);
            m_events.push_back(event);
        }
        m_changed.notify_all();
        if (onEvent)
            onEvent(event);
    }

    std::vector<Event> Events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

    // Waits until a status line with this text has arrived.
    bool WaitForStatus(const std::string& text, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            for (const Event& e : m_events) {
                if (e.kind == DIVISION_NOTIFY_STATUS && e.text == text)
                    return true;
            }
            return false;
        });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Event> m_events;
};

// A task in a temporary folder, with helpers to fill it.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        task = std::make_unique<CScheduleTask>();
        task->GetTaskInfo().SetTaskFolder(folder.string());
        task->GetTaskInfo().SetTaskName("测试任务");
        task->SetMessageHandler([](const std::string&) {});
        task->GetCustomSubjectArray() = {"语文", "数学"};
    }

    void TearDown() override
    {
        if (task)
            CCore::WaitForTask(task.get(), 10000);
        task.reset();
    }

    CClassInfo* AddClass(const std::string& id, unsigned capacity, const std::string& name = std::string())
    {
        return testsupport::AddClass(*task, id, name.empty() ? id + "班" : name,
                                     static_cast<int>(task->GetClassInfoList().GetCount()), capacity);
    }

    // sex 0 is a girl; the score is split over the two subjects.
    CStudentInfo* AddStudent(const std::string& id, int sex, double score, const std::string& name = std::string())
    {
        const std::string half = std::to_string(score / 2);
        return testsupport::AddStudent(*task, id, name.empty() ? id : name,
                                       static_cast<int>(task->GetStudentInfoList().GetCount()), sex, std::string(),
                                       {half, half}, std::string());
    }

    void AddGroup(const std::string& id, const std::vector<std::string>& members)
    {
        testsupport::AddGroup(*task, id, members);
    }

    void AddPreset(const std::string& studentId, const std::string& classId)
    {
        testsupport::AddPreset(*task, studentId, classId);
    }

    CStudentInfo* Student(const std::string& id) const { return task->GetStudentInfoList().FindAs<CStudentInfo>(id); }
    CClassInfo* Class(const std::string& id) const { return task->GetClassInfoList().FindAs<CClassInfo>(id); }
    std::string ClassOf(const std::string& studentId) const { return Student(studentId)->GetClassId(); }

    // Runs the engine to its end, visiting the classes in list order unless
    // a seed is given. Returns the end code, or -1 when none arrived.
    int Run(unsigned long long seed = 0)
    {
        const std::size_t sentBefore = owner.Events().size();
        CCore core(*task);
        core.Init(&owner);
        core.SetFilter({});
        if (seed == 0)
            core.SetListOrder(true);
        else
            core.SetSeed(seed);
        core.Start();
        core.Wait();
        core.Free();
        const auto events = owner.Events();
        for (std::size_t i = sentBefore; i < events.size(); ++i) {
            if (events[i].kind == DIVISION_NOTIFY_END)
                return static_cast<int>(events[i].value);
        }
        return -1;
    }

    const std::vector<std::string>& Errors() const { return task->GetLastReportInfo().GetErrorInfo(); }

    bool FileInFolder(const std::string& name) const { return std::filesystem::exists(folder / name); }

    // Many students in many classes, 2% of them in exclusive groups of 2 to 4.
    void FillLarge(int students, int classes, unsigned long long seed = 42)
    {
        testsupport::FillLargeSchool(*task, students, classes, seed);
    }

    testsupport::TempFolder tempFolder;
    const std::filesystem::path folder = tempFolder.Path();
    std::unique_ptr<CScheduleTask> task;
    RecordingOwner owner;
};
