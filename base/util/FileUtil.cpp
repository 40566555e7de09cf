#include "base/util/FileUtil.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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
    return na.size() == nb.size() && std::equal(na.begin(), na.end(), nb.begin(), [](char x, char y) {
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

// A temporary file beside its target. On POSIX systems it carries an
// exclusive advisory lock from its creation until it has been renamed and
// closed, so a later clean-up can tell an abandoned one (nobody holds the
// lock) from one another process is writing.
class CTemporaryFile
{
public:
    explicit CTemporaryFile(fs::path target) : m_target(std::move(target)), m_path(TemporaryName(m_target)) {}
    ~CTemporaryFile()
    {
        Close();
        if (!m_renamed) {
            std::error_code ignored;
            fs::remove(m_path, ignored);
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    // Creates the file, writes the bytes and flushes them to disk.
    bool Write(std::string_view bytes)
    {
        return Create() && Append(bytes) && Flush();
    }

    // The same for a file handed over piece by piece.
    bool Write(const std::function<bool(const CFileUtil::Sink&)>& produce)
    {
        return Create() && produce([this](std::string_view piece) { return Append(piece); }) && Flush();
    }

    // Creates the file as a copy of source, a piece at a time (the kernel
    // copies where it can), and flushes it to disk.
    bool CopyFrom(const fs::path& source)
    {
        if (!Create())
            return false;
#ifdef _WIN32
        std::FILE* in = _wfopen(source.c_str(), L"rb");
#else
        std::FILE* in = std::fopen(source.c_str(), "rb");
#endif
        if (!in)
            return false;
#ifndef _WIN32
        // Most file systems copy on the kernel's side; where they cannot
        // (another device, an old kernel) the loop below reads and writes.
        for (bool copied = false;;) {
            const ssize_t moved = ::copy_file_range(fileno(in), nullptr, m_fd, nullptr, std::size_t{1} << 30, 0);
            if (moved > 0) {
                copied = true;
                continue;
            }
            if (moved < 0 && errno == EINTR)
                continue;
            const bool unsupported = moved < 0 && !copied
                                     && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP);
            if (unsupported)
                break;
            std::fclose(in);
            return moved == 0 && Flush();
        }
#endif
        bool ok = true;
        std::vector<char> buffer(std::size_t{1} << 20);
        for (std::size_t read; ok && (read = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;)
            ok = Append({buffer.data(), read});
        ok = !std::ferror(in) && ok;
        std::fclose(in);
        return ok && Flush();
    }

    const fs::path& GetPath() const
    {
        return m_path;
    }

    // The file stays open (and locked) until this object goes.
    bool Rename()
    {
        std::error_code ec;
        fs::rename(m_path, m_target, ec);
        m_renamed = !ec;
        return m_renamed;
    }

    // "<name>.tmp<stamp>_<count>", or "~qz.tmp<stamp>_<count>" where the
    // name would not fit a file system's name limit with the suffix.
    static fs::path TemporaryName(const fs::path& target)
    {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const std::string suffix = ".tmp" + std::to_string(stamp) + "_" + std::to_string(counter++);
        constexpr std::size_t kMaxNameBytes = 255;
        if (target.filename().u8string().size() + suffix.size() > kMaxNameBytes)
            return target.parent_path() / fs::path(kShortStem + suffix);
        fs::path temp = target;
        temp += fs::path(suffix);
        return temp;
    }

    // Whether name is what TemporaryName gives for a file named target.
    static bool IsTemporaryName(const std::string& name, const std::string& target)
    {
        std::string_view rest(name);
        if (rest.starts_with(target))
            rest.remove_prefix(target.size());
        else if (rest.starts_with(kShortStem))
            rest.remove_prefix(kShortStem.size());
        else
            return false;
        if (!rest.starts_with(".tmp"))
            return false;
        rest.remove_prefix(4);
        const std::size_t separator = rest.find('_');
        auto digits = [](std::string_view text) {
            return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        return separator != std::string_view::npos && digits(rest.substr(0, separator))
               && digits(rest.substr(separator + 1));
    }

private:
    bool Create()
    {
#ifdef _WIN32
        m_file = _wfopen(m_path.c_str(), L"wbx");
        return m_file != nullptr;
#else
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0)
            return false;
        ::flock(m_fd, LOCK_EX);
        return true;
#endif
    }

    bool Append(std::string_view bytes)
    {
#ifdef _WIN32
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
#else
        const char* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        return true;
#endif
    }

    bool Flush()
    {
#ifdef _WIN32
        bool ok = std::fflush(m_file) == 0;
        ok = _commit(_fileno(m_file)) == 0 && ok;
        // Windows renames no file that is open.
        ok = std::fclose(m_file) == 0 && ok;
        m_file = nullptr;
        return ok;
#else
        return ::fsync(m_fd) == 0;
#endif
    }

    void Close()
    {
#ifdef _WIN32
        if (m_file)
            std::fclose(m_file);
        m_file = nullptr;
#else
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
#endif
    }

    static inline const std::string kShortStem = "~qz";

    fs::path m_target;
    fs::path m_path;
    bool m_renamed = false;
#ifdef _WIN32
    std::FILE* m_file = nullptr;
#else
    int m_fd = -1;
#endif
};

// Whether the temporary file at path was left by a write that will never
// finish, and may go.
bool IsAbandoned(const fs::path& path)
{
#ifdef _WIN32
    (void)path;
    return true; // a file still being written cannot be removed
#else
    // A writer locks its file in the call right after creating it; only a
    // clean-up that falls between the two could take a live file, and the
    // save it belongs to would then fail and say so.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return abandoned;
#endif
}

// Flushes a file that another writer has written and closed to the disk.
bool SyncFile(const fs::path& path)
{
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb+");
    if (!file)
        return false;
    bool ok = _commit(_fileno(file)) == 0;
#else
    std::FILE* file = std::fopen(path.c_str(), "rb+");
    if (!file)
        return false;
    bool ok = ::fsync(fileno(file)) == 0;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

void SyncFolder(const fs::path& target)
{
#ifndef _WIN32
    // Makes the renames themselves durable.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#else
    (void)target;
#endif
}

} // namespace

void CFileUtil::RemoveLeftovers(const std::string& path)
{
    if (path.empty())
        return;
    const fs::path target = ToPath(path);
    const std::string name = FromPath(target.filename());
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (CTemporaryFile::IsTemporaryName(FromPath(it->path().filename()), name) && it->is_regular_file(ec))
            found.push_back(it->path());
    }
    for (const fs::path& leftover : found) {
        if (IsAbandoned(leftover))
            fs::remove(leftover, ec);
    }
}

std::size_t CFileUtil::ReplaceFiles(const std::vector<FileBytes>& files)
{
    std::vector<std::unique_ptr<CTemporaryFile>> temporaries;
    for (const FileBytes& file : files) {
        const fs::path target = ToPath(file.path);
        std::error_code ec;
        if (file.path.empty() || fs::is_directory(target, ec))
            return 0;
        RemoveLeftovers(file.path);
        temporaries.push_back(std::make_unique<CTemporaryFile>(target));
        if (!(file.produce ? temporaries.back()->Write(file.produce) : temporaries.back()->Write(file.bytes)))
            return 0;
    }
#ifndef _WIN32
    // The files being replaced are held open across the renames, so that
    // freeing their space does not happen between one rename and the next.
    std::vector<int> old;
    for (const FileBytes& file : files)
        old.push_back(::open(ToPath(file.path).c_str(), O_RDONLY | O_CLOEXEC));
#endif
    std::size_t replaced = 0;
    while (replaced < temporaries.size() && temporaries[replaced]->Rename())
        ++replaced;
#ifndef _WIN32
    for (const int fd : old)
        if (fd >= 0)
            ::close(fd);
#endif
    for (std::size_t i = 0; i < replaced; ++i)
        SyncFolder(ToPath(files[i].path));
    return replaced;
}

bool CFileUtil::WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    return ReplaceFiles({{path, bytes}}) == 1;
}

bool CFileUtil::WriteFileThrough(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    const fs::path target = ToPath(path);
    std::error_code ec;
    if (path.empty() || fs::is_directory(target, ec))
        return false;
    RemoveLeftovers(path);
    CTemporaryFile temporary(target);
    if (!temporary.Write(std::string_view()) || !write(FromPath(temporary.GetPath())) || !SyncFile(temporary.GetPath())
        || !temporary.Rename())
        return false;
    SyncFolder(target);
    return true;
}

bool CFileUtil::CopyFileReplacing(const std::string& from, const std::string& to)
{
    const fs::path target = ToPath(to);
    std::error_code ec;
    if (to.empty() || fs::is_directory(target, ec) || !FileExists(from))
        return false;
    RemoveLeftovers(to);
    CTemporaryFile temporary(target);
    if (!temporary.CopyFrom(ToPath(from)) || !temporary.Rename())
        return false;
    SyncFolder(target);
    return true;
}
