#pragma once

// A file or folder made immutable (chattr +i) for as long as the object
// lives, so that a test which stops early (a failed ASSERT, an exception)
// leaves nothing behind that even root cannot remove or the next run
// cannot write.
#include <cstdlib>
#include <string>
#include <utility>

namespace testsupport {

class ImmutableFile
{
public:
    explicit ImmutableFile(std::string path) : m_path(std::move(path)) { m_set = Chattr("+i"); }
    ~ImmutableFile() { Clear(); }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    // False where the flag cannot be set (no such file system, no right).
    bool IsSet() const { return m_set; }

    // Lifts the flag before the end of the scope; true when it is off.
    bool Clear()
    {
        if (m_set)
            m_set = !Chattr("-i");
        return !m_set;
    }

private:
    bool Chattr(const char* flag) const
    {
        // Single quotes keep every byte of the path; a quote inside is
        // closed, escaped and reopened.
        std::string quoted = "'";
        for (char c : m_path)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += "'";
        return std::system(("chattr " + std::string(flag) + " " + quoted + " 2>/dev/null").c_str()) == 0;
    }

    std::string m_path;
    bool m_set = false;
};

} // namespace testsupport
