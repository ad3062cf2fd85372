#pragma once

#include "db/DateTime.h"

#include <optional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One row of tbl_sendsms.
struct SendRecord
{
    long id = 0;
    DateTime sendTime;
    int sendMode = 0;
    std::string status;
    long successCount = 0;
    long failCount = 0;
    std::string content;
    bool scheduled = false;
    std::string jobIds;
};

/// The send records as a whole: tbl_sendsms and its detail rows. Received messages are
/// not part of it.
class CSendHistory final
{
public:
    explicit CSendHistory(CADODataBase& database);

    /// Deletes every send record and detail row in one transaction, so that a failure
    /// leaves both tables as they were. False with the error text otherwise.
    bool Clear();

    /// The send records, newest first; only scheduled ones when asked. Empty with the
    /// error text when the table cannot be read.
    std::vector<SendRecord> List(bool scheduledOnly);
    std::optional<SendRecord> Find(long id);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<SendRecord> read(const std::string& condition);

    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
