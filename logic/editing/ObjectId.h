#pragma once

#include <string>

// Identifiers of records made by the program.
class CObjectId
{
public:
    // A fresh random (version 4) UUID without its hyphens: 32 lower-case
    // hexadecimal digits.
    static std::string New();
};
