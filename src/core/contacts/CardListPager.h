#pragma once

#include "contacts/FieldCatalogue.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One card as the list shows it: its id and the texts of the list fields.
struct CardRow
{
    long id = 0;
    std::vector<std::string> values; // dates as "YYYY-MM-DD"
};

/// The cards of a folder (its own and its copies) in blocks of kBlockSize, by card id.
/// Each block is a query of its own that starts after the last id read, so no result is
/// held open between blocks and a large folder costs no more than a small one to open. The
/// folder's own cards and its copies are read by two index searches and merged; the count
/// is taken only when asked for and a block has not already told it.
class CCardListPager final
{
public:
    static constexpr std::size_t kBlockSize = 1000;

    CCardListPager(CADODataBase& database, std::vector<CardField> fields);

    /// Starts on a folder; nothing is read yet.
    void Open(long folderId);
    /// Appends the next block to rows; false at the end or on a failure.
    bool NextBlock(std::vector<CardRow>& rows);
    bool AtEnd();

    /// Every card of a search clause (" WHERE ..." from BuildCardSearchClause), at once.
    bool Search(const std::string& whereClause, std::vector<CardRow>& rows);

    /// The cards of the folder (or found by the search); -1 when they cannot be counted.
    int GetRecordCount();
    /// "[%d/%d]共 %d条记录": blocks in all, blocks shown, cards.
    std::string Label();
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool read(const std::string& sql, std::vector<CardRow>& rows);

    CADODataBase& m_database;
    std::vector<CardField> m_fields;
    std::string m_select;
    long m_folderId = 0;
    long m_lastId = 0;
    int m_count = 0;
    bool m_countKnown = true;
    int m_shown = 0;
    std::string m_lastError;
};

} // namespace telvora
