#pragma once

#include <string>

namespace telvora {

/// Keeps a second copy of the program from working on the same data directory: an
/// exclusive flock on a lock file in the runtime directory ($XDG_RUNTIME_DIR, else the data
/// directory), named after the data directory. The kernel drops the lock when the process
/// ends, so a lock file left by a crash does not block.
class CSingleInstance final
{
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    /// runtimeDirectory empty: $XDG_RUNTIME_DIR, or the data directory when that is unset.
    explicit CSingleInstance(std::string dataDirectory, std::string runtimeDirectory = {});
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    /// Takes the lock. AlreadyRunning when another holder (process or object) has it;
    /// Failed when the lock file cannot be made (see GetLastError).
    Result Acquire();
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

    const std::string& GetLockPath() const { return m_lockPath; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_lockPath;
    std::string m_lastError;
    int m_fd = -1;
};

} // namespace telvora
