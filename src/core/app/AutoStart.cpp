#include "app/AutoStart.h"

#include "app/AppConstants.h"
#include "app/AtomicWrite.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace telvora {

namespace {

// The desktop entry's Exec key: quoted, with the characters desktop entries reserve
// inside quotes escaped, and "%" doubled as it is a field code otherwise.
std::string quoteExec(const std::string& path)
{
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += "\\\\";
        }
        if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace

CAutoStart::CAutoStart(std::string executablePath, std::string configHome)
    : m_executablePath(std::move(executablePath))
{
    if (configHome.empty()) {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        const char* home = std::getenv("HOME");
        if (xdg && fs::path(xdg).is_absolute()) {
            configHome = xdg;
        } else if (home && *home) {
            configHome = (fs::path(home) / ".config").string();
        }
    }
    if (!configHome.empty()) {
        m_entryPath = (fs::path(configHome) / "autostart" / "telvora.desktop").string();
    }
}

bool CAutoStart::Set(bool enabled)
{
    if (m_entryPath.empty()) {
        m_lastError = "无法确定配置目录：XDG_CONFIG_HOME 和 HOME 都未设置";
        return false;
    }
    std::error_code error;
    if (!enabled) {
        fs::remove(m_entryPath, error);
        if (error) {
            m_lastError = "无法删除 " + m_entryPath + "：" + error.message();
            return false;
        }
        return true;
    }
    fs::create_directories(fs::path(m_entryPath).parent_path(), error);
    if (error) {
        m_lastError = "无法创建目录 " + fs::path(m_entryPath).parent_path().string() + "：" + error.message();
        return false;
    }
    const std::string entry = std::string("[Desktop Entry]\n"
                                          "Type=Application\n"
                                          "Name=")
        + kProductTitle + "\nExec=" + quoteExec(m_executablePath)
        + "\nTerminal=false\n"
          "X-GNOME-Autostart-enabled=true\n";
    return WriteFileAtomically(m_entryPath, entry, m_lastError);
}

bool CAutoStart::IsEnabled() const
{
    std::error_code error;
    return !m_entryPath.empty() && fs::exists(m_entryPath, error);
}

} // namespace telvora
