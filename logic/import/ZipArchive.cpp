#include "logic/import/ZipArchive.h"

#include <zip.h>

namespace {

std::string Megabytes(std::uint64_t bytes)
{
    return std::to_string(bytes >> 20) + " MB";
}

std::string ReadFailure(const std::string& name, int code)
{
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
        return "工作簿的内容已加密（" + name + "），无法读取。";
    if (code == ZIP_ER_COMPNOTSUPP)
        return "工作簿使用了不支持的压缩方式（" + name + "）。";
    return "文件已损坏：工作簿的组成部分 " + name + " 无法解压或校验失败。";
}

} // namespace

CZipArchive::CMember::CMember(zip_file* file, std::string name, std::uint64_t limit)
    : m_file(file), m_name(std::move(name)), m_limit(limit)
{
}

CZipArchive::CMember::~CMember()
{
    zip_fclose(m_file);
}

long long CZipArchive::CMember::Read(char* buffer, std::size_t size)
{
    if (!m_error.empty())
        return -1;
    const zip_int64_t count = zip_fread(m_file, buffer, size);
    if (count < 0) {
        m_error = ReadFailure(m_name, zip_error_code_zip(zip_file_get_error(m_file)));
        return -1;
    }
    m_read += static_cast<std::uint64_t>(count);
    if (m_read > m_limit) {
        m_error =
            "工作簿的组成部分 " + m_name + " 解压后超过 " + Megabytes(m_limit) + "，可能已损坏或是恶意构造的文件。";
        return -1;
    }
    return count;
}

CZipArchive::~CZipArchive()
{
    if (m_archive)
        zip_discard(m_archive);
}

bool CZipArchive::Open(const std::string& path, std::string& error)
{
    int code = 0;
    m_archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (m_archive)
        return true;
    if (code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT)
        error = "无法读取文件。";
    else if (code == ZIP_ER_MEMORY)
        error = "内存不足，无法读取文件。";
    else
        error = "文件不完整或已损坏（压缩包的目录无法读取）。";
    return false;
}

bool CZipArchive::Has(const std::string& name) const
{
    return m_archive && zip_name_locate(m_archive, name.c_str(), ZIP_FL_NOCASE) >= 0;
}

std::unique_ptr<CZipArchive::CMember> CZipArchive::OpenMember(const std::string& name, std::uint64_t limit,
                                                              std::string& error)
{
    const zip_int64_t index = m_archive ? zip_name_locate(m_archive, name.c_str(), ZIP_FL_NOCASE) : -1;
    if (index < 0) {
        error = "文件中缺少工作簿的组成部分 " + name + "，可能不是Excel工作簿，或已损坏。";
        return nullptr;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, static_cast<zip_uint64_t>(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)
        && stat.size > limit) {
        error = "工作簿的组成部分 " + name + " 解压后超过 " + Megabytes(limit) + "，可能已损坏或是恶意构造的文件。";
        return nullptr;
    }
    zip_file_t* file = zip_fopen_index(m_archive, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        error = ReadFailure(name, zip_error_code_zip(zip_get_error(m_archive)));
        return nullptr;
    }
    return std::unique_ptr<CMember>(new CMember(file, name, limit));
}

bool CZipArchive::ReadMember(const std::string& name, std::uint64_t limit, std::string& bytes, std::string& error)
{
    bytes.clear();
    std::unique_ptr<CMember> member = OpenMember(name, limit, error);
    if (!member)
        return false;
    char buffer[64 << 10];
    for (;;) {
        const long long count = member->Read(buffer, sizeof buffer);
        if (count < 0) {
            error = member->GetError();
            return false;
        }
        if (count == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}
