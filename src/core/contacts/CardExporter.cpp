#include "contacts/CardExporter.h"

#include "contacts/FieldCatalogue.h"
#include "contacts/ProgressObserver.h"
#include "contacts/SpreadSheet.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "db/SqlText.h"
#include "session/TextUtil.h"

namespace telvora {

namespace {

constexpr std::size_t kProgressStep = 1000;

} // namespace

CCardExporter::CCardExporter(CADODataBase& database, CProgressObserver* observer, const std::atomic<bool>* stop)
    : m_database(database)
    , m_observer(observer)
    , m_stop(stop)
{ }

std::string CCardExporter::FolderSheetName(long folderId)
{
    return folderId == 0 ? "所有客户资料" : "客户资料";
}

std::string CCardExporter::DefaultFileName(const std::string& title)
{
    return title + ".xlsx";
}

CCardExporter::Result CCardExporter::ExportQuery(
    const std::string& selectList, const std::string& fromClause, const std::string& title, const std::string& path)
{
    m_rowsWritten = 0;
    int total = 0;
    {
        CADORecordset count(&m_database);
        if (m_observer && count.Open("SELECT COUNT(*) FROM (SELECT 1 FROM " + fromClause + ")") && !count.IsEOF())
            count.GetFieldValue(0, total);
    }
    CPreparedStatement statement(&m_database);
    if (!statement.Prepare("SELECT " + selectList + " FROM " + fromClause)) {
        m_lastError = statement.GetLastError();
        return Result::Failed;
    }
    CSpreadSheet sheet;
    if (!sheet.Create(path, title)) {
        m_lastError = sheet.GetLastError();
        return Result::Failed;
    }
    std::vector<std::string> headers;
    for (int i = 0; i < statement.GetColumnCount(); ++i) {
        headers.push_back(statement.GetColumnName(i));
        if (statement.IsDateColumn(i))
            sheet.SetDateColumn(static_cast<std::size_t>(i));
    }
    if (!sheet.AddHeaders(headers)) {
        m_lastError = sheet.GetLastError();
        return Result::Failed;
    }
    std::vector<std::string> cells(headers.size());
    while (statement.Step()) {
        if (stopped())
            return Result::Cancelled; // the sheet removes its file
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = statement.GetText(static_cast<int>(i));
        if (!sheet.AddRow(cells)) {
            m_lastError = sheet.GetLastError();
            return Result::Failed;
        }
        if (++m_rowsWritten % kProgressStep == 0 && m_observer)
            m_observer->progressed(static_cast<std::size_t>(m_rowsWritten), static_cast<std::size_t>(total));
    }
    if (statement.HasFailed()) {
        m_lastError = statement.GetLastError();
        return Result::Failed;
    }
    if (!sheet.Commit()) {
        m_lastError = sheet.GetLastError();
        return Result::Failed;
    }
    return Result::Done;
}

CCardExporter::Result CCardExporter::ExportQuery(const SheetQuery& query, const std::string& path)
{
    return ExportQuery(query.selectList, query.fromClause, query.title, path);
}

CCardExporter::Result CCardExporter::RunJetExport(const std::string& sql)
{
    const std::string text = AsciiUpper(sql);
    static constexpr std::string_view into = " INTO [EXCEL 8.0;DATABASE=";
    const auto intoAt = text.find(into);
    const auto pathEnd = intoAt == std::string::npos ? intoAt : text.find("].[", intoAt);
    const auto titleEnd = pathEnd == std::string::npos ? pathEnd : text.find("] FROM ", pathEnd);
    if (!text.starts_with("SELECT ") || titleEnd == std::string::npos) {
        m_lastError = "not a spreadsheet export: " + sql;
        return Result::Failed;
    }
    const std::size_t pathStart = intoAt + into.size();
    const std::size_t titleStart = pathEnd + 3;
    return ExportQuery(sql.substr(7, intoAt - 7), sql.substr(titleEnd + 7),
        sql.substr(titleStart, titleEnd - titleStart), sql.substr(pathStart, pathEnd - pathStart));
}

CCardExporter::Result CCardExporter::ExportFolder(long folderId, const std::string& path)
{
    CFieldCatalogue catalogue(m_database);
    std::string selectList;
    for (const CardField& field : catalogue.Load(true))
        selectList += "a." + field.fieldName + " AS " + SqlQuoteIdentifier(field.caption) + ",";
    selectList += "b.name AS 组名";
    std::string source = "tbl_card A LEFT OUTER JOIN tbl_card_folder B ON A.folder_id = B.id ";
    if (folderId != 0)
        source += "WHERE a.folder_id = " + std::to_string(folderId) + " ";
    return ExportQuery(selectList, source + "ORDER BY a.id", FolderSheetName(folderId), path);
}

CCardExporter::Result CCardExporter::ExportRows(const std::string& path, const std::string& title,
    const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows)
{
    m_rowsWritten = 0;
    CSpreadSheet sheet;
    if (!sheet.Create(path, title) || !sheet.AddHeaders(headers)) {
        m_lastError = sheet.GetLastError();
        return Result::Failed;
    }
    for (const auto& row : rows) {
        if (stopped())
            return Result::Cancelled;
        if (!sheet.AddRow(row)) {
            m_lastError = sheet.GetLastError();
            return Result::Failed;
        }
        if (++m_rowsWritten % kProgressStep == 0 && m_observer)
            m_observer->progressed(static_cast<std::size_t>(m_rowsWritten), rows.size());
    }
    if (!sheet.Commit()) {
        m_lastError = sheet.GetLastError();
        return Result::Failed;
    }
    return Result::Done;
}

} // namespace telvora
