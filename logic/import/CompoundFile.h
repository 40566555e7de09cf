#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A compound file (the container of legacy workbooks and of encrypted
// workbooks): reads the streams at its top level, from the regular sectors
// or from the mini stream, and checks every chain it follows so that a
// damaged file cannot send the reader astray.
class CCompoundFile
{
public:
    static bool HasSignature(const std::string& head);

    // Reads the whole file (at most maxBytes) and its directory.
    bool Open(const std::string& path, std::string& error, std::uint64_t maxBytes = 512ull << 20);
    // The same for a file already in memory.
    bool OpenBytes(std::string bytes, std::string& error);
    // Whether a stream of that name (compared without regard to case)
    // stands at the top level.
    bool HasStream(const std::string& name) const;
    bool ReadStream(const std::string& name, std::string& bytes, std::string& error) const;

    // Writes a compound file that holds one stream, in regular sectors.
    static bool WriteSingleStream(const std::string& path, const std::string& name, const std::string& bytes);

private:
    struct Entry
    {
        std::string name; // ASCII part of the name
        int type = 0;     // 1 storage, 2 stream, 5 root
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    bool Load();
    bool ReadStreamBytes(const std::string& name, std::string& bytes, std::string& error) const;
    bool Chain(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t limit,
               std::vector<std::uint32_t>& sectors) const;
    bool ReadRegular(std::uint32_t start, std::uint64_t size, std::string& bytes) const;
    const Entry* FindTopLevel(const std::string& name) const;

    std::string m_file;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_miniCutoff = 4096;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<Entry> m_entries;
    std::string m_miniStream;
};
