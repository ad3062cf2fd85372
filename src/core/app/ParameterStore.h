#pragma once

#include <map>
#include <string>

namespace telvora {

class CADODataBase;
class CIniFile;

/// The system parameters: an ordered map from key to value text, filled from
/// tbl_sys_param of the working database plus two keys of the setup file, and written
/// back by key. Only keys that already have a row in tbl_sys_param are ever stored.
class CParameterStore final
{
public:
    /// Reads a parameter; a missing key reads as empty and is added to the map (it stays
    /// in memory only, as saving only updates existing rows).
    std::string& operator[](const std::string& key);
    /// Reads a parameter without adding it.
    std::string Get(const std::string& key) const;
    void Set(const std::string& key, const std::string& value);
    bool Contains(const std::string& key) const;
    void Clear();
    const std::map<std::string, std::string>& Entries() const { return m_values; }

    /// Clears the map and refills it from the database, then takes "IsRemainStock" and
    /// "RemainAmount" from the setup file (an empty "RemainAmount" becomes "1000").
    /// False when the table cannot be read; the setup-file keys are taken regardless.
    bool Load(CADODataBase& database, const CIniFile& setupFile);
    /// Writes every entry back with one UPDATE per key, in key order, in one transaction,
    /// and the two setup-file keys to the setup file. False on the first failure (the
    /// database is then left as it was).
    bool SaveAll(CADODataBase& database, CIniFile& setupFile);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::map<std::string, std::string> m_values;
    std::string m_lastError;
};

} // namespace telvora
