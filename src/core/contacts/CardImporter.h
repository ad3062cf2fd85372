#pragma once

#include "contacts/CardBatchWriter.h"
#include "contacts/FieldCatalogue.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CNextCardId;
class CProgressObserver;
class CSpreadsheetReader;

/// A card field filled from a sheet column.
struct ColumnMapping
{
    CardField field;
    int column = -1;
};

/// What one import did.
struct CardImportResult
{
    enum class Status { Done, Cancelled, NoPhoneColumn, OpenFailed, Failed };

    Status status = Status::Done;
    int imported = 0;
    int failed = 0; // refused rows: repeated numbers above all
    int invalid = 0; // rows without a valid mobile number, passed over
    std::vector<std::string> failedPhones; // for the failure list, in the order met
    std::string message; // why it did not run, for OpenFailed, NoPhoneColumn and Failed

    /// "导入成功客户数[%d],错误或重复号码数[%d]".
    std::string Summary() const;
};

/// The imports of cards: the standard spreadsheet (a "手机" column, columns headed with
/// field captions, a "组别" column naming folders), the standard text file (phone, name,
/// sex, group, remarks), the mapped import of the wizard and vCard files. Rows are written
/// by CCardBatchWriter; the stop flag ends an import after the row under way, keeping what
/// was written, and progress goes to the observer on the importing thread.
class CCardImporter final
{
public:
    CCardImporter(CADODataBase& database, CNextCardId& nextCardId, CProgressObserver* observer = nullptr,
        const std::atomic<bool>* stop = nullptr);

    /// The current sheet of reader into targetFolderId.
    CardImportResult ImportSpreadsheet(const CSpreadsheetReader& reader, long targetFolderId);
    /// A text file in UTF-8 or GBK, fields separated by tabs or commas.
    CardImportResult ImportTextFile(const std::string& path, long targetFolderId);
    /// The current sheet with the wizard's mapping; existing cards of repeated numbers are
    /// listed in the target folder under the Copy rule.
    CardImportResult ImportMapped(const CSpreadsheetReader& reader, const std::vector<ColumnMapping>& mapping,
        long targetFolderId, DuplicateRule rule);
    /// A vCard file: one card per mobile number of each contact, with its name, e-mail,
    /// organisation and birthday.
    CardImportResult ImportVCardFile(const std::string& path, long targetFolderId, DuplicateRule rule);

    /// The wizard's preselection: each active field takes the first column headed with its
    /// caption; the phone field also takes a column headed "手机" or "手机号码".
    static std::vector<ColumnMapping> MatchHeaders(
        const std::vector<CardField>& activeFields, const std::vector<std::string>& header);
    /// Writes each number followed by "\n"; false with "创建导出文件失败!" in error.
    static bool WriteFailureList(const std::string& path, const std::vector<std::string>& phones, std::string& error);

private:
    struct Row;
    /// Writes rows 0 to total - 1 as rowAt fills them (false: no valid number); the cards of
    /// repeated numbers are listed in copyFolderId under the Copy rule.
    CardImportResult run(const std::vector<std::string>& columns, DuplicateRule rule, long copyFolderId,
        std::size_t total, const std::function<bool(std::size_t, Row&)>& rowAt);

    CADODataBase& m_database;
    CNextCardId& m_nextCardId;
    CProgressObserver* m_observer;
    const std::atomic<bool>* m_stop;
};

/// "男" unless the text is "女".
std::string NormalisedSex(std::string_view text);

} // namespace telvora
