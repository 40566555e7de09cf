#include "base/task/TaskLock.h"

#include "base/util/FileUtil.h"
#include "base/util/LocalTime.h"
#include "base/util/NumberText.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <sstream>
#include <utility>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <csignal>
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr char kLockFileName[] = "quillon.lock";
// A lock file that is still empty or unreadable after this long was left
// by a program that died while making it.
constexpr long long kUnreadableStaleSeconds = 10;

long long CurrentProcess()
{
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

std::string UserName()
{
#ifndef _WIN32
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return entry->pw_name;
    const char* name = std::getenv("USER");
#else
    const char* name = std::getenv("USERNAME");
#endif
    return name ? name : "";
}

std::string HostName()
{
#ifdef _WIN32
    const char* name = std::getenv("COMPUTERNAME");
    return name ? name : "";
#else
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
#endif
}

int SignalProcess(long long pid)
{
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED ? EPERM : ESRCH;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running ? 0 : ESRCH;
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 ? 0 : errno;
#endif
}

std::string LocalTime(std::time_t when)
{
    const std::tm local = CLocalTime::Of(when);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string Content(const CTaskLock::Holder& holder)
{
    std::ostringstream out;
    out << "user=" << holder.user << "\nhost=" << holder.host << "\npid=" << holder.pid
        << "\nprogram=" << holder.program << "\ntime=" << holder.time << "\nsince=" << holder.since << "\n";
    return out.str();
}

// The holder a lock file names; nothing when it names none.
std::optional<CTaskLock::Holder> Parse(const std::string& bytes)
{
    CTaskLock::Holder holder;
    bool hasPid = false;
    bool hasSince = false;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "user")
            holder.user = value;
        else if (key == "host")
            holder.host = value;
        else if (key == "program")
            holder.program = value;
        else if (key == "time")
            holder.time = value;
        else if (key == "pid")
            hasPid = (holder.pid = CNumberText::LeadingInteger(value)) > 0;
        else if (key == "since")
            hasSince = (holder.since = CNumberText::LeadingInteger(value)) > 0;
    }
    if (!hasPid || !hasSince)
        return std::nullopt;
    return holder;
}

// Creates the file only when nothing lies at path yet. False with errno
// EEXIST when something does.
bool CreateExclusive(const std::string& path, const std::string& bytes)
{
#ifdef _WIN32
    std::FILE* file = _wfopen(CFileUtil::ToPath(path).c_str(), L"wbx");
#else
    std::FILE* file = std::fopen(CFileUtil::ToPath(path).c_str(), "wbx");
#endif
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::error_code ignored;
        fs::remove(CFileUtil::ToPath(path), ignored);
        errno = EIO;
    }
    return ok;
}

} // namespace

CTaskLock::CTaskLock(std::string taskFolder) : m_path(LockFilePath(taskFolder)) {}

CTaskLock::~CTaskLock()
{
    Release();
}

std::string CTaskLock::LockFilePath(const std::string& taskFolder)
{
    return CFileUtil::WithSeparator(taskFolder.empty() ? std::string(".") : taskFolder) + kLockFileName;
}

void CTaskLock::SetProcessProbe(ProcessProbe probe)
{
    m_probe = std::move(probe);
}

bool CTaskLock::HolderRunning(long long pid) const
{
    if (pid <= 0)
        return false;
    const int error = m_probe ? m_probe(pid) : SignalProcess(pid);
    // A process we may not signal belongs to another user, and it runs.
    return error == 0 || error == EPERM;
}

CTaskLock::State CTaskLock::Inspect(Holder& holder, std::string& bytes) const
{
    const std::optional<std::string> read = CFileUtil::ReadFile(m_path);
    if (!read) {
        std::error_code ec;
        return fs::exists(CFileUtil::ToPath(m_path), ec) ? State::Held : State::Free;
    }
    bytes = *read;
    const long long now = static_cast<long long>(std::time(nullptr));
    const std::optional<Holder> found = Parse(bytes);
    if (!found) {
        holder = Holder{};
        std::error_code ec;
        const auto written = fs::last_write_time(CFileUtil::ToPath(m_path), ec);
        const auto age = std::chrono::duration_cast<std::chrono::seconds>(fs::file_time_type::clock::now() - written);
        return !ec && age.count() > kUnreadableStaleSeconds ? State::Stale : State::Held;
    }
    holder = *found;
    if (holder.host == HostName() && holder.pid != CurrentProcess() && !HolderRunning(holder.pid))
        return State::Stale;
    if (now - holder.since > static_cast<long long>(kStaleHours) * 3600)
        return State::Stale;
    return State::Held;
}

CTaskLock::Result CTaskLock::Acquire(const std::string& program)
{
    if (m_held)
        return Result::Acquired;
    Holder self;
    self.user = UserName();
    self.host = HostName();
    self.pid = CurrentProcess();
    self.program = program;
    const std::time_t now = std::time(nullptr);
    self.time = LocalTime(now);
    self.since = static_cast<long long>(now);
    const std::string content = Content(self);

    for (int attempt = 0; attempt < 4; ++attempt) {
        if (CreateExclusive(m_path, content)) {
            m_content = content;
            m_held = true;
            return Result::Acquired;
        }
        if (errno != EEXIST)
            return Result::Failed;
        Holder holder;
        std::string bytes;
        switch (Inspect(holder, bytes)) {
        case State::Free: continue; // released meanwhile
        case State::Held: m_holder = holder; return Result::HeldByOther;
        case State::Stale: break;
        }
        // Moved aside first, so that of two programs taking over the same
        // stale lock only one removes it; a lock that changed meanwhile is
        // put back.
        const std::string aside = m_path + ".stale" + std::to_string(self.pid);
        std::error_code ec;
        fs::rename(CFileUtil::ToPath(m_path), CFileUtil::ToPath(aside), ec);
        if (ec)
            continue;
        if (CFileUtil::ReadFile(aside) != bytes) {
            if (!fs::exists(CFileUtil::ToPath(m_path), ec))
                fs::rename(CFileUtil::ToPath(aside), CFileUtil::ToPath(m_path), ec);
            fs::remove(CFileUtil::ToPath(aside), ec);
            continue;
        }
        fs::remove(CFileUtil::ToPath(aside), ec);
    }
    Holder holder;
    std::string bytes;
    Inspect(holder, bytes);
    m_holder = holder;
    return Result::HeldByOther;
}

bool CTaskLock::IsHeldByOther(Holder* holder) const
{
    if (m_held)
        return false;
    Holder found;
    std::string bytes;
    const bool held = Inspect(found, bytes) == State::Held;
    if (held && holder)
        *holder = found;
    return held;
}

bool CTaskLock::Refresh()
{
    if (!m_held)
        return false;
    if (CFileUtil::ReadFile(m_path) != m_content) {
        m_held = false;
        return false;
    }
    std::optional<Holder> self = Parse(m_content);
    const std::time_t now = std::time(nullptr);
    self->time = LocalTime(now);
    self->since = static_cast<long long>(now);
    const std::string content = Content(*self);
    if (!CFileUtil::WriteFileAtomically(m_path, content))
        return false;
    m_content = content;
    return true;
}

void CTaskLock::Release()
{
    if (!m_held)
        return;
    m_held = false;
    if (CFileUtil::ReadFile(m_path) == m_content) {
        std::error_code ignored;
        fs::remove(CFileUtil::ToPath(m_path), ignored);
    }
}
