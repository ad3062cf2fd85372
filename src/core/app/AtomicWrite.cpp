#include "app/AtomicWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace telvora {

namespace {

std::string describe(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error)
{
    std::vector<char> pattern(path.begin(), path.end());
    const std::string suffix = ".XXXXXX";
    pattern.insert(pattern.end(), suffix.begin(), suffix.end());
    pattern.push_back('\0');

    // mkstemp creates the file 0600, so user data is never readable by others, not even
    // for the moment before the rename.
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = describe("无法创建文件", path);
        return false;
    }
    const std::string temporary(pattern.data());

    const char* data = content.data();
    std::size_t left = content.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (ok && ::fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
    }
    if (!ok) {
        error = describe("无法写入文件", path);
    }
    if (::close(fd) != 0 && ok) {
        error = describe("无法写入文件", path);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = describe("无法替换文件", path);
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return !in.bad();
}

} // namespace telvora
