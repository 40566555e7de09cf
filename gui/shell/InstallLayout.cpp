#include "gui/shell/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef QUILLON_DATA_FROM_BIN
#define QUILLON_DATA_FROM_BIN "../share/quillon"
#endif

namespace {
const QString kHelpPage = QStringLiteral("help/index.html");
const QString kDemoTask = QStringLiteral("演示任务");
} // namespace

QString CInstallLayout::dataFolder(const QString& programDir)
{
    if (programDir.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral(QUILLON_DATA_FROM_BIN)));
    // The help page is always installed; a build folder has none there.
    if (!QFileInfo(folder + QLatin1Char('/') + kHelpPage).isFile())
        return {};
    return folder;
}

QString CInstallLayout::dataFolder()
{
    return dataFolder(QCoreApplication::applicationDirPath());
}

QString CInstallLayout::helpPage()
{
    const QString folder = dataFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + kHelpPage;
}

QString CInstallLayout::copyDemoTask(const QString& dataFolder, const QString& taskFolder)
{
    const QDir source(dataFolder + QStringLiteral("/demo/") + kDemoTask);
    const QDir parent(taskFolder);
    const QString target = parent.absoluteFilePath(kDemoTask);
    if (dataFolder.isEmpty() || !source.exists() || QFileInfo::exists(target) || !QDir().mkpath(taskFolder))
        return {};
    // Left over from a copy that was cut short.
    QDir aside(parent.absoluteFilePath(QStringLiteral(".") + kDemoTask + QStringLiteral(".copying")));
    aside.removeRecursively();
    if (!QDir().mkdir(aside.path()))
        return {};
    QString taskFile;
    bool copied = true;
    for (const QFileInfo& file : source.entryInfoList(QDir::Files)) {
        const QString copy = aside.filePath(file.fileName());
        if (!QFile::copy(file.filePath(), copy)) {
            copied = false;
            break;
        }
        // Installed files are read-only; the user's copy must not be.
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        if (file.suffix().compare(QStringLiteral("qz"), Qt::CaseInsensitive) == 0)
            taskFile = file.fileName();
    }
    if (!copied || taskFile.isEmpty() || !QDir().rename(aside.path(), target)) {
        aside.removeRecursively();
        return {};
    }
    return target + QLatin1Char('/') + taskFile;
}
