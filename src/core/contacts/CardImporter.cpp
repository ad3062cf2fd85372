#include "contacts/CardImporter.h"

#include "app/AtomicWrite.h"
#include "contacts/CardStore.h"
#include "contacts/FolderLookup.h"
#include "contacts/ProgressObserver.h"
#include "contacts/SpreadsheetReader.h"
#include "contacts/VCardReader.h"
#include "db/DateTime.h"
#include "send/SmsRules.h"
#include "send/TextFileDecoder.h"
#include "session/TextUtil.h"

#include <fstream>
#include <optional>

namespace telvora {

namespace {

constexpr std::size_t kProgressStep = 500;
constexpr const char* kPhoneHeader = "手机";
constexpr const char* kPhoneNumberHeader = "手机号码";
constexpr const char* kGroupHeader = "组别";

std::optional<std::string> dateValue(std::string_view text)
{
    const DateTime date = DateTime::parse(std::string(TrimAscii(text)));
    return date.valid ? std::optional<std::string>(date.toString()) : std::nullopt;
}

// A wizard column is read as a date for a date field, and for a caption that says it is one.
bool mappedAsDate(const CardField& field)
{
    return field.isDate() || field.caption == "生日" || field.caption.find("日期") != std::string::npos;
}

std::optional<std::string> cellValue(const CardField& field, bool asDate, std::string_view cell)
{
    if (field.fieldName == "phone")
        return std::string(TrimAscii(cell));
    if (field.fieldName == "sex")
        return NormalisedSex(TrimAscii(cell));
    if (asDate)
        return dateValue(cell);
    return std::string(cell);
}

bool validPhone(std::string_view phone)
{
    return ClassifyMobileNumber(phone) != Carrier::Invalid;
}

// vCard birthdays also come as "19900503"; "--0503" has no year and cannot be stored.
std::optional<std::string> vCardBirthday(const std::string& text)
{
    if (text.size() == 8 && IsAllDigits(text))
        return dateValue(text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2));
    return dateValue(text.substr(0, text.find('T')));
}

std::vector<std::string> splitFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == ',' || c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = std::string(TrimAscii(field));
    while (!fields.empty() && fields.back().empty())
        fields.pop_back();
    return fields;
}

} // namespace

std::string NormalisedSex(std::string_view text)
{
    return text == "女" ? "女" : "男";
}

std::string CardImportResult::Summary() const
{
    return "导入成功客户数[" + std::to_string(imported) + "],错误或重复号码数[" + std::to_string(failed) + "]";
}

struct CCardImporter::Row
{
    std::vector<std::optional<std::string>> values; // phone first
    long folderId = 0;
};

CCardImporter::CCardImporter(
    CADODataBase& database, CNextCardId& nextCardId, CProgressObserver* observer, const std::atomic<bool>* stop)
    : m_database(database)
    , m_nextCardId(nextCardId)
    , m_observer(observer)
    , m_stop(stop)
{ }

CardImportResult CCardImporter::run(const std::vector<std::string>& columns, DuplicateRule rule, long copyFolderId,
    std::size_t total, const std::function<bool(std::size_t, Row&)>& rowAt)
{
    CardImportResult result;
    CCardBatchWriter writer(m_database, m_nextCardId, columns, rule);
    if (!writer.Begin()) {
        result.status = CardImportResult::Status::Failed;
        result.message = writer.GetLastError();
        return result;
    }
    Row row;
    for (std::size_t i = 0; i < total; ++i) {
        if (m_observer && i % kProgressStep == 0)
            m_observer->progressed(i, total);
        if (m_stop && m_stop->load()) {
            result.status = CardImportResult::Status::Cancelled;
            break;
        }
        row.values.clear();
        if (!rowAt(i, row)) {
            ++result.invalid;
            continue;
        }
        const auto outcome = writer.Write(row.values, row.folderId);
        if (outcome == CCardBatchWriter::Outcome::Inserted || outcome == CCardBatchWriter::Outcome::Replaced)
            ++result.imported;
        else
            ++result.failed;
        if (outcome != CCardBatchWriter::Outcome::Inserted)
            result.failedPhones.push_back(*row.values.front());
        if (writer.IsBroken())
            break;
    }
    if (!writer.Finish() || writer.IsBroken()) {
        result.status = CardImportResult::Status::Failed;
        result.message = writer.GetLastError();
        return result;
    }
    if (!writer.GetExistingCards().empty() && copyFolderId > 0) {
        CCardStore store(m_database);
        if (!store.CopyToFolders(writer.GetExistingCards(), {copyFolderId})) {
            result.status = CardImportResult::Status::Failed;
            result.message = store.GetLastError();
        }
    }
    if (m_observer)
        m_observer->progressed(total, total);
    return result;
}

