#include "base/util/AccountName.h"

#include "base/util/TextCodec.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif

namespace {
bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
} // namespace

std::string CAccountName::FromEntry(const char* gecos, const char* login)
{
    if (gecos) {
        std::string full(gecos);
        full = full.substr(0, full.find(','));
        // A full name in another encoding than UTF-8 would be stored garbled.
        if (!IsBlank(full) && CTextCodec::IsValidUtf8(full))
            return Trimmed(full);
    }
    return login ? Trimmed(login) : std::string();
}

std::string CAccountName::Current()
{
#ifdef _WIN32
    const wchar_t* user = _wgetenv(L"USERNAME");
    if (!user || !*user)
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, user, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string name(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, user, -1, name.data(), bytes, nullptr, nullptr);
    name.pop_back(); // the terminating NUL
    return name;
#else
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return FromEntry(found->pw_gecos, found->pw_name);
#endif
}
