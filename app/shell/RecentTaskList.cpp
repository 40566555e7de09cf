#include "RecentTaskList.h"

#include "FileUtil.h"
#include "IniFile.h"

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
    for (int i = 1; i <= m_capacity; ++i) {
        const std::string value = CIniFile::ReadString(m_settingsPath, kSection, std::to_string(i), "");
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
    int key = 1;
    for (const std::string& entry : m_paths)
        CIniFile::WriteString(m_settingsPath, kSection, std::to_string(key++), entry);
    CIniFile::WriteString(m_settingsPath, kSection, std::to_string(key), "");
}