CardImportResult CCardImporter::ImportSpreadsheet(const CSpreadsheetReader& reader, long targetFolderId)
{
    const int phoneColumn = reader.GetColumnOfHeader(kPhoneHeader);
    if (phoneColumn < 0) {
        CardImportResult result;
        result.status = CardImportResult::Status::NoPhoneColumn;
        result.message = "导入失败，没有找到[手机]列!";
        return result;
    }
    std::vector<ColumnMapping> mapping;
    for (const CardField& field : CFieldCatalogue(m_database).Load(true)) {
        const int column = reader.GetColumnOfHeader(field.caption);
        if (column >= 0 && column != phoneColumn && field.fieldName != "phone")
            mapping.push_back({field, column});
    }
    std::sort(mapping.begin(), mapping.end(), [](const auto& a, const auto& b) { return a.column < b.column; });
    const int groupColumn = reader.GetColumnOfHeader(kGroupHeader);
    CFolderLookup folders;
    folders.Load(m_database);

    std::vector<std::string> columns {"phone"};
    for (const ColumnMapping& map : mapping)
        columns.push_back(map.field.fieldName);
    const std::size_t rows = reader.GetRowCount() > 0 ? reader.GetRowCount() - 1 : 0;
    return run(columns, DuplicateRule::Ignore, 0, rows, [&](std::size_t i, Row& row) {
        const std::size_t r = i + 1;
        const std::string phone(TrimAscii(reader.GetCell(r, static_cast<std::size_t>(phoneColumn))));
        if (!validPhone(phone))
            return false;
        row.values.push_back(phone);
        for (const ColumnMapping& map : mapping)
            row.values.push_back(
                cellValue(map.field, map.field.isDate(), reader.GetCell(r, static_cast<std::size_t>(map.column))));
        row.folderId = groupColumn < 0 ? 0 : folders.Find(reader.GetCell(r, static_cast<std::size_t>(groupColumn)));
        if (row.folderId == 0)
            row.folderId = targetFolderId;
        return true;
    });
}

CardImportResult CCardImporter::ImportTextFile(const std::string& path, long targetFolderId)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        CardImportResult result;
        result.status = CardImportResult::Status::OpenFailed;
        result.message = "打开文件失败！";
        return result;
    }
    const std::string text = CTextFileDecoder::decode(bytes);
    std::vector<std::vector<std::string>> lines;
    for (std::size_t start = 0; start < text.size();) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::vector<std::string> fields = splitFields(std::string_view(text).substr(start, end - start));
        if (!fields.empty())
            lines.push_back(std::move(fields));
        start = end + 1;
    }
    CFolderLookup folders;
    folders.Load(m_database);
    return run({"phone", "name", "sex", "memos"}, DuplicateRule::Ignore, 0, lines.size(), [&](std::size_t i, Row& row) {
        const std::vector<std::string>& fields = lines[i];
        if (!validPhone(fields[0]))
            return false;
        std::string memos;
        for (std::size_t f = 4; f < fields.size(); ++f)
            memos += (memos.empty() ? "" : " ") + fields[f];
        row.values = {fields[0], fields.size() > 1 ? fields[1] : std::string(),
            NormalisedSex(fields.size() > 2 ? fields[2] : std::string()), memos};
        row.folderId = fields.size() > 3 ? folders.Find(fields[3]) : 0;
        if (row.folderId == 0)
            row.folderId = targetFolderId;
        return true;
    });
}

