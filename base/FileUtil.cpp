#include "FileUtil.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

char CFileUtil::Separator()
{
    return static_cast<char>(fs::path::preferred_separator);
}

fs::path CFileUtil::ToPath(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string CFileUtil::FromPath(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string CFileUtil::WithSeparator(const std::string& folder)
{
    if (!folder.empty() && (folder.back() == Separator() || folder.back() == '/'))
        return folder;
    return folder + Separator();
}

bool CFileUtil::FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(ToPath(path), ec);
}

bool CFileUtil::FolderExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(ToPath(path), ec);
}

bool CFileUtil::SamePath(const std::string& a, const std::string& b)
{
    std::error_code ec;
    const fs::path pa = ToPath(a);
    const fs::path pb = ToPath(b);
    const bool ea = fs::exists(pa, ec);
    const bool eb = fs::exists(pb, ec);
    if (ea && eb)
        return fs::equivalent(pa, pb, ec);
    if (ea != eb)
        return false;
    const std::string na = FromPath(pa.lexically_normal());
    const std::string nb = FromPath(pb.lexically_normal());
    return na.size() == nb.size()
           && std::equal(na.begin(), na.end(), nb.begin(), [](char x, char y) {
                  return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
              });
}

std::optional<std::string> CFileUtil::ReadFile(const std::string& path)
{
    if (!FileExists(path))
        return std::nullopt;
#ifdef _WIN32
    std::FILE* file = _wfopen(ToPath(path).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(ToPath(path).c_str(), "rb");
#endif
    if (!file)
        return std::nullopt;
    std::string bytes;
    std::error_code ec;
    const auto size = fs::file_size(ToPath(path), ec);
    if (!ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return bytes;
}

namespace {

// Writes and flushes the bytes to a new file; false on any failure.
bool WriteAndSync(const fs::path& path, const std::string& bytes)
{
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"wbx");
#else
    std::FILE* file = std::fopen(path.c_str(), "wbx");
#endif
    if (!file)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
#ifdef _WIN32
    ok = _commit(_fileno(file)) == 0 && ok;
#else
    ok = ::fsync(fileno(file)) == 0 && ok;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

// Flushes a file that another writer has closed to the disk.
bool SyncFile(const fs::path& path)
{
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb+");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb+");
#endif
    if (!file)
        return false;
#ifdef _WIN32
    bool ok = _commit(_fileno(file)) == 0;
#else
    bool ok = ::fsync(fileno(file)) == 0;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

fs::path TemporarySibling(const fs::path& target)
{
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string suffix = ".tmp" + std::to_string(stamp) + "_" + std::to_string(counter++);
    // A long file name (a long task name) would no longer fit a file
    // system's name limit once the suffix is added: use a short name then.
    constexpr std::size_t kMaxNameBytes = 255;
    if (target.filename().u8string().size() + suffix.size() > kMaxNameBytes)
        return target.parent_path() / fs::path("~qz" + suffix);
    fs::path temp = target;
    temp += fs::path(suffix);
    return temp;
}

} // namespace

bool CFileUtil::WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    return WriteFileThrough(path, [&bytes](const std::string& temp) { return WriteAndSync(ToPath(temp), bytes); });
}

bool CFileUtil::WriteFileThrough(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    if (path.empty())
        return false;
    const fs::path target = ToPath(path);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return false;
    const fs::path temp = TemporarySibling(target);
    if (!write(FromPath(temp)) || !SyncFile(temp)) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
#ifndef _WIN32
    // Make the rename itself durable.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    return true;
}

bool CFileUtil::CopyFileReplacing(const std::string& from, const std::string& to)
{
    if (!FileExists(from) || to.empty())
        return false;
    const fs::path target = ToPath(to);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return false;
    // Copied beside the target, then renamed over it: a reader never sees a
    // half-written copy.
    const fs::path temp = TemporarySibling(target);
    fs::copy_file(ToPath(from), temp, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}
