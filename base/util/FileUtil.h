#pragma once

#include <filesystem>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

    // Takes the next piece of a file being written; false stops the write.
    using Sink = std::function<bool(std::string_view piece)>;
    struct FileBytes
    {
        FileBytes(std::string path, std::string_view bytes) : path(std::move(path)), bytes(bytes) {}
        FileBytes(std::string path, std::function<bool(const Sink&)> produce)
            : path(std::move(path)), produce(std::move(produce))
        {
        }

        std::string path;
        std::string_view bytes;
        // When given, writes the file piece by piece into the sink instead
        // of bytes, so that a large file is never held whole in memory.
        std::function<bool(const Sink&)> produce;
    };
    // Replaces the files together: each is written to a temporary file in
    // its folder and flushed to disk; only when all of them were written are
    // they renamed over their targets, in the order given, one right after
    // the other. Returns how many were replaced: 0 when a temporary file
    // could not be written (every old file untouched then), fewer than all
    // when a rename failed. Leftovers of earlier interrupted writes of the
    // same files are removed first.
    static std::size_t ReplaceFiles(const std::vector<FileBytes>& files);
    // ReplaceFiles for one file. On failure the old file is untouched.
    static bool WriteFileAtomically(const std::string& path, std::string_view bytes);
    // WriteFileAtomically for a file that another writer makes: write gets
    // the path of the temporary file (already created, empty) and returns
    // whether it wrote it; the file is then flushed and renamed over path.
    static bool WriteFileThrough(const std::string& path, const std::function<bool(const std::string& temp)>& write);
    // Copies a file, replacing the target safely.
    static bool CopyFileReplacing(const std::string& from, const std::string& to);
    // Removes the temporary files that interrupted writes of path left
    // beside it. A temporary file another process is still writing stays,
    // and so does every file of another naming.
    static void RemoveLeftovers(const std::string& path);
};
