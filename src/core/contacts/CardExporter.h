#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CProgressObserver;

/// An export in the Jet form's three parts: "SELECT " + selectList + " FROM " + fromClause
/// into a sheet named title.
struct SheetQuery
{
    std::string selectList;
    std::string fromClause;
    std::string title;
};

/// The address book's exports to spreadsheet files (.xlsx, or .csv by the file name). The
/// query export runs a SELECT and writes its rows under its column captions; the list
/// export writes rows a window shows. Both can be cancelled through the stop flag: the
/// unfinished file is removed again.
class CCardExporter final
{
public:
    enum class Result { Done, Cancelled, Failed };

    explicit CCardExporter(
        CADODataBase& database, CProgressObserver* observer = nullptr, const std::atomic<bool>* stop = nullptr);

    /// "SELECT " + selectList + " FROM " + fromClause into a sheet named title.
    Result ExportQuery(const std::string& selectList, const std::string& fromClause, const std::string& title,
        const std::string& path);
    Result ExportQuery(const SheetQuery& query, const std::string& path);
    /// A statement in the Jet form "SELECT list INTO [Excel 8.0;DATABASE=path].[title] FROM
    /// source": runs the SELECT and writes the sheet; Failed for any other statement.
    Result RunJetExport(const std::string& sql);
    /// The cards whose home is folderId (all cards for 0) with the active catalogue fields
    /// under their captions and the folder name as "组名".
    Result ExportFolder(long folderId, const std::string& path);
    /// Rows as a window shows them, under headers.
    Result ExportRows(const std::string& path, const std::string& title, const std::vector<std::string>& headers,
        const std::vector<std::vector<std::string>>& rows);

    /// "所有客户资料" for all folders, "客户资料" for one.
    static std::string FolderSheetName(long folderId);
    /// The name an export's save dialog proposes: the title with ".xlsx".
    static std::string DefaultFileName(const std::string& title);

    int GetRowsWritten() const { return m_rowsWritten; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool stopped() const { return m_stop && m_stop->load(); }

    CADODataBase& m_database;
    CProgressObserver* m_observer;
    const std::atomic<bool>* m_stop;
    int m_rowsWritten = 0;
    std::string m_lastError;
};

} // namespace telvora
