#include "app/SingleInstance.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace telvora {

namespace {

// FNV-1a: a stable short name for the data directory's path.
std::uint64_t hashPath(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

CSingleInstance::CSingleInstance(std::string dataDirectory, std::string runtimeDirectory)
{
    if (runtimeDirectory.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtimeDirectory = (runtime && *runtime) ? runtime : dataDirectory;
    }
    // The same directory reached through another spelling must give the same lock.
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(dataDirectory, error);
    const std::string key = error ? dataDirectory : canonical.string();
    char name[64];
    std::snprintf(name, sizeof name, "telvora-%016llx.lock", static_cast<unsigned long long>(hashPath(key)));
    m_lockPath = (std::filesystem::path(runtimeDirectory) / name).string();
}

CSingleInstance::~CSingleInstance()
{
    Release();
}

CSingleInstance::Result CSingleInstance::Acquire()
{
    if (m_fd >= 0) {
        return Result::Acquired;
    }
    const int fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_lastError = "无法创建锁文件 " + m_lockPath + "：" + std::strerror(errno);
        return Result::Failed;
    }
    // Each open file description locks on its own, so a second object of this process
    // is refused just as a second process is.
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int cause = errno;
        ::close(fd);
        if (cause == EWOULDBLOCK) {
            m_lastError = "系统已经登录";
            return Result::AlreadyRunning;
        }
        m_lastError = "无法锁定 " + m_lockPath + "：" + std::strerror(cause);
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

void CSingleInstance::Release()
{
    if (m_fd >= 0) {
        // The file stays: removing it would let a third process lock a new file while a
        // second still waits on the old one.
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace telvora
