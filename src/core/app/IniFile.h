#pragma once

#include <string>

namespace telvora {

/// A profile (INI) file read and written with the semantics the setup file always had:
/// section and key names compare without regard to ASCII case, an absent key reads as the
/// caller's default, lines that are neither sections nor "key=value" are ignored and kept,
/// and a value reads back at most kMaxValueBytes bytes (the old 260-byte buffer).
/// Every read goes to the file, so a second writer's change is seen at once.
class CIniFile final
{
public:
    static constexpr std::size_t kMaxValueBytes = 259;

    explicit CIniFile(std::string path);

    /// The value of key in section, blanks and one pair of enclosing quotes removed;
    /// defaultValue when the file, the section or the key is missing.
    std::string GetString(
        const std::string& section, const std::string& key, const std::string& defaultValue = {}) const;
    /// Sets key in section, adding the section or the key when missing and keeping every
    /// other line as it was. The file is replaced atomically and left with mode 0600.
    /// A value or name holding a line break is refused (it would corrupt the file).
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);

    const std::string& GetPath() const { return m_path; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_path;
    std::string m_lastError;
};

} // namespace telvora
