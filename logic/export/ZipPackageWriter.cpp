#include "logic/export/ZipPackageWriter.h"

#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <system_error>

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint16_t kVersion = 20; // 2.0: deflate
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint64_t kMaxSize = 0xFFFFFFFEu;
constexpr std::size_t kMaxEntries = 0xFFFF;
constexpr std::size_t kPieceSize = 1 << 18;
constexpr std::size_t kDictionarySize = 1 << 15; // deflate's window
constexpr std::size_t kThreads = 2;

void Put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

CZipPackageWriter::CZipPackageWriter(int level) : m_level(level < 1 ? 1 : level > 9 ? 9 : level)
{
}

CZipPackageWriter::~CZipPackageWriter()
{
    // Pieces still being deflated finish before their text goes.
    for (std::future<Piece>& piece : m_deflating)
        if (piece.valid())
            piece.wait();
}

bool CZipPackageWriter::Fail()
{
    m_failed = true;
    return false;
}

bool CZipPackageWriter::Open(const std::string& path)
{
    m_file.reset(std::fopen(path.c_str(), "wb"));
    if (!m_file)
        return Fail();
    std::setvbuf(m_file.get(), nullptr, _IOFBF, 1 << 18);
    // The parts carry the time they were written, as the file does.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) && local.tm_year >= 80) {
        m_time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
        m_date = static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    } else {
        m_date = (1 << 5) | 1; // 1980-01-01
    }
    return true;
}

bool CZipPackageWriter::Put(const void* bytes, std::size_t size)
{
    if (m_failed || !m_file)
        return false;
    if (size > 0 && std::fwrite(bytes, 1, size, m_file.get()) != size)
        return Fail();
    m_written += size;
    return true;
}

bool CZipPackageWriter::BeginPart(const std::string& name)
{
    if (m_failed || !m_file || m_inPart || name.empty() || name.size() > 0xFFFF || m_entries.size() >= kMaxEntries)
        return Fail();
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80 || c == '\\')
            return Fail();
    Entry entry;
    entry.name = name;
    entry.offset = m_written;
    entry.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    if (entry.offset > kMaxSize)
        return Fail();
    // Checksum and sizes are filled in when the part ends.
    std::string header;
    Put32(header, kLocalHeader);
    Put16(header, kVersion);
    Put16(header, 0); // flags
    Put16(header, kDeflated);
    Put16(header, m_time);
    Put16(header, m_date);
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 0);
    Put16(header, static_cast<std::uint32_t>(name.size()));
    Put16(header, 0); // extra field
    header += name;
    m_entries.push_back(std::move(entry));
    m_inPart = true;
    m_pending.clear();
    m_dictionary.clear();
    return Put(header.data(), header.size());
}

CZipPackageWriter::Piece CZipPackageWriter::Deflate(const std::string& input, const std::string& dictionary, int level,
                                                    bool last)
{
    Piece piece;
    piece.size = input.size();
    piece.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(input.data()), static_cast<uInt>(input.size())));
    z_stream stream{};
    // Raw deflate: the package's own headers stand in for zlib's.
    if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return piece;
    bool ok = dictionary.empty()
              || deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                                      static_cast<uInt>(dictionary.size()))
                     == Z_OK;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream.avail_in = static_cast<uInt>(input.size());
    // A piece that is not the last ends on a byte boundary without ending
    // the stream, so that the next piece's output simply follows it.
    piece.bytes.resize(deflateBound(&stream, static_cast<uLong>(input.size())) + 64);
    while (ok) {
        stream.next_out = piece.bytes.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(piece.bytes.size() - stream.total_out);
        const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        if (last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0)
            break;
        ok = (result == Z_OK || result == Z_BUF_ERROR) && stream.avail_out == 0;
        if (ok)
            piece.bytes.resize(piece.bytes.size() * 2);
    }
    piece.bytes.resize(stream.total_out);
    piece.ok = ok;
    deflateEnd(&stream);
    return piece;
}

bool CZipPackageWriter::WriteOldest()
{
    Piece piece = m_deflating.front().get();
    m_deflating.pop_front();
    Entry& entry = m_entries.back();
    if (!piece.ok)
        return Fail();
    entry.crc = static_cast<std::uint32_t>(crc32_combine(entry.crc, piece.crc, static_cast<z_off_t>(piece.size)));
    entry.compressed += piece.bytes.size();
    return Put(piece.bytes.data(), piece.bytes.size());
}

