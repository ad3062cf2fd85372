#include "db/DatabaseFile.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace telvora {

namespace {

constexpr std::size_t kHeaderSize = 100;

unsigned readBigEndian(const unsigned char* bytes, int count)
{
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

bool readHeader(const std::string& path, unsigned char (&header)[kHeaderSize])
{
    std::ifstream in(path, std::ios::binary);
    return in && in.read(reinterpret_cast<char*>(header), kHeaderSize);
}

} // namespace

bool CheckDatabaseFileHeader(const std::string& path, std::string& why)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    unsigned char header[kHeaderSize] = {};
    if (error || size < kHeaderSize || !readHeader(path, header)) {
        why = "文件太短，不是数据库：" + path;
        return false;
    }
    if (std::string(reinterpret_cast<const char*>(header), 16) != std::string("SQLite format 3\0", 16)) {
        why = "文件不是数据库：" + path;
        return false;
    }
    unsigned pageSize = readBigEndian(header + 16, 2);
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || size % pageSize != 0) {
        why = "数据库文件已损坏（长度不对）：" + path;
        return false;
    }
    // The page count in the header is trustworthy only while its version stamp matches
    // the change counter; a file shorter than that count has lost its tail.
    const unsigned changeCounter = readBigEndian(header + 24, 4);
    const unsigned pageCount = readBigEndian(header + 28, 4);
    const unsigned validFor = readBigEndian(header + 92, 4);
    if (validFor == changeCounter && pageCount != 0 && static_cast<unsigned long long>(pageCount) * pageSize > size) {
        why = "数据库文件已损坏（被截断）：" + path;
        return false;
    }
    return true;
}

void RemoveJournalFiles(const std::string& path)
{
    std::error_code ignored;
    fs::remove(path + "-wal", ignored);
    fs::remove(path + "-shm", ignored);
}

} // namespace telvora
