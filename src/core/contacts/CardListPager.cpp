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

} // namespace

CCardListPager::CCardListPager(CADODataBase& database, std::vector<CardField> fields)
    : m_database(database)
    , m_fields(std::move(fields))
    , m_select("SELECT id, " + FieldNameList(m_fields) + " FROM tbl_card ")
{ }

void CCardListPager::Open(long folderId)
{
    m_folderId = folderId;
    m_lastId = 0;
    m_count = 0;
    m_countKnown = folderId < 1;
    m_shown = 0;
}

bool CCardListPager::AtEnd()
{
    return m_folderId < 1 || (m_countKnown && m_shown >= m_count);
}

bool CCardListPager::NextBlock(std::vector<CardRow>& rows)
{
    if (AtEnd())
        return false;
    const std::string folder = std::to_string(m_folderId);
    const std::string after = std::to_string(m_lastId);
    const std::string limit = " ORDER BY id LIMIT " + std::to_string(kBlockSize);
    std::vector<CardRow> home;
    std::vector<CardRow> copies;
    if (!read(m_select + "WHERE folder_id = " + folder + " AND id > " + after + limit, home)
        || !read(m_select + "WHERE id IN (SELECT card_id FROM tbl_card_copy WHERE folder_id = " + folder
                + ") AND folder_id <> " + folder + " AND id > " + after + limit,
            copies))
        return false;
    std::size_t h = 0;
    std::size_t c = 0;
    std::size_t added = 0;
    for (; added < kBlockSize && (h < home.size() || c < copies.size()); ++added) {
        const bool fromHome = c == copies.size() || (h < home.size() && home[h].id < copies[c].id);
        CardRow& row = fromHome ? home[h++] : copies[c++];
        m_lastId = row.id;
        rows.push_back(std::move(row));
    }
    m_shown += static_cast<int>(added);
    // A short block is the last one and tells the count, even when cards went since.
    if (added < kBlockSize) {
        m_count = m_shown;
        m_countKnown = true;
    }
    return added > 0;
}

int CCardListPager::GetRecordCount()
{
    if (m_countKnown)
        return m_count;
    const std::string folder = std::to_string(m_folderId);
    CADORecordset recordset(&m_database);
    if (!recordset.Open("SELECT (SELECT COUNT(*) FROM tbl_card WHERE folder_id = " + folder
            + ") + (SELECT COUNT(*) FROM tbl_card WHERE folder_id <> " + folder
            + " AND id IN (SELECT card_id FROM tbl_card_copy WHERE folder_id = " + folder + "))")) {
        m_lastError = recordset.GetLastError();
        return -1;
    }
    recordset.GetFieldValue(0, m_count);
    m_countKnown = true;
    return m_count;
}

bool CCardListPager::Search(const std::string& whereClause, std::vector<CardRow>& rows)
{
    m_folderId = 0;
    const std::size_t before = rows.size();
    const bool ok = read(m_select + whereClause + " ORDER BY id", rows);
    m_count = m_shown = static_cast<int>(rows.size() - before);
    m_countKnown = true;
    return ok;
}

bool CCardListPager::read(const std::string& sql, std::vector<CardRow>& rows)
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
        rows.push_back(std::move(row));
    }
    if (statement.HasFailed()) {
        m_lastError = statement.GetLastError();
        return false;
    }
    return true;
}

std::string CCardListPager::Label()
{
    GetRecordCount();
    // Appended piece by piece: "[" + string&& trips a false -Wrestrict in GCC 12 at -O3.
    std::string label = "[";
    label += std::to_string(blocks(m_count)) + "/" + std::to_string(blocks(m_shown));
    label += "]共 " + std::to_string(m_count) + "条记录";
    return label;
}

} // namespace telvora