bool CZipPackageWriter::Submit(bool last)
{
    std::string input;
    input.swap(m_pending);
    std::string dictionary = m_dictionary;
    if (!last) {
        const std::size_t keep = std::min(input.size(), kDictionarySize);
        m_dictionary.assign(input, input.size() - keep, keep);
    }
    if (last) {
        // The last piece on this thread, after the others in their order.
        while (!m_deflating.empty())
            if (!WriteOldest())
                return false;
    } else if (m_deflating.size() >= kThreads && !WriteOldest()) {
        return false;
    }
    try {
        m_deflating.push_back(std::async(last ? std::launch::deferred : std::launch::async, &CZipPackageWriter::Deflate,
                                         std::move(input), std::move(dictionary), m_level, last));
    } catch (const std::system_error&) {
        // No thread to be had: deflate here.
        m_deflating.push_back(std::async(std::launch::deferred, &CZipPackageWriter::Deflate, std::move(input),
                                         std::move(dictionary), m_level, last));
    }
    return !last || WriteOldest();
}

bool CZipPackageWriter::Write(std::string_view bytes)
{
    if (m_failed || !m_inPart)
        return Fail();
    while (!bytes.empty()) {
        const std::size_t take = std::min(kPieceSize - m_pending.size(), bytes.size());
        m_pending.append(bytes.data(), take);
        bytes.remove_prefix(take);
        m_entries.back().size += take;
        if (m_entries.back().size > kMaxSize)
            return Fail();
        if (m_pending.size() == kPieceSize && !Submit(false))
            return false;
    }
    return true;
}

bool CZipPackageWriter::EndPart()
{
    if (m_failed || !m_inPart || !Submit(true))
        return Fail();
    m_inPart = false;
    Entry& entry = m_entries.back();
    if (entry.compressed > kMaxSize)
        return Fail();
    std::string sizes;
    Put32(sizes, entry.crc);
    Put32(sizes, static_cast<std::uint32_t>(entry.compressed));
    Put32(sizes, static_cast<std::uint32_t>(entry.size));
    std::FILE* file = m_file.get();
    // Back to the part's header for its checksum and sizes, then on.
    if (std::fseek(file, static_cast<long>(entry.offset + 14), SEEK_SET) != 0
        || std::fwrite(sizes.data(), 1, sizes.size(), file) != sizes.size()
        || std::fseek(file, 0, SEEK_END) != 0)
        return Fail();
    return true;
}

bool CZipPackageWriter::AddPart(const std::string& name, std::string_view bytes)
{
    return BeginPart(name) && Write(bytes) && EndPart();
}

bool CZipPackageWriter::Close()
{
    if (!m_file)
        return Fail();
    bool ok = !m_failed && !m_inPart;
    if (ok) {
        const std::uint64_t directoryStart = m_written;
        std::string directory;
        for (const Entry& entry : m_entries) {
            Put32(directory, kCentralHeader);
            Put16(directory, kVersion); // made by
            Put16(directory, kVersion); // needed
            Put16(directory, 0);
            Put16(directory, kDeflated);
            Put16(directory, m_time);
            Put16(directory, m_date);
            Put32(directory, entry.crc);
            Put32(directory, static_cast<std::uint32_t>(entry.compressed));
            Put32(directory, static_cast<std::uint32_t>(entry.size));
            Put16(directory, static_cast<std::uint32_t>(entry.name.size()));
            Put16(directory, 0); // extra field
            Put16(directory, 0); // comment
            Put16(directory, 0); // disk
            Put16(directory, 0); // internal attributes
            Put32(directory, 0); // external attributes
            Put32(directory, static_cast<std::uint32_t>(entry.offset));
            directory += entry.name;
        }
        const std::uint64_t directorySize = directory.size();
        ok = directoryStart + directorySize <= kMaxSize;
        Put32(directory, kEndOfDirectory);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, static_cast<std::uint32_t>(m_entries.size()));
        Put16(directory, static_cast<std::uint32_t>(m_entries.size()));
        Put32(directory, static_cast<std::uint32_t>(directorySize));
        Put32(directory, static_cast<std::uint32_t>(directoryStart));
        Put16(directory, 0); // comment
        ok = ok && Put(directory.data(), directory.size());
    }
    ok = std::fflush(m_file.get()) == 0 && ok;
    ok = std::fclose(m_file.release()) == 0 && ok;
    if (!ok)
        m_failed = true;
    return ok;
}
