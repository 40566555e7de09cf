#pragma once

#include <string>
#include <vector>

class CIniFile;

// The most recently opened task files, most recent first, kept in section
// "Recently Tasks" of the settings file under the keys 1, 2, ...
class CRecentTaskList
{
public:
    static constexpr int kDefaultCapacity = 10;

    CRecentTaskList() = default;
    CRecentTaskList(const std::string& settingsPath, int capacity = kDefaultCapacity);

    void bind(const std::string& settingsPath, int capacity = kDefaultCapacity);

    // Reads keys 1 ... capacity and stops at the first empty or missing one,
    // from the settings file or from its loaded contents.
    void read();
    void read(const CIniFile& settings);
    // Puts path at the head (dropping any entry naming the same file), cuts
    // the list to its capacity and writes it.
    void add(const std::string& path);
    // Writes keys 1 ... n and an empty key n + 1.
    void write() const;

    const std::vector<std::string>& paths() const { return m_paths; }
    bool isEmpty() const { return m_paths.empty(); }
    int size() const { return static_cast<int>(m_paths.size()); }
    int capacity() const { return m_capacity; }

private:
    std::string m_settingsPath;
    int m_capacity = kDefaultCapacity;
    std::vector<std::string> m_paths;
};
