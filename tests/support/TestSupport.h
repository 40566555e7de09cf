#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <random>
#include <sstream>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder
{
public:
    TempFolder()
    {
        std::random_device rd;
        m_path =
            std::filesystem::temp_directory_path() / ("quillon_test_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder with a trailing separator.
    std::string Dir() const { return m_path.string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// GBK bytes of UTF-8 text, converted independently of the code under test.
inline std::string Gbk(const std::string& utf8)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    std::string out(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    EXPECT_NE(rc, static_cast<std::size_t>(-1)) << "test text must be GBK";
    out.resize(out.size() - outLeft);
    return out;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace testsupport
