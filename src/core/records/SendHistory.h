#pragma once

#include <string>

namespace telvora {

class CADODataBase;

/// The send records as a whole: tbl_sendsms and its detail rows. Received messages are
/// not part of it.
class CSendHistory final
{
public:
    explicit CSendHistory(CADODataBase& database);

    /// Deletes every send record and detail row in one transaction, so that a failure
    /// leaves both tables as they were. False with the error text otherwise.
    bool Clear();

    const std::string& GetLastError() const { return m_lastError; }

private:
    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
