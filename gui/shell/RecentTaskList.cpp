#include "gui/shell/RecentTaskList.h"

#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"

#include <algorithm>

namespace {
const char* const kSection = "Recently Tasks";
}

CRecentTaskList::CRecentTaskList(const std::string& settingsPath, int capacity)
{
    bind(settingsPath, capacity);
}

void CRecentTaskList::bind(const std::string& settingsPath, int capacity)
{
    m_settingsPath = settingsPath;
    m_capacity = std::max(1, capacity);
}

void CRecentTaskList::read()
{
    m_paths.clear();
    if (m_settingsPath.empty())
        return;
    CIniFile ini(m_settingsPath);
    ini.Load();
    read(ini);
}

void CRecentTaskList::read(const CIniFile& settings)
{
    m_paths.clear();
    for (int i = 1; i <= m_capacity; ++i) {
        const std::string value = settings.GetString(kSection, std::to_string(i), "");
        if (value.empty())
            break;
        m_paths.push_back(value);
    }
}

void CRecentTaskList::add(const std::string& path)
{
    std::erase_if(m_paths, [&](const std::string& entry) { return CFileUtil::SamePath(entry, path); });
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > static_cast<std::size_t>(m_capacity))
        m_paths.resize(static_cast<std::size_t>(m_capacity));
    write();
}

void CRecentTaskList::write() const
{
    if (m_settingsPath.empty())
        return;
    CIniFile ini(m_settingsPath);
    ini.Load();
    int key = 1;
    for (const std::string& entry : m_paths)
        ini.SetString(kSection, std::to_string(key++), entry);
    ini.SetString(kSection, std::to_string(key), "");
    ini.Save();
}
