// Where an installed program keeps its settings and finds what it ships.
#include "ShellTestSupport.h"

#include "gui/shell/InstallLayout.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace shelltest;

namespace {

// A prefix as the package lays it out: bin/ for the programs and
// share/quillon/ with the help page and the demo task.
class InstalledLayout : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        CTaskManager::setSettingsFile(std::string());
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toLocal8Bit());
        QDir().mkpath(bin());
        QDir().mkpath(data() + QStringLiteral("/help"));
        writeBytes(data() + QStringLiteral("/help/index.html"), "<html></html>");
        QDir().mkpath(demo());
        writeBytes(demo() + QStringLiteral("/演示任务.qz"), "[Task Info]\n");
        writeBytes(demo() + QStringLiteral("/input.xml"), "<xml/>");
    }

    void TearDown() override
    {
        if (m_oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        ShellTest::TearDown();
    }

    QString bin() const { return path(QStringLiteral("usr/bin")); }
    QString data() const { return path(QStringLiteral("usr/share/quillon")); }
    QString demo() const { return data() + QStringLiteral("/demo/演示任务"); }
    QString tasks() const { return path(QStringLiteral("home/Lumo分班任务")); }

    QByteArray m_oldConfig;
};

} // namespace

TEST_F(InstalledLayout, FoundFromTheProgramsFolderOnly)
{
    EXPECT_EQ(CInstallLayout::dataFolder(bin()), data());
    EXPECT_TRUE(CInstallLayout::isInstalled(bin()));
    // A build folder, or a prefix without the help page, is no installation.
    EXPECT_FALSE(CInstallLayout::isInstalled());
    EXPECT_TRUE(CInstallLayout::helpPage().isEmpty());
    EXPECT_FALSE(CInstallLayout::isInstalled(path(QStringLiteral("usr"))));
    QFile::remove(data() + QStringLiteral("/help/index.html"));
    EXPECT_FALSE(CInstallLayout::isInstalled(bin()));
    EXPECT_FALSE(CInstallLayout::isInstalled(QString()));
}

TEST_F(InstalledLayout, SettingsNeverBesideAnInstalledProgram)
{
    // The folder is writable here, as /usr/bin is for root.
    const std::string configured = str(path(QStringLiteral("config/Quillon/qz.ini")));
    EXPECT_EQ(CTaskManager::settingsFilePath(bin()), configured);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("config/Quillon"))).isDir());

    // A program that is not installed keeps them beside itself.
    const QString portable = path(QStringLiteral("portable"));
    QDir().mkpath(portable);
    EXPECT_EQ(CTaskManager::settingsFilePath(portable), str(portable + QStringLiteral("/qz.ini")));

    // A settings file named by the caller wins over both.
    const QString chosen = path(QStringLiteral("chosen.ini"));
    EXPECT_EQ(CTaskManager::settingsFilePath(bin(), chosen), str(chosen));
}

TEST_F(InstalledLayout, DemoTaskCopiedOnceAndWritable)
{
    QFile::setPermissions(demo() + QStringLiteral("/input.xml"), QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString task = CInstallLayout::copyDemoTask(data(), tasks());
    EXPECT_EQ(task, tasks() + QStringLiteral("/演示任务/演示任务.qz"));
    EXPECT_EQ(readBytes(task), QByteArray("[Task Info]\n"));
    const QString input = tasks() + QStringLiteral("/演示任务/input.xml");
    EXPECT_EQ(readBytes(input), QByteArray("<xml/>"));
    EXPECT_TRUE(QFileInfo(input).permissions() & QFileDevice::WriteOwner);
    QFile::setPermissions(demo() + QStringLiteral("/input.xml"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // The user's copy, possibly changed by now, is never overwritten.
    writeBytes(input, "<changed/>");
    EXPECT_TRUE(CInstallLayout::copyDemoTask(data(), tasks()).isEmpty());
    EXPECT_EQ(readBytes(input), QByteArray("<changed/>"));
}

TEST_F(InstalledLayout, FailedDemoCopyLeavesNothingBehind)
{
    // A copy cut short before is cleared away by the next one.
    QDir().mkpath(tasks() + QStringLiteral("/.演示任务.copying/stale"));
    EXPECT_FALSE(CInstallLayout::copyDemoTask(data(), tasks()).isEmpty());
    EXPECT_EQ(QDir(tasks()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("演示任务")});

    // A demo folder without a task file is no task.
    QFile::remove(demo() + QStringLiteral("/演示任务.qz"));
    const QString other = path(QStringLiteral("other"));
    EXPECT_TRUE(CInstallLayout::copyDemoTask(data(), other).isEmpty());
    EXPECT_TRUE(QDir(other).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(CInstallLayout::copyDemoTask(QString(), other).isEmpty());
}
