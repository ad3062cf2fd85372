#include "tools/NumberTextFile.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace telvora {

bool AppendNumberLines(const std::string& path, const std::vector<std::string_view>& lines)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    std::FILE* file = ::fdopen(fd, "a");
    if (!file) {
        ::close(fd);
        return false;
    }
    for (const std::string_view line : lines) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
    }
    const bool failed = std::ferror(file) != 0;
    return std::fclose(file) == 0 && !failed;
}

} // namespace telvora
