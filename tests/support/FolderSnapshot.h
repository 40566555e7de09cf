#pragma once

// Every entry below a folder with the bytes of each file: two snapshots are
// equal when nothing in the folder was made, removed or changed.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace testsupport {

inline std::map<std::string, std::string> FolderSnapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> entries;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = std::filesystem::relative(it->path(), folder).generic_string();
        if (it->is_directory()) {
            entries[name + "/"] = std::string();
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        entries[name] = bytes.str();
    }
    return entries;
}

} // namespace testsupport
