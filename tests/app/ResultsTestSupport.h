#pragma once

// Tasks in memory and a driver for modal dialogs, for the tests of the
// division run and its result views.
#include "gui/results/AutoDivisionDialog.h"
#include "base/records/ClassInfo.h"
#include "core/Core.h"
#include "core/DivisionOwner.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "TaskBuilder.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <algorithm>
#include <string>
#include <vector>

namespace ResultsTest {

using testsupport::AddClass;
using testsupport::AddPreset;
using testsupport::AddStudent;

// A school of the given size with Chinese names, three subjects and
// capacities that hold every student. Students are left without a class
// unless placed is true (then they are dealt round-robin).
inline void MakeSchool(CScheduleTask& task, int students, int classes, bool placed)
{
    static const char* const surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                           "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
    static const char* const given[] = {"伟", "芳",   "娜",   "敏",   "静",   "丽",   "强",   "磊",   "洋", "艳",
                                        "勇", "军",   "杰",   "娟",   "涛",   "明",   "超",   "秀英", "霞", "平",
                                        "刚", "桂英", "子涵", "欣怡", "浩然", "梓萱", "宇轩", "雨桐"};
    static const char* const schools[] = {"城关小学", "实验小学", "第二小学", "育才小学", "东风小学"};
    task.GetCustomSubjectArray() = {"语文", "数学", "英语"};
    const unsigned capacity = static_cast<unsigned>((students + classes - 1) / classes + 1);
    for (int c = 0; c < classes; ++c)
        AddClass(task, "class" + std::to_string(c), "七年级(" + std::to_string(c + 1) + ")班", c, capacity);
    for (int s = 0; s < students; ++s) {
        const std::string name = std::string(surnames[s % 20]) + given[(s / 20 + s * 7) % 28];
        std::vector<std::string> scores = {std::to_string(60 + (s * 37) % 41),
                                           std::to_string(55 + (s * 53) % 46) + ((s % 4 == 0) ? ".5" : ""),
                                           std::to_string(50 + (s * 29) % 51)};
        AddStudent(task, "student" + std::to_string(s), name, s, (s * 7 + 3) % 5 < 2 ? 0 : 1,
                   placed ? "class" + std::to_string(s % classes) : std::string(), std::move(scores),
                   schools[(s / 3) % 5]);
    }
}

// Saves a task made in memory as the task named name in folder; the path
// of its task file, empty when it could not be saved.
inline std::string SaveTaskIn(CScheduleTask& task, const std::string& name, const std::string& folder)
{
    CTaskInfo info;
    info.SetTaskName(name);
    info.SetTaskFolder(folder);
    task.SetTaskInfo(info);
    if (!task.SaveInputData() || !task.GetTaskInfo().WriteToFile())
        return std::string();
    return task.GetTaskInfo().GetTaskFile();
}

// Divides the task on the engine's worker, as the program does, showing
// nothing; for the pictures of a divided demo task.
inline void DivideQuietly(CScheduleTask& task, unsigned long long seed)
{
    class QuietOwner : public CDivisionOwner
    {
    public:
        void Notify(unsigned, std::uintptr_t, std::intptr_t) override {}
    };
    QuietOwner owner;
    CCore core(task);
    core.Init(&owner);
    core.SetFilter({});
    core.SetSeed(seed);
    core.Start();
    core.Wait();
    core.Free();
}
// What a screenshot test renders: the folder QUILLON_SCREENSHOT_DIR names
// (the test is skipped without it) and the task shown, the copy of the demo
// task that QUILLON_SCREENSHOT_TASK names (a run rewrites its files) or
// else a task in a temporary folder that fill makes.
class ScreenshotScene
{
public:
    explicit ScreenshotScene(const std::function<void(CScheduleTask&)>& fill)
        : m_target(qEnvironmentVariable("QUILLON_SCREENSHOT_DIR"))
    {
        if (m_target.isEmpty())
            return;
        QDir().mkpath(m_target);
        const QString demo = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
        if (!demo.isEmpty()) {
            m_loaded = m_task.Open(demo.toStdString());
            return;
        }
        CTaskInfo info;
        info.SetTaskName("七年级分班");
        info.SetTaskFolder(QDir::toNativeSeparators(m_folder.path()).toStdString());
        m_task.SetTaskInfo(info);
        fill(m_task);
        m_loaded = m_folder.isValid();
    }

    bool skipped() const { return m_target.isEmpty(); }
    // The task could be opened (or made).
    bool loaded() const { return m_loaded; }
    QDir out() const { return QDir(m_target); }
    CScheduleTask& task() { return m_task; }

private:
    QString m_target;
    QTemporaryDir m_folder;
    CScheduleTask m_task;
    bool m_loaded = false;
};

// Calls handler for every new modal dialog while it is up (polling the
// active modal widget); the handler returns true once it is done with it.
class ModalDriver
{
public:
    explicit ModalDriver(std::function<bool(QWidget*)> handler) : m_handler(std::move(handler))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || std::find(m_done.begin(), m_done.end(), modal) != m_done.end())
                return;
            if (m_handler(modal))
                m_done.emplace_back(modal);
        });
        m_timer.start(5);
    }

private:
    std::function<bool(QWidget*)> m_handler;
    std::vector<QPointer<QWidget>> m_done; // a destroyed dialog drops out
    QTimer m_timer;
};

// Calls action for every modal dialog of type T while it is up.
template <class T>
class ModalOf : public ModalDriver
{
public:
    explicit ModalOf(std::function<void(T*)> action)
        : ModalDriver([action = std::move(action)](QWidget* modal) {
              T* dialog = qobject_cast<T*>(modal);
              if (dialog)
                  action(dialog);
              return dialog != nullptr;
          })
    {
    }
};

// Where a run is cancelled: at a status line, or as the bar reaches 100
// (after the result was saved).
struct CancelPoint
{
    const char* status; // null: at the full bar
};

// Clicks "取消" on the run dialog from within the engine's notification
// that marks the point, while the worker waits for it.
class CancelAt : public QObject
{
public:
    explicit CancelAt(CancelPoint point) : m_point(point) { qApp->installEventFilter(this); }
    ~CancelAt() override { qApp->removeEventFilter(this); }
    bool cancelled = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<CAutoDivisionDialog*>(watched);
        if (dialog && event->type() == QEvent::Show) { // before the engine starts
            auto cancel = [this, dialog] {
                cancelled = true;
                dialog->cancelButton()->click();
            };
            if (m_point.status) {
                QObject::connect(dialog, &CAutoDivisionDialog::statusChanged, dialog,
                                 [this, cancel](const QString& text) {
                                     if (text == QString::fromUtf8(m_point.status))
                                         cancel();
                                 });
            } else {
                QObject::connect(dialog->progressBar(), &QProgressBar::valueChanged, dialog, [cancel](int value) {
                    if (value == 100)
                        cancel();
                });
            }
        }
        return false;
    }

private:
    CancelPoint m_point;
};

} // namespace ResultsTest
