#include "base/util/IniFile.h"
#include "gui/shell/InstallLayout.h"
#include "gui/shell/LoginDlg.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/ProgramInfo.h"
#include "gui/shell/QtTranslation.h"
#include "gui/shell/TaskManager.h"
#include "gui/common/UICore.h"
#include "gui/common/WindowPlacement.h"
#include "gui/shell/UIResources.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

// Quillon [--settings FILE] [TASK.qz]
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CProgramInfo::setUpApplication();

    // Qt's own dialogs (file and folder choosers) in Simplified Chinese,
    // whatever the machine's language.
    CQtTranslation::install();

    QCommandLineParser parser;
    parser.setApplicationDescription(CProgramInfo::name());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(QStringLiteral("settings"),
                                            QStringLiteral("Use FILE as the settings file instead of qz.ini."),
                                            QStringLiteral("FILE"));
    parser.addOption(settingsOption);
    parser.addPositionalArgument(QStringLiteral("task"), QStringLiteral("The task file (.qz) to open."),
                                 QStringLiteral("[TASK.qz]"));
    parser.process(app);
    if (parser.isSet(settingsOption))
        CTaskManager::setSettingsFile(QFileInfo(parser.value(settingsOption)).absoluteFilePath().toStdString());
    std::string startTask;
    if (!parser.positionalArguments().isEmpty())
        startTask =
            QDir::toNativeSeparators(QFileInfo(parser.positionalArguments().first()).absoluteFilePath()).toStdString();

    QApplication::setFont(CUICore::instance()->getDefaultFont());

    // The login dialog is the only window for a while; its closing must not
    // end the program before the main window is up.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::string settings = CTaskManager::settingsFilePath();
    const QString stored = QString::fromStdString(CIniFile::ReadString(settings, "SYSTEM", "Auth", ""));
    if (!CLoginDlg::check(stored))
        return 0;
    // On the first start of an installed program a copy of the demo task
    // joins the user's tasks, where the open-task chooser starts.
    if (CInstallLayout::isInstalled() && !QFileInfo::exists(QString::fromStdString(settings)))
        CInstallLayout::copyDemoTask(CInstallLayout::dataFolder(),
                                     QString::fromStdString(CTaskManager::instance()->defaultTaskFolder()));

    // Every window opens where it was last, or large enough for its
    // content.
    CWindowPlacement placement(settings);
    app.installEventFilter(&placement);

    int result = 0;
    {
        CMainDlg window(startTask);
        if (!placement.restore(&window))
            window.setWindowState(Qt::WindowMaximized);
        window.show();
        // The splash stays above the main window for its 1.5 s, also where no
        // window manager keeps it on top.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<CLoginDlg*>(widget) && widget->isVisible())
                widget->raise();
        QApplication::setQuitOnLastWindowClosed(true);
        result = QApplication::exec();
    }
    app.removeEventFilter(&placement);
    CTaskManager::release();
    CUIResources::release();
    CUICore::Free();
    return result;
}
