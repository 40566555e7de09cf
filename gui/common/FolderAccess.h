#pragma once

#include <QString>

#include <string>

// Whether the program can write where a task lives. A read-only share, a
// write-protected USB stick or missing permissions all show the same way:
// no file can be made in the folder.
class CFolderAccess
{
public:
    // Whether a file can be made in folder; permission bits alone do not
    // tell on every system.
    static bool canWriteIn(const QString& folder);
    static bool canWriteIn(const std::string& folder) { return canWriteIn(QString::fromStdString(folder)); }
};
