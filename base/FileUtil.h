#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// File helpers shared by the libraries and the program. Paths are UTF-8
// strings in memory.
class CFileUtil
{
public:
    // The platform's path separator ('/' here, '\\' on Windows).
    static char Separator();
    static std::filesystem::path ToPath(const std::string& utf8);
    static std::string FromPath(const std::filesystem::path& path);
    // The path with a separator appended when it does not end in one.
    static std::string WithSeparator(const std::string& folder);

    static bool FileExists(const std::string& path);   // a regular file
    static bool FolderExists(const std::string& path); // a directory
    // Whether two paths name the same file (or, where neither exists, are
    // equal without regard to letter case).
    static bool SamePath(const std::string& a, const std::string& b);

    static std::optional<std::string> ReadFile(const std::string& path);
    // Writes to a temporary file in the same folder, flushes it to disk and
    // renames it over path. On failure the old file is untouched.
    static bool WriteFileAtomically(const std::string& path, const std::string& bytes);
    // The same for a file that another writer makes: write receives the
    // path of the temporary file and returns whether it wrote it; the file
    // is then flushed and renamed over path.
    static bool WriteFileThrough(const std::string& path, const std::function<bool(const std::string& temp)>& write);
    // Copies a file, replacing the target safely.
    static bool CopyFileReplacing(const std::string& from, const std::string& to);
};
