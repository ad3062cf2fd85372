#include "contacts/CardListPager.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"
#include "db/PreparedStatement.h"

namespace telvora {

namespace {

int blocks(int rows)
{
    return (rows + static_cast<int>(CCardListPager::kBlockSize) - 1) / static_cast<int>(CCardListPager::kBlockSize);
}

std::string membership(long folderId)
{
    const std::string folder = std::to_string(folderId);
    return "(folder_id = " + folder + " OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=" + folder + "))";
}

} // namespace

CCardListPager::CCardListPager(CADODataBase& database, std::vector<CardField> fields)
    : m_database(database)
    , m_fields(std::move(fields))
    , m_select("SELECT id, " + FieldNameList(m_fields) + " FROM tbl_card ")
{ }

bool CCardListPager::Open(long folderId)
{
    m_folderId = folderId;
    m_lastId = 0;
    m_count = 0;
    m_shown = 0;
    if (folderId < 1)
        return true;
    CADORecordset recordset(&m_database);
    if (!recordset.Open("SELECT COUNT(*) FROM tbl_card WHERE " + membership(folderId))) {
        m_lastError = recordset.GetLastError();
        return false;
    }
    recordset.GetFieldValue(0, m_count);
    return true;
}

bool CCardListPager::NextBlock(std::vector<CardRow>& rows)
{
    if (m_folderId < 1 || AtEnd())
        return false;
    std::size_t count = 0;
    const bool ok = read(m_select + "WHERE " + membership(m_folderId) + " AND id > " + std::to_string(m_lastId)
            + " ORDER BY id LIMIT " + std::to_string(kBlockSize),
        rows, count);
    m_shown += static_cast<int>(count);
    // Cards deleted since the count was taken would otherwise leave the list unfinished.
    if (count < kBlockSize)
        m_count = m_shown;
    return ok && count > 0;
}

bool CCardListPager::Search(const std::string& whereClause, std::vector<CardRow>& rows)
{
    m_folderId = 0;
    std::size_t count = 0;
    const bool ok = read(m_select + whereClause + " ORDER BY id", rows, count);
    m_count = m_shown = static_cast<int>(count);
    return ok;
}

bool CCardListPager::read(const std::string& sql, std::vector<CardRow>& rows, std::size_t& read)
{
    CPreparedStatement statement(&m_database);
    if (!statement.Prepare(sql)) {
        m_lastError = statement.GetLastError();
        return false;
    }
    while (statement.Step()) {
        CardRow row;
        row.id = static_cast<long>(statement.GetInt(0));
        row.values.reserve(m_fields.size());
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            std::string value = statement.GetText(static_cast<int>(i) + 1);
            if (m_fields[i].isDate() && !value.empty()) {
                const DateTime date = DateTime::parse(value);
                value = date.valid ? date.format("%Y-%m-%d") : std::string();
            }
            row.values.push_back(std::move(value));
        }
        m_lastId = row.id;
        rows.push_back(std::move(row));
        ++read;
    }
    if (statement.HasFailed()) {
        m_lastError = statement.GetLastError();
        return false;
    }
    return true;
}

std::string CCardListPager::Label() const
{
    return "[" + std::to_string(blocks(m_count)) + "/" + std::to_string(blocks(m_shown)) + "]共 "
        + std::to_string(m_count) + "条记录";
}

} // namespace telvora
