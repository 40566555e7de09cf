#pragma once
// What the import tests share: the students editor watched row by row, and
// a class list of any length.
#include "../logic/XlsxBuilder.h"

#include "gui/editors/StudentListDialog.h"

#include <QCoreApplication>
#include <QThread>

#include <functional>
#include <string>

namespace importtest {

// The students editor, watched: every row handed to it, and on which thread.
class WatchedEditor : public CStudentListDialog
{
public:
    using CStudentListDialog::CStudentListDialog;

    int SubmitRow(RowRequest& request, const Row& row) override
    {
        ++calls;
        if (QThread::currentThread() != qApp->thread())
            offThread = true;
        const int result = CStudentListDialog::SubmitRow(request, row);
        if (onRow)
            onRow(calls);
        return result;
    }

    int calls = 0;
    bool offThread = false;
    std::function<void(int calls)> onRow;
};

// A class list of `students` rows at `path`: name, sex, school, two scores.
inline std::string WriteClassList(const std::string& path, int students)
{
    testsupport::XlsxBuilder book(path);
    book.Sheet("名单")
        .Text(0, 0, "姓名")
        .Text(0, 1, "性别")
        .Text(0, 2, "原学校")
        .Text(0, 3, "*语文")
        .Text(0, 4, "*数学");
    for (int s = 1; s <= students; ++s)
        book.Text(s, 0, "学生" + std::to_string(s))
            .Text(s, 1, s % 2 ? "男" : "女")
            .Text(s, 2, "一中")
            .Number(s, 3, 60 + s % 40)
            .Number(s, 4, 70.5);
    return path;
}

} // namespace importtest
