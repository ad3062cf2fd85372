#include "service/DiagnosticLog.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace telvora {

CDiagnosticLog::CDiagnosticLog(const std::filesystem::path& dataDirectory)
    : m_file(dataDirectory / "syslog.txt")
{ }

void CDiagnosticLog::Write(const std::string& message)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "-----------%d-%.2d-%.2d %.2d:%.2d:%.2d\n", local.tm_year + 1900,
        local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);

    std::string entry = stamp;
    entry += message;
    entry += "\n\n";

    // One write per entry on an O_APPEND descriptor keeps entries whole even when the
    // send worker and the UI thread log at once.
    const std::lock_guard lock(m_mutex);
    const int fd = ::open(m_file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    const char* data = entry.data();
    std::size_t left = entry.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written <= 0) {
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    ::close(fd);
}

} // namespace telvora
