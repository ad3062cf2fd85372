#include "app/ParameterStore.h"

#include "app/AppConstants.h"
#include "app/IniFile.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"

namespace telvora {

namespace {

constexpr const char* kStockWarningKeys[] = {"IsRemainStock", "RemainAmount"};

} // namespace

std::string& CParameterStore::operator[](const std::string& key)
{
    return m_values[key];
}

std::string CParameterStore::Get(const std::string& key) const
{
    const auto found = m_values.find(key);
    return found == m_values.end() ? std::string() : found->second;
}

void CParameterStore::Set(const std::string& key, const std::string& value)
{
    m_values[key] = value;
}

bool CParameterStore::Contains(const std::string& key) const
{
    return m_values.count(key) != 0;
}

void CParameterStore::Clear()
{
    m_values.clear();
}

bool CParameterStore::Load(CADODataBase& database, const CIniFile& setupFile)
{
    m_values.clear();
    bool ok = true;
    CADORecordset recordset(&database);
    if (recordset.Open("SELECT para_name, para_value FROM tbl_sys_param ")) {
        for (; !recordset.IsEOF(); recordset.MoveNext()) {
            std::string name;
            std::string value;
            recordset.GetFieldValue(0, name);
            recordset.GetFieldValue(1, value);
            m_values[name] = value;
        }
        recordset.Close();
    } else {
        m_lastError = recordset.GetLastError();
        ok = false;
    }

    m_values["IsRemainStock"] = setupFile.GetString(kSetupSection, "IsRemainStock");
    std::string amount = setupFile.GetString(kSetupSection, "RemainAmount");
    m_values["RemainAmount"] = amount.empty() ? "1000" : amount;
    return ok;
}

bool CParameterStore::SaveAll(CADODataBase& database, CIniFile& setupFile)
{
    if (!database.BeginTransaction()) {
        m_lastError = database.GetLastError();
        return false;
    }
    for (const auto& [key, value] : m_values) {
        const std::string sql
            = "UPDATE tbl_sys_param SET para_value='" + SqlEscape(value) + "' WHERE para_name='" + SqlEscape(key) + "'";
        if (!database.Execute(sql)) {
            m_lastError = database.GetLastError();
            database.RollbackTransaction();
            return false;
        }
    }
    if (!database.CommitTransaction()) {
        m_lastError = database.GetLastError();
        database.RollbackTransaction();
        return false;
    }

    for (const char* key : kStockWarningKeys) {
        const auto found = m_values.find(key);
        if (found != m_values.end() && !setupFile.WriteString(kSetupSection, key, found->second)) {
            m_lastError = setupFile.GetLastError();
            return false;
        }
    }
    return true;
}

} // namespace telvora
