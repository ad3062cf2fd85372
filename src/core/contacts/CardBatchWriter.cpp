#include "contacts/CardBatchWriter.h"

#include "app/NextCardId.h"
#include "db/ADODataBase.h"
#include "db/PreparedStatement.h"

#include <algorithm>
#include <sqlite3.h>

namespace telvora {

struct CCardBatchWriter::Statements
{
    explicit Statements(CADODataBase* database)
        : insert(database)
        , findByPhone(database)
        , deleteCopies(database)
        , deleteCard(database)
    { }
    CPreparedStatement insert;
    CPreparedStatement findByPhone;
    CPreparedStatement deleteCopies;
    CPreparedStatement deleteCard;
};

CCardBatchWriter::CCardBatchWriter(
    CADODataBase& database, CNextCardId& nextCardId, std::vector<std::string> columns, DuplicateRule rule)
    : m_database(database)
    , m_nextCardId(nextCardId)
    , m_columns(std::move(columns))
    , m_rule(rule)
{ }

CCardBatchWriter::~CCardBatchWriter()
{
    Finish();
}

bool CCardBatchWriter::Begin()
{
    m_statements = std::make_unique<Statements>(&m_database);
    const bool givesCreateDate = std::find(m_columns.begin(), m_columns.end(), "create_date") != m_columns.end();
    std::string columns = "INSERT INTO tbl_card (";
    std::string values = ") VALUES (";
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        columns += m_columns[i] + ", ";
        values += m_columns[i] == "create_date" ? "IFNULL(?, Now()), " : "?, ";
    }
    columns += givesCreateDate ? "id, folder_id" : "id, folder_id, create_date";
    values += givesCreateDate ? "?, ?" : "?, ?, Now()";
    if (!m_statements->insert.Prepare(columns + values + ")")
        || !m_statements->findByPhone.Prepare("SELECT id FROM tbl_card WHERE phone=?")
        || !m_statements->deleteCopies.Prepare(
            "DELETE FROM tbl_card_copy WHERE card_id IN (SELECT id FROM tbl_card WHERE phone=?)")
        || !m_statements->deleteCard.Prepare("DELETE FROM tbl_card WHERE phone=?")) {
        m_lastError = m_statements->insert.IsPrepared() ? m_statements->findByPhone.GetLastError()
                                                        : m_statements->insert.GetLastError();
        return false;
    }
    return true;
}

bool CCardBatchWriter::insert(const std::vector<std::optional<std::string>>& values, long folderId, bool& duplicate)
{
    duplicate = false;
    if (!m_inTransaction) {
        if (!m_database.BeginTransaction()) {
            m_lastError = m_database.GetLastError();
            return false;
        }
        m_inTransaction = true;
    }
    CPreparedStatement& statement = m_statements->insert;
    int index = 1;
    for (std::size_t i = 0; i < m_columns.size(); ++i, ++index) {
        if (i < values.size() && values[i])
            statement.BindText(index, *values[i]);
        else
            statement.BindNull(index);
    }
    statement.BindInt(index++, m_nextCardId.Take(m_database));
    statement.BindInt(index, folderId);
    if (statement.Execute())
        return true;
    m_lastError = statement.GetLastError();
    duplicate = statement.GetLastErrorCode() == SQLITE_CONSTRAINT && m_lastError.find("phone") != std::string::npos;
    return false;
}

CCardBatchWriter::Outcome CCardBatchWriter::Write(const std::vector<std::optional<std::string>>& values, long folderId)
{
    if (!m_statements || m_broken || values.empty() || !values[0])
        return Outcome::Failed;
    bool duplicate = false;
    Outcome outcome = Outcome::Failed;
    if (insert(values, folderId, duplicate)) {
        outcome = Outcome::Inserted;
    } else if (duplicate) {
        const std::string& phone = *values[0];
        Statements& s = *m_statements;
        if (m_rule == DuplicateRule::Replace) {
            const bool removed = s.deleteCopies.BindText(1, phone) && s.deleteCopies.Execute()
                && s.deleteCard.BindText(1, phone) && s.deleteCard.Execute();
            outcome = removed && insert(values, folderId, duplicate) ? Outcome::Replaced : Outcome::Failed;
        } else {
            outcome = Outcome::Duplicate;
            if (m_rule == DuplicateRule::Copy && s.findByPhone.BindText(1, phone) && s.findByPhone.Step())
                m_existing.push_back(static_cast<long>(s.findByPhone.GetInt(0)));
            s.findByPhone.Reset();
        }
    }
    if (++m_rowsInTransaction >= kRowsPerTransaction && !Finish())
        m_broken = true;
    return outcome;
}

bool CCardBatchWriter::Finish()
{
    m_rowsInTransaction = 0;
    if (!m_inTransaction)
        return true;
    m_inTransaction = false;
    if (m_database.CommitTransaction())
        return true;
    m_lastError = m_database.GetLastError();
    m_database.RollbackTransaction();
    return false;
}

} // namespace telvora