CardImportResult CCardImporter::ImportMapped(const CSpreadsheetReader& reader,
    const std::vector<ColumnMapping>& mapping, long targetFolderId, DuplicateRule rule)
{
    const auto phone = std::find_if(
        mapping.begin(), mapping.end(), [](const ColumnMapping& map) { return map.field.fieldName == "phone"; });
    if (phone == mapping.end() || phone->column < 0) {
        CardImportResult result;
        result.status = CardImportResult::Status::NoPhoneColumn;
        result.message = "[手机]列不能为空!";
        return result;
    }
    std::vector<ColumnMapping> ordered {*phone};
    for (const ColumnMapping& map : mapping) {
        if (map.column >= 0 && map.field.fieldName != "phone")
            ordered.push_back(map);
    }
    std::vector<std::string> columns;
    for (const ColumnMapping& map : ordered)
        columns.push_back(map.field.fieldName);
    const std::size_t rows = reader.GetRowCount() > 0 ? reader.GetRowCount() - 1 : 0;
    // The wizard walks its preview from the last row to the first.
    return run(columns, rule, targetFolderId, rows, [&](std::size_t i, Row& row) {
        const std::size_t r = rows - i;
        for (const ColumnMapping& map : ordered)
            row.values.push_back(
                cellValue(map.field, mappedAsDate(map.field), reader.GetCell(r, static_cast<std::size_t>(map.column))));
        row.folderId = targetFolderId;
        return validPhone(*row.values.front());
    });
}

CardImportResult CCardImporter::ImportVCardFile(const std::string& path, long targetFolderId, DuplicateRule rule)
{
    CardImportResult result;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        result.status = CardImportResult::Status::OpenFailed;
        result.message = "打开文件失败！";
        return result;
    }
    struct Card
    {
        std::string phone;
        const VCardContact* contact;
    };
    const std::vector<VCardContact> contacts = ParseVCards(bytes);
    std::vector<Card> cards;
    for (const VCardContact& contact : contacts) {
        for (const std::string& value : contact.phones)
            cards.push_back({VCardPhoneNumber(value), &contact});
    }
    if (contacts.empty()) {
        result.status = CardImportResult::Status::NoPhoneColumn;
        result.message = "导入失败，文件中没有联系人!";
        return result;
    }
    return run({"phone", "name", "email", "company", "birtyday"}, rule, targetFolderId, cards.size(),
        [&](std::size_t i, Row& row) {
            const Card& card = cards[i];
            if (!validPhone(card.phone))
                return false;
            row.values = {card.phone, card.contact->name, card.contact->email, card.contact->organisation,
                vCardBirthday(card.contact->birthday)};
            row.folderId = targetFolderId;
            return true;
        });
}

std::vector<ColumnMapping> CCardImporter::MatchHeaders(
    const std::vector<CardField>& activeFields, const std::vector<std::string>& header)
{
    std::vector<ColumnMapping> mapping;
    for (const CardField& field : activeFields) {
        int column = -1;
        for (std::size_t c = 0; c < header.size() && column < 0; ++c) {
            const std::string_view text = TrimAscii(header[c]);
            if (text == field.caption
                || (field.fieldName == "phone" && (text == kPhoneHeader || text == kPhoneNumberHeader)))
                column = static_cast<int>(c);
        }
        mapping.push_back({field, column});
    }
    return mapping;
}

bool CCardImporter::WriteFailureList(
    const std::string& path, const std::vector<std::string>& phones, std::string& error)
{
    std::string content;
    for (const std::string& phone : phones)
        content += phone + "\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(content.data(), static_cast<std::streamsize>(content.size())) || !out.flush()) {
        error = "创建导出文件失败!";
        return false;
    }
    return true;
}

} // namespace telvora
