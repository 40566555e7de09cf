#include "gui/shell/ProgramInfo.h"

#include <QApplication>
#include <QIcon>

QString CProgramInfo::name()
{
    return QStringLiteral("Lumo智能分班系统");
}

QString CProgramInfo::version()
{
    return QStringLiteral("1.0.0");
}

QString CProgramInfo::baseTitle()
{
    return name() + QLatin1Char(' ') + version();
}

void CProgramInfo::setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(version());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app.svg")));
}
