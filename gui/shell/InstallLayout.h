#pragma once

#include <QString>

// Where the files that ship with the program lie. A program run from its
// build folder (or unpacked into one folder) keeps everything beside itself.
// An installed program finds its help page, pictures and demo task in the
// installation's data folder (prefix/share/quillon) and never writes beside
// itself: its settings go to the user's configuration folder.
class CInstallLayout
{
public:
    // The data folder of the installation that the program in programDir
    // belongs to; empty when that program does not run from an installation.
    static QString dataFolder(const QString& programDir);
    // The same for the running program.
    static QString dataFolder();
    static bool isInstalled(const QString& programDir) { return !dataFolder(programDir).isEmpty(); }
    static bool isInstalled() { return !dataFolder().isEmpty(); }

    // The installed help page; empty when the program is not installed.
    static QString helpPage();

    // Copies the demo task of the data folder into taskFolder/演示任务 unless
    // that folder exists already. The copy is made aside and renamed into
    // place, so the folder either holds the whole task or is absent. Returns
    // the path of the copied task file, empty when nothing was copied.
    static QString copyDemoTask(const QString& dataFolder, const QString& taskFolder);
};
