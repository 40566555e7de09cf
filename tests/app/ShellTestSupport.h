#pragma once

// Shared helpers of the shell's GUI tests: a private settings file and task
// folder per test, and a way to answer modal dialogs without blocking.

#include "gui/common/FolderAccess.h"
#include "gui/common/MessageBox.h"
#include "base/records/TaskInfo.h"
#include "gui/shell/TaskManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace shelltest {

inline std::string str(const QString& text)
{
    return text.toStdString();
}

// Runs action on the first modal dialog of type T that comes up, from the
// event loop that dialog runs. Gives up after a few seconds.
template <typename T>
void whenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
        if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog came up";
        }
    });
    timer->start(10);
}

// A folder in which no file can be made while this lives, like a read-only
// share: the permission bits, and where they do not count (for root) the
// file system's immutable flag. isReadOnly() is false where neither works.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                          | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
        if (CFolderAccess::canWriteIn(folder))
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_folder});
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool isReadOnly() const { return !CFolderAccess::canWriteIn(m_folder); }

private:
    QString m_folder;
    bool m_immutable = false;
};

class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = m_dir.filePath(QStringLiteral("qz.ini"));
        CTaskManager::setSettingsFile(str(m_settings));
        CTaskManager::release();
        CMessageBox::clearTestState();
    }

    void TearDown() override
    {
        CTaskManager::release();
        CTaskManager::setSettingsFile(std::string());
        CMessageBox::clearTestState();
    }

    // The controller bound to this test's settings file, its new tasks
    // going to this test's folder.
    CTaskManager* manager()
    {
        CTaskManager* m = CTaskManager::instance();
        m->setDefaultTaskFolder(str(path(QStringLiteral("tasks"))));
        return m;
    }

    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    std::string settings() const { return str(m_settings); }

    // A task file name.qz in folder (created); the data files are made
    // when the task is first opened.
    std::string makeTask(const QString& folder, const QString& name)
    {
        const QString dir = path(folder);
        QDir().mkpath(dir);
        CTaskInfo info;
        info.SetTaskFolder(str(dir));
        info.SetTaskName(str(name));
        info.SetTaskAuthor("tester");
        EXPECT_TRUE(info.WriteToFile());
        return info.GetTaskFile();
    }

    static void writeBytes(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QByteArray readBytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_settings;
};

} // namespace shelltest
