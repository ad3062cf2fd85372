#pragma once

#include "db/DateTime.h"

#include <initializer_list>
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

/// One row of tbl_sendsms_detail: one number of a send.
struct SendDetail
{
    long id = 0;
    std::string phone;
    DateTime sendTime;
    int status = 0;
    int splitCount = 0;
    std::string content;
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
    /// The sends made at once, newest first.
    std::vector<SendRecord> ListSent();
    std::optional<SendRecord> Find(long id);

    /// Deletes a record with its detail rows, both or neither.
    bool Delete(long id);
    /// Deletes every send made at once with its detail rows; scheduled ones stay.
    bool ClearSent();

    /// The numbers of a record in id order.
    std::vector<SendDetail> Details(long recordId);
    /// The numbers the service accepted or may have accepted (status 1 and 2), in id order:
    /// what a later comparison against a list must treat as sent.
    std::vector<std::string> SentNumbers(long recordId);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<SendRecord> read(const std::string& condition);
    // Runs the statements in one transaction.
    bool inTransaction(std::initializer_list<std::string> statements);

    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
