#pragma once

#include <string>

// Private-profile style INI access, key by key, as the task file and the
// settings file need it: section and key names without regard to letter
// case, other sections and keys kept, the file created by the first write,
// GBK bytes on disk. Every write rewrites the file safely.
class CIniFile
{
public:
    // The value, or def when the file, section or key is missing. At most
    // maxBytes bytes of the file's encoding are returned, never cutting a
    // character in half.
    static std::string ReadString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t maxBytes = 259);
    // Decimal text to integer as the platform does it (leading number, else 0).
    static int ReadInt(const std::string& path, const std::string& section,
                       const std::string& key, int def);
    static bool ReadBool(const std::string& path, const std::string& section,
                         const std::string& key, bool def);

    // Line breaks in a value are stored escaped so that a value never spans
    // lines; ReadString gives them back.
    static bool WriteString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value);
    static bool WriteInt(const std::string& path, const std::string& section,
                         const std::string& key, int value);
    static bool WriteBool(const std::string& path, const std::string& section,
                          const std::string& key, bool value);
};
