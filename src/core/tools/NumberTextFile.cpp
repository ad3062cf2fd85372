#include "tools/NumberTextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace telvora {

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool AppendNumberLines(const std::string& path, const std::vector<std::string_view>& lines)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    // Written in large pieces: a million lines one by one would cost more than the work.
    constexpr std::size_t kPiece = 1 << 20;
    std::string buffer;
    buffer.reserve(kPiece + 256);
    bool ok = true;
    for (const std::string_view line : lines) {
        buffer.append(line);
        buffer.push_back('\n');
        if (buffer.size() >= kPiece) {
            ok = ok && writeAll(fd, buffer);
            buffer.clear();
        }
    }
    ok = ok && writeAll(fd, buffer);
    return ::close(fd) == 0 && ok;
}

} // namespace telvora
