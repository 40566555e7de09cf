#include "base/util/LocalTime.h"

std::tm CLocalTime::Of(std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}
