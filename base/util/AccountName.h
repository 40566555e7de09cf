#pragma once

#include <string>

// The name of the account this program runs under, as the system keeps it:
// the full name of its user entry where one is set, else its login name;
// on Windows the session's USERNAME. Empty when the system knows
// none. The environment (USER, HOME) is not trusted for it: a service or a
// "sudo -u" shell may leave it naming someone else or nobody.
class CAccountName
{
public:
    static std::string Current();

    // The name an entry of the user database gives: the first field of its
    // comment (the full name, before any ",room,phone" fields) when not
    // blank, else the login name. Either may be null.
    static std::string FromEntry(const char* gecos, const char* login);
};
