#include "logic/import/CompoundFile.h"

#include "base/util/FileUtil.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMiniSector = 64;
constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
const char* kDamaged = "文件已损坏：工作簿的内部结构无法读取。";
const char* kOutOfMemory = "工作簿过大，内存不足，无法读取。";

std::uint32_t U32(const std::string& data, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t U16(const std::string& data, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at])
                                      | (static_cast<unsigned char>(data[at + 1]) << 8));
}

void PutU32(std::string& data, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU16(std::string& data, std::size_t at, std::uint16_t value)
{
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>(value >> 8);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool CCompoundFile::HasSignature(const std::string& head)
{
    return head.size() >= 8 && head.compare(0, 8, kSignature, 8) == 0;
}

bool CCompoundFile::Open(const std::string& path, std::string& error, std::uint64_t maxBytes)
{
    std::ifstream in(CFileUtil::ToPath(path), std::ios::binary | std::ios::ate);
    if (!in) {
        error = "无法读取文件。";
        return false;
    }
    const std::streamoff length = in.tellg();
    if (length < 0 || static_cast<std::uint64_t>(length) > maxBytes) {
        error = "文件超过 " + std::to_string(maxBytes >> 20) + " MB，无法导入。";
        return false;
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        error = kOutOfMemory;
        return false;
    }
    in.seekg(0);
    if (!in.read(bytes.data(), length)) {
        error = "无法读取文件。";
        return false;
    }
    return OpenBytes(std::move(bytes), error);
}

bool CCompoundFile::OpenBytes(std::string bytes, std::string& error)
{
    m_file = std::move(bytes);
    try {
        if (Load())
            return true;
        error = kDamaged;
    } catch (const std::bad_alloc&) {
        error = kOutOfMemory;
    }
    m_entries.clear();
    m_fat.clear();
    m_miniFat.clear();
    m_miniStream.clear();
    return false;
}

bool CCompoundFile::Load()
{
    if (m_file.size() < 512 || !HasSignature(m_file))
        return false;

    const std::uint16_t shift = U16(m_file, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    m_sectorSize = 1u << shift;
    m_miniCutoff = U32(m_file, 0x38);
    const std::size_t sectorCount = (m_file.size() + m_sectorSize - 1) / m_sectorSize; // a bound, header included
    const std::size_t perSector = m_sectorSize / 4;

    // The sectors of the allocation table: 109 in the header, the rest in a
    // chain of extension sectors.
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t i = 0; i < 109; ++i) {
        const std::uint32_t sector = U32(m_file, 0x4C + 4 * i);
        if (sector < kFatSector)
            fatSectors.push_back(sector);
    }
    std::uint32_t extension = U32(m_file, 0x44);
    std::vector<bool> visited(sectorCount, false);
    while (extension < kFatSector) {
        const std::uint64_t at = (static_cast<std::uint64_t>(extension) + 1) * m_sectorSize;
        if (at + m_sectorSize > m_file.size() || visited[extension])
            return false; // past the end, or a loop
        visited[extension] = true;
        for (std::size_t i = 0; i + 1 < perSector; ++i) {
            const std::uint32_t sector = U32(m_file, static_cast<std::size_t>(at) + 4 * i);
            if (sector < kFatSector)
                fatSectors.push_back(sector);
        }
        extension = U32(m_file, static_cast<std::size_t>(at) + 4 * (perSector - 1));
    }
    if (fatSectors.empty() || fatSectors.size() > sectorCount)
        return false;
    m_fat.clear();
    for (std::uint32_t sector : fatSectors) {
        const std::uint64_t at = (static_cast<std::uint64_t>(sector) + 1) * m_sectorSize;
        if (at + m_sectorSize > m_file.size())
            return false;
        for (std::size_t i = 0; i < perSector; ++i)
            m_fat.push_back(U32(m_file, static_cast<std::size_t>(at) + 4 * i));
    }

    // The directory.
    std::string directory;
    if (!ReadRegular(U32(m_file, 0x30), UINT64_MAX, directory) || directory.size() < 128)
        return false;
    m_entries.clear();
    for (std::size_t at = 0; at + 128 <= directory.size(); at += 128) {
        Entry entry;
        const std::size_t nameBytes = std::min<std::size_t>(U16(directory, at + 0x40), 64);
        for (std::size_t i = 0; i + 1 < nameBytes; i += 2) {
            const std::uint16_t unit = U16(directory, at + i);
            if (unit == 0)
                break;
            entry.name += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
        entry.type = static_cast<unsigned char>(directory[at + 0x42]);
        entry.left = U32(directory, at + 0x44);
        entry.right = U32(directory, at + 0x48);
        entry.child = U32(directory, at + 0x4C);
        entry.start = U32(directory, at + 0x74);
        entry.size = U32(directory, at + 0x78);
        if (m_sectorSize == 4096)
            entry.size |= static_cast<std::uint64_t>(U32(directory, at + 0x7C)) << 32;
        m_entries.push_back(entry);
    }
    if (m_entries.empty() || m_entries[0].type != 5)
        return false;

    // The mini stream and its allocation table, needed for small streams.
    m_miniFat.clear();
    m_miniStream.clear();
    const std::uint32_t miniFatStart = U32(m_file, 0x3C);
    if (miniFatStart < kFatSector) {
        std::string table;
        if (!ReadRegular(miniFatStart, UINT64_MAX, table))
            return false;
        for (std::size_t at = 0; at + 4 <= table.size(); at += 4)
            m_miniFat.push_back(U32(table, at));
        if (m_entries[0].start < kFatSector && !ReadRegular(m_entries[0].start, m_entries[0].size, m_miniStream))
            return false;
    }
    return true;
}

bool CCompoundFile::Chain(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t limit,
                          std::vector<std::uint32_t>& sectors) const
{
    sectors.clear();
    // Stops after limit sectors. A sector outside the table, or one met a
    // second time (a loop, which would repeat the same bytes without end),
    // means the file is damaged.
    std::vector<bool> visited(table.size(), false);
    for (std::uint32_t sector = start; sector != kEndOfChain && sectors.size() < limit; sector = table[sector]) {
        if (sector >= table.size() || visited[sector])
            return false;
        visited[sector] = true;
        sectors.push_back(sector);
    }
    return true;
}

bool CCompoundFile::ReadRegular(std::uint32_t start, std::uint64_t size, std::string& bytes) const
{
    bytes.clear();
    std::vector<std::uint32_t> sectors;
    const std::uint64_t needed = size == UINT64_MAX ? m_fat.size() : (size + m_sectorSize - 1) / m_sectorSize;
    if (!Chain(start, m_fat, static_cast<std::size_t>(std::min<std::uint64_t>(needed, m_fat.size())), sectors))
        return false;
    for (std::uint32_t sector : sectors) {
        const std::uint64_t at = (static_cast<std::uint64_t>(sector) + 1) * m_sectorSize;
        if (at + m_sectorSize > m_file.size()) {
            // The last sector of a file may be cut short.
            if (at >= m_file.size())
                return false;
            bytes.append(m_file, static_cast<std::size_t>(at), m_file.size() - static_cast<std::size_t>(at));
        } else {
            bytes.append(m_file, static_cast<std::size_t>(at), m_sectorSize);
        }
    }
    if (size != UINT64_MAX) {
        if (bytes.size() < size)
            return false;
        bytes.resize(static_cast<std::size_t>(size));
    }
    return true;
}

const CCompoundFile::Entry* CCompoundFile::FindTopLevel(const std::string& name) const
{
    // The children of the root form a tree linked through left and right.
    std::vector<std::uint32_t> pending{m_entries[0].child};
    std::vector<bool> seen(m_entries.size(), false);
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index == kNoStream || index >= m_entries.size() || seen[index])
            continue;
        seen[index] = true;
        const Entry& entry = m_entries[index];
        if (entry.type == 2 && SameName(entry.name, name))
            return &entry;
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return nullptr;
}

bool CCompoundFile::HasStream(const std::string& name) const
{
    return !m_entries.empty() && FindTopLevel(name) != nullptr;
}

bool CCompoundFile::ReadStream(const std::string& name, std::string& bytes, std::string& error) const
{
    try {
        return ReadStreamBytes(name, bytes, error);
    } catch (const std::bad_alloc&) {
        std::string().swap(bytes);
        error = kOutOfMemory;
        return false;
    }
}

bool CCompoundFile::ReadStreamBytes(const std::string& name, std::string& bytes, std::string& error) const
{
    const Entry* entry = m_entries.empty() ? nullptr : FindTopLevel(name);
    if (!entry) {
        error = "文件中没有工作簿数据，不是Excel工作簿。";
        return false;
    }
    if (entry->size > m_file.size()) {
        error = kDamaged;
        return false;
    }
    if (entry->size >= m_miniCutoff) {
        if (!ReadRegular(entry->start, entry->size, bytes)) {
            error = kDamaged;
            return false;
        }
        return true;
    }
    // A small stream lives in 64-byte sectors of the mini stream.
    bytes.clear();
    std::vector<std::uint32_t> sectors;
    if (!Chain(entry->start, m_miniFat, static_cast<std::size_t>(entry->size / kMiniSector + 1), sectors)) {
        error = kDamaged;
        return false;
    }
    for (std::uint32_t sector : sectors) {
        const std::uint64_t at = static_cast<std::uint64_t>(sector) * kMiniSector;
        if (at + kMiniSector > m_miniStream.size()) {
            error = kDamaged;
            return false;
        }
        bytes.append(m_miniStream, static_cast<std::size_t>(at), kMiniSector);
    }
    if (bytes.size() < entry->size) {
        error = kDamaged;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(entry->size));
    return true;
}

bool CCompoundFile::WriteSingleStream(const std::string& path, const std::string& name, const std::string& bytes)
{
    // Version 4 with 4096-byte sectors: the header's 109 table sectors then
    // reach about 450 MB, and a stream of at least the cut-off size is kept
    // in regular sectors.
    constexpr std::size_t kSector = 4096;
    constexpr std::size_t kPerFatSector = kSector / 4;
    std::string stream = bytes;
    if (stream.size() < kSector)
        stream.resize(kSector, '\0');
    const std::size_t streamSectors = (stream.size() + kSector - 1) / kSector;
    std::size_t fatSectors = 1;
    while (fatSectors * kPerFatSector < fatSectors + 1 + streamSectors)
        ++fatSectors;
    if (fatSectors > 109 || name.size() > 31)
        return false;
    const std::size_t total = fatSectors + 1 + streamSectors;
    const std::uint32_t directorySector = static_cast<std::uint32_t>(fatSectors);
    const std::uint32_t firstStreamSector = directorySector + 1;

    std::string file((total + 1) * kSector, '\0');
    // Header.
    file.replace(0, 8, kSignature, 8);
    PutU16(file, 0x18, 0x003E);
    PutU16(file, 0x1A, 4);
    PutU16(file, 0x1C, 0xFFFE);
    PutU16(file, 0x1E, 12);
    PutU16(file, 0x20, 6);
    PutU32(file, 0x28, 1);
    PutU32(file, 0x2C, static_cast<std::uint32_t>(fatSectors));
    PutU32(file, 0x30, directorySector);
    PutU32(file, 0x38, 4096);
    PutU32(file, 0x3C, kEndOfChain);
    PutU32(file, 0x44, kEndOfChain);
    for (std::size_t i = 0; i < 109; ++i)
        PutU32(file, 0x4C + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(i) : kFreeSector);

    // Allocation table.
    auto fat = [&](std::size_t sector, std::uint32_t value) { PutU32(file, kSector + 4 * sector, value); };
    for (std::size_t i = 0; i < fatSectors * kPerFatSector; ++i)
        fat(i, kFreeSector);
    for (std::size_t i = 0; i < fatSectors; ++i)
        fat(i, kFatSector);
    fat(directorySector, kEndOfChain);
    for (std::size_t i = 0; i < streamSectors; ++i)
        fat(firstStreamSector + i,
            i + 1 < streamSectors ? static_cast<std::uint32_t>(firstStreamSector + i + 1) : kEndOfChain);

    // Directory: the root and the stream; the other slots unused.
    const std::size_t dir = (directorySector + 1) * kSector;
    auto entry = [&](std::size_t slot, const std::string& entryName, int type, std::uint32_t child, std::uint32_t start,
                     std::uint64_t size) {
        const std::size_t at = dir + slot * 128;
        for (std::size_t i = 0; i < entryName.size(); ++i)
            PutU16(file, at + 2 * i, static_cast<unsigned char>(entryName[i]));
        PutU16(file, at + 0x40, static_cast<std::uint16_t>(2 * (entryName.size() + 1)));
        file[at + 0x42] = static_cast<char>(type);
        file[at + 0x43] = 1; // black
        PutU32(file, at + 0x44, kNoStream);
        PutU32(file, at + 0x48, kNoStream);
        PutU32(file, at + 0x4C, child);
        PutU32(file, at + 0x74, start);
        PutU32(file, at + 0x78, static_cast<std::uint32_t>(size & 0xFFFFFFFF));
        PutU32(file, at + 0x7C, static_cast<std::uint32_t>(size >> 32));
    };
    for (std::size_t slot = 2; slot < kSector / 128; ++slot) {
        PutU32(file, dir + slot * 128 + 0x44, kNoStream);
        PutU32(file, dir + slot * 128 + 0x48, kNoStream);
        PutU32(file, dir + slot * 128 + 0x4C, kNoStream);
    }
    entry(0, "Root Entry", 5, 1, kEndOfChain, 0);
    entry(1, name, 2, kNoStream, firstStreamSector, stream.size());

    file.replace((firstStreamSector + 1) * kSector, stream.size(), stream);
    std::ofstream out(CFileUtil::ToPath(path), std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out.flush());
}
