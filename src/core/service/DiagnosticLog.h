#pragma once

#include <filesystem>
#include <mutex>
#include <string>

namespace telvora {

/// The diagnostic trace "syslog.txt" in the data directory. Nothing reads it; it is for
/// whoever investigates a field problem. Entries are appended as
/// "-----------YYYY-MM-DD HH:MM:SS\n" + message + "\n\n".
class CDiagnosticLog final
{
public:
    explicit CDiagnosticLog(const std::filesystem::path& dataDirectory);

    /// Appends one entry; dropped silently when the file cannot be opened or written.
    void Write(const std::string& message);

    const std::filesystem::path& path() const { return m_file; }

private:
    std::filesystem::path m_file;
    std::mutex m_mutex;
};

} // namespace telvora
