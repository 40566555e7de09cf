#pragma once

// A task in a folder of its own for the list editor tests, and a driver
// for the modal dialogs the editors open.
#include "ResultsTestSupport.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

#include "gui/editors/ListEditorDialog.h"
#include "gui/editors/StudentNamesDialog.h"
#include "gui/common/MessageBox.h"
#include "base/task/ScheduleTask.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace editortest {

using shelltest::str;
using testsupport::AddClass;
using testsupport::AddGroup;
using testsupport::AddPreset;
using testsupport::AddStudent;

inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMessageBox::clearTestState();
        CTaskInfo info;
        info.SetTaskName("测试任务");
        info.SetTaskFolder(m_folder.Path().string());
        task.SetTaskInfo(info);
        ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    }

    void TearDown() override { CMessageBox::clearTestState(); }

    // The task as a new program run reads it from its folder.
    std::unique_ptr<CScheduleTask> Reopen() const
    {
        auto reopened = std::make_unique<CScheduleTask>();
        EXPECT_TRUE(reopened->Open(task.GetTaskInfo().GetTaskFile()));
        return reopened;
    }

    // The visible cells of column for every row of an editor.
    static std::vector<std::string> Column(const CListEditorDialog& editor, int column)
    {
        std::vector<std::string> cells;
        for (int row = 0; row < editor.rowCount(); ++row)
            cells.push_back(editor.cellText(row, column));
        return cells;
    }

    static QStringList Shown() { return CMessageBox::shownTexts(); }

    // The buttons an editor shows, top to bottom.
    static std::vector<QPushButton*> VisibleButtons(const QWidget& editor)
    {
        std::vector<QPushButton*> shown;
        for (QPushButton* b : editor.findChildren<QPushButton*>()) {
            if (b->isVisible())
                shown.push_back(b);
        }
        std::sort(shown.begin(), shown.end(), [](QPushButton* a, QPushButton* b) { return a->y() < b->y(); });
        return shown;
    }

    // New cells for the selected row, with no row selected: refused with a
    // reason, nothing changed.
    static void ExpectReplaceRefused(CListEditorDialog& editor, const CListEditorDialog::Row& row)
    {
        const int rows = editor.rowCount();
        const std::vector<std::string> names = Column(editor, 2);
        editor.selectRows({});
        RowRequest request;
        request.mode = RowMode::Replace;
        EXPECT_EQ(editor.SubmitRow(request, row), -1);
        EXPECT_FALSE(request.accepted);
        EXPECT_FALSE(request.message.empty());
        EXPECT_FALSE(editor.isModified());
        EXPECT_EQ(editor.rowCount(), rows);
        EXPECT_EQ(Column(editor, 2), names);
    }

    testsupport::TempFolder m_folder;
    CScheduleTask task;
};

// Answers the modal dialogs that come up, one step per dialog, in order.
// Each step receives the dialog; a dialog of another type than expected is
// a failure and is rejected.
class ModalSteps
{
public:
    template <typename T>
    ModalSteps& Then(std::function<void(T*)> step)
    {
        m_steps.push_back([step](QWidget* widget) {
            T* dialog = qobject_cast<T*>(widget);
            if (!dialog) {
                ADD_FAILURE() << "unexpected dialog " << widget->metaObject()->className();
                if (auto* other = qobject_cast<QDialog*>(widget))
                    other->reject();
                return;
            }
            step(dialog);
        });
        return *this;
    }

    // Starts answering; call before the action that opens the dialogs.
    void Start()
    {
        m_driver = std::make_unique<ResultsTest::ModalDriver>([this](QWidget* widget) {
            if (m_steps.empty())
                return false;
            auto step = std::move(m_steps.front());
            m_steps.pop_front();
            step(widget);
            return true;
        });
    }

    bool Done() const { return m_steps.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> m_steps;
    std::unique_ptr<ResultsTest::ModalDriver> m_driver;
};

// Types names into a group's dialog and presses its first button; the
// messages shown.
inline QStringList TypeNames(CStudentNamesDialog& dialog, const QString& text)
{
    CMessageBox::clearTestState();
    dialog.namesEdit()->setPlainText(text);
    dialog.submit();
    return CMessageBox::shownTexts();
}

} // namespace editortest
