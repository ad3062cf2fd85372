#include "CardsCommand.h"

#include "app/AppContext.h"
#include "contacts/CardExporter.h"
#include "contacts/CardImporter.h"
#include "contacts/CardListPager.h"
#include "contacts/CardSearch.h"
#include "contacts/CardStore.h"
#include "contacts/FieldCatalogue.h"
#include "contacts/FolderLookup.h"
#include "contacts/SpreadsheetReader.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace telvora::cli {

namespace {

// One card a line: tabs and line breaks inside a value would break the columns.
std::string oneCell(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

DuplicateRule ruleOf(const std::string& name)
{
    if (name == "replace")
        return DuplicateRule::Replace;
    return name == "ignore" ? DuplicateRule::Ignore : DuplicateRule::Copy;
}

} // namespace

CCardsCommand::CCardsCommand(CAppContext& app, std::ostream& out, std::ostream& err)
    : m_app(app)
    , m_out(out)
    , m_err(err)
{ }

int CCardsCommand::Run(const CommandLine& line)
{
    switch (line.cardsAction) {
    case CardsAction::Import:
        return runImport(line);
    case CardsAction::List:
        return runList(line);
    case CardsAction::Export:
        return runExport(line);
    default:
        return kExitRefused;
    }
}

long CCardsCommand::namedFolder(const CommandLine& line)
{
    if (!line.folderGiven)
        return 0;
    CFolderLookup folders;
    folders.Load(m_app.GetDatabase());
    const long id = folders.Find(line.folder);
    if (id == 0) {
        m_err << "没有目录[" << line.folder << "]\n";
        return -1;
    }
    return id;
}

int CCardsCommand::runImport(const CommandLine& line)
{
    CADODataBase& database = m_app.GetDatabase();
    const std::string extension = LowerExtension(line.file);
    CSpreadsheetReader reader;
    const bool sheet = extension != ".txt" && extension != ".vcf";
    if (sheet && !reader.Open(line.file)) {
        m_err << reader.GetLastError() << "\n";
        return kExitRefused;
    }
    if (!std::filesystem::is_regular_file(line.file)) {
        m_err << "打开文件失败！\n";
        return kExitRefused;
    }
    std::vector<ColumnMapping> mapping;
    if (sheet) {
        mapping = CCardImporter::MatchHeaders(CFieldCatalogue(database).Load(true), reader.GetHeader());
        if (std::none_of(mapping.begin(), mapping.end(),
                [](const ColumnMapping& map) { return map.field.fieldName == "phone" && map.column >= 0; })) {
            m_err << "[手机]列不能为空!\n";
            return kExitRefused;
        }
    }
    const std::string folderName = line.folderGiven ? line.folder : std::filesystem::path(line.file).stem().string();
    CCardStore store(database);
    const long folderId = store.EnsureFolder(folderName, 0);
    if (folderId < 1) {
        m_err << "目录[" << folderName << "]无法建立: " << store.GetLastError() << "\n";
        return folderName.empty() ? kExitRefused : kExitLocalFailure;
    }

    CCardImporter importer(database, m_app.GetNextCardId());
    CardImportResult result;
    if (extension == ".txt")
        result = importer.ImportTextFile(line.file, folderId);
    else if (extension == ".vcf")
        result = importer.ImportVCardFile(line.file, folderId, ruleOf(line.duplicates));
    else
        result = importer.ImportMapped(reader, mapping, folderId, ruleOf(line.duplicates));
    switch (result.status) {
    case CardImportResult::Status::NoPhoneColumn:
    case CardImportResult::Status::OpenFailed:
        m_err << result.message << "\n";
        return kExitRefused;
    case CardImportResult::Status::Failed:
        m_err << result.message << "\n";
        m_out << result.Summary() << "\n";
        return kExitLocalFailure;
    default:
        m_out << result.Summary() << "\n";
        return kExitOk;
    }
}

int CCardsCommand::runList(const CommandLine& line)
{
    CADODataBase& database = m_app.GetDatabase();
    const std::vector<CardField> fields = CFieldCatalogue(database).Load(true);
    const long folderId = namedFolder(line);
    if (folderId < 0)
        return kExitRefused;

    CardSearchCriteria criteria;
    criteria.folderId = folderId;
    for (const std::string& condition : line.where) {
        const auto equals = condition.find('=');
        const std::string name = condition.substr(0, equals);
        const auto field = std::find_if(
            fields.begin(), fields.end(), [&](const CardField& f) { return f.caption == name || f.fieldName == name; });
        if (field == fields.end()) {
            m_err << "没有字段[" << name << "]\n";
            return kExitRefused;
        }
        criteria.custom.emplace_back(field->fieldName, condition.substr(equals + 1));
    }

    CCardListPager pager(database, fields);
    std::vector<CardRow> rows;
    bool ok = true;
    const std::string clause = BuildCardSearchClause(criteria);
    if (!clause.empty() || folderId == 0) {
        ok = pager.Search(clause, rows);
    } else {
        pager.Open(folderId);
        while (pager.NextBlock(rows)) { }
        ok = pager.GetLastError().empty();
    }
    if (!ok) {
        m_err << pager.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    for (std::size_t i = 0; i < fields.size(); ++i)
        m_out << (i ? "\t" : "") << oneCell(fields[i].caption);
    m_out << "\n";
    for (const CardRow& row : rows) {
        for (std::size_t i = 0; i < row.values.size(); ++i)
            m_out << (i ? "\t" : "") << oneCell(row.values[i]);
        m_out << "\n";
    }
    return kExitOk;
}

int CCardsCommand::runExport(const CommandLine& line)
{
    const long folderId = namedFolder(line);
    if (folderId < 0)
        return kExitRefused;
    CCardExporter exporter(m_app.GetDatabase());
    const bool done = exporter.ExportFolder(folderId, line.file) == CCardExporter::Result::Done;
    const std::string what = folderId == 0 ? "导出所有客户资料" : "导出目录[" + line.folder + "]客户资料";
    if (!done) {
        m_err << what << "失败: " << exporter.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    m_out << what << "成功\n";
    return kExitOk;
}

} // namespace telvora::cli
