#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CNextCardId;

/// What an import does with a number that is already in the address book.
enum class DuplicateRule {
    Copy, // keep the existing card and list it in the import's folder too
    Replace, // delete the existing card and insert the new row
    Ignore, // count the row as failed
};

/// Inserts imported rows into tbl_card with one prepared statement, committing every
/// kRowsPerTransaction rows. Each row keeps its own outcome: a row that fails (a repeated
/// number above all) fails alone and the rows around it are written. Every card gets the
/// next card id and create_date now, unless the row brings its own create_date.
class CCardBatchWriter final
{
public:
    enum class Outcome { Inserted, Replaced, Duplicate, Failed };
    static constexpr int kRowsPerTransaction = 2000;

    /// columns: the tbl_card columns each row gives values for, phone first; dateColumns
    /// marks those that hold dates (values already "YYYY-MM-DD HH:MM:SS" or absent).
    CCardBatchWriter(CADODataBase& database, CNextCardId& nextCardId, std::vector<std::string> columns,
        DuplicateRule rule = DuplicateRule::Ignore);
    ~CCardBatchWriter();
    CCardBatchWriter(const CCardBatchWriter&) = delete;
    CCardBatchWriter& operator=(const CCardBatchWriter&) = delete;

    bool Begin();
    /// One row: values in the order of the columns, std::nullopt for NULL; values[0] is the
    /// phone. Duplicate: the number exists and the rule kept the old card (its id is among
    /// GetExistingCards() with the Copy rule). Replaced: the old card made way.
    Outcome Write(const std::vector<std::optional<std::string>>& values, long folderId);
    /// Commits what is written.
    bool Finish();
    /// True once a commit failed: the rows since the last commit are lost and the import
    /// must stop.
    bool IsBroken() const { return m_broken; }

    /// The cards whose numbers came again, with the Copy rule.
    const std::vector<long>& GetExistingCards() const { return m_existing; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool insert(const std::vector<std::optional<std::string>>& values, long folderId, bool& duplicate);

    struct Statements;
    CADODataBase& m_database;
    CNextCardId& m_nextCardId;
    std::vector<std::string> m_columns;
    DuplicateRule m_rule;
    std::unique_ptr<Statements> m_statements;
    int m_rowsInTransaction = 0;
    bool m_inTransaction = false;
    bool m_broken = false;
    std::vector<long> m_existing;
    std::string m_lastError;
};

} // namespace telvora
