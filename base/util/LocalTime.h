#pragma once

#include <ctime>

// Calendar time in the local time zone, on every platform.
class CLocalTime
{
public:
    static std::tm Of(std::time_t when);
};
