#pragma once

#include <string>

namespace telvora {

/// Start at logon: the XDG autostart entry telvora.desktop in $XDG_CONFIG_HOME/autostart
/// (~/.config/autostart by default). The entry exists exactly while the option is chosen.
class CAutoStart final
{
public:
    /// configHome empty: $XDG_CONFIG_HOME when absolute, else $HOME/.config.
    explicit CAutoStart(std::string executablePath, std::string configHome = {});

    /// Writes the entry (enabled) or removes it (disabled).
    bool Set(bool enabled);
    bool IsEnabled() const;

    /// The entry's path; empty when no configuration directory is known.
    const std::string& GetEntryPath() const { return m_entryPath; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_executablePath;
    std::string m_entryPath;
    std::string m_lastError;
};

} // namespace telvora
