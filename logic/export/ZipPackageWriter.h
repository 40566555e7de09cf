#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Writes a zip package part by part, each part deflated as it streams in,
// so that a large sheet never stands whole in memory. A part is deflated in
// pieces of a quarter megabyte, two at a time on their own threads, each
// piece knowing the text before it, so that it compresses about as well as
// in one go; the file is written in order on the caller's thread. Parts have ASCII
// names; the package holds fewer than 65,535 parts of less than 4 GiB each
// (a larger one fails the package rather than be written truncated).
class CZipPackageWriter
{
public:
    // level: the deflate level, 1 (fastest) to 9 (smallest).
    explicit CZipPackageWriter(int level = 1);
    ~CZipPackageWriter();
    CZipPackageWriter(const CZipPackageWriter&) = delete;
    CZipPackageWriter& operator=(const CZipPackageWriter&) = delete;

    // Creates (or empties) the file.
    bool Open(const std::string& path);
    // Starts a part; Write then adds to it until EndPart.
    bool BeginPart(const std::string& name);
    bool Write(std::string_view bytes);
    bool EndPart();
    // A whole part at once.
    bool AddPart(const std::string& name, std::string_view bytes);
    // Writes the directory and closes the file; false when anything since
    // Open failed, and the file is then no package.
    bool Close();

private:
    struct Entry
    {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
    };
    // One piece of a part, deflated.
    struct Piece
    {
        std::vector<unsigned char> bytes;
        std::uint32_t crc = 0;
        std::size_t size = 0;
        bool ok = false;
    };
    static Piece Deflate(const std::string& input, const std::string& dictionary, int level, bool last);
    bool Put(const void* bytes, std::size_t size);
    // Hands the pending text on to be deflated; last ends the part.
    bool Submit(bool last);
    // Writes the oldest deflated piece.
    bool WriteOldest();
    bool Fail();

    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    int m_level;
    bool m_inPart = false;
    bool m_failed = false;
    std::uint64_t m_written = 0;
    std::uint16_t m_time = 0;
    std::uint16_t m_date = 0;
    std::vector<Entry> m_entries;
    std::string m_pending;    // text of the current part not yet handed on
    std::string m_dictionary; // the last 32 KiB handed on before it
    std::deque<std::future<Piece>> m_deflating;
};
