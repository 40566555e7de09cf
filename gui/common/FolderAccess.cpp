#include "gui/common/FolderAccess.h"

#include <QTemporaryFile>

bool CFolderAccess::canWriteIn(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.quillon-probe-XXXXXX"));
    return probe.open();
}
