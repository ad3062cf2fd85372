#include "send/NumberHistory.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"

#include <algorithm>

namespace telvora {

CNumberHistory::CNumberHistory(CADODataBase& database)
    : m_database(database)
{ }

bool CNumberHistory::load()
{
    m_numbers.clear();
    CADORecordset records(&m_database);
    if (!records.Open("SELECT phone  FROM tbl_inputphone ORDER BY id")) {
        return false;
    }
    for (; !records.IsEOF(); records.MoveNext()) {
        std::string phone;
        if (records.GetFieldValue(0, phone) && !phone.empty() && !contains(phone)) {
            m_numbers.push_back(phone);
        }
    }
    return true;
}

bool CNumberHistory::contains(const std::string& number) const
{
    return std::find(m_numbers.begin(), m_numbers.end(), number) != m_numbers.end();
}

bool CNumberHistory::add(const std::string& number)
{
    if (number.empty() || contains(number)) {
        return false;
    }
    m_numbers.push_back(number);
    return m_database.Execute("INSERT INTO tbl_inputphone (phone) VALUES (" + SqlQuote(number) + ")");
}

} // namespace telvora
