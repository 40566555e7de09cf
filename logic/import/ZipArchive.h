#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct zip;
struct zip_file;

// Read access to the members of a zip archive (an .xlsx workbook), with a
// bound on how many bytes a member may inflate to, so that a small file
// cannot expand without end. Reasons for failures are plain Chinese.
class CZipArchive
{
public:
    // One member being inflated.
    class CMember
    {
    public:
        ~CMember();
        CMember(const CMember&) = delete;
        CMember& operator=(const CMember&) = delete;

        // Reads at most size bytes; the count, 0 at the end, -1 on a failure
        // (see GetError).
        long long Read(char* buffer, std::size_t size);
        const std::string& GetError() const { return m_error; }

    private:
        friend class CZipArchive;
        CMember(zip_file* file, std::string name, std::uint64_t limit);

        zip_file* m_file;
        std::string m_name;
        std::uint64_t m_limit;
        std::uint64_t m_read = 0;
        std::string m_error;
    };

    CZipArchive() = default;
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    bool Open(const std::string& path, std::string& error);
    // Member names compare without regard to letter case.
    bool Has(const std::string& name) const;
    // Opens a member that may inflate to at most limit bytes.
    std::unique_ptr<CMember> OpenMember(const std::string& name, std::uint64_t limit, std::string& error);
    // Reads a whole member of at most limit bytes.
    bool ReadMember(const std::string& name, std::uint64_t limit, std::string& bytes, std::string& error);

private:
    zip* m_archive = nullptr;
};
