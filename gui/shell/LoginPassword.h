#pragma once

#include <QString>

// The login password as the settings file keeps it.
class CLoginPassword
{
public:
    // MD5 of the password's GBK bytes as 32 lower-case hexadecimal digits.
    static QString digest(const QString& password);
};
