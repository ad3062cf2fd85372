#include "widgets/ListExport.h"

#include "app/Prompter.h"
#include "contacts/CardExporter.h"
#include "db/ADODataBase.h"
#include "widgets/ReportView.h"

#include <QTreeWidget>

namespace telvora {

namespace {

ListExportResult::Outcome outcomeOf(bool written)
{
    return written ? ListExportResult::Outcome::Done : ListExportResult::Outcome::Failed;
}

} // namespace

ExportTable TableOfList(const QTreeWidget& list)
{
    ExportTable table;
    const QTreeWidgetItem* header = list.headerItem();
    for (int column = 0; column < list.columnCount(); ++column)
        table.headers.push_back(header->text(column).toStdString());
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        std::vector<std::string> cells;
        for (int column = 0; column < list.columnCount(); ++column)
            cells.push_back(item->text(column).toStdString());
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ExportTable TableOfReport(const ReportView& report, const QVector<int>& rows)
{
    ExportTable table;
    const QVector<int> columns = report.visibleColumns();
    for (const int column : columns)
        table.headers.push_back(report.column(column).caption.toStdString());
    for (const int row : rows) {
        std::vector<std::string> cells;
        for (const int column : columns)
            cells.push_back(report.cell(row, column).toStdString());
        table.rows.push_back(std::move(cells));
    }
    return table;
}

QString AskExportPath(Prompter& prompter, QWidget* parent, const std::string& title)
{
    return prompter.getSaveFileName(parent,
        FileRequest {QStringLiteral("输入要导入的文件名"),
            QString::fromStdString(CCardExporter::DefaultFileName(title)),
            QStringLiteral("Excel Files (*.xlsx);;CSV Files (*.csv)"), QStringLiteral("xlsx")});
}

bool WriteTableToFile(const QString& path, const std::string& title, const ExportTable& table)
{
    // Writing shown rows reads no database; the exporter only wants one to hold.
    CADODataBase unused;
    return CCardExporter(unused).ExportRows(path.toStdString(), title, table.headers, table.rows)
        == CCardExporter::Result::Done;
}

ListExportResult ExportTableToFile(
    Prompter& prompter, QWidget* parent, const std::string& title, const ExportTable& table)
{
    ListExportResult result;
    result.path = AskExportPath(prompter, parent, title);
    if (!result.path.isEmpty())
        result.outcome = outcomeOf(WriteTableToFile(result.path, title, table));
    return result;
}

ListExportResult ExportQueryToFile(Prompter& prompter, QWidget* parent, CADODataBase& database, const SheetQuery& query)
{
    ListExportResult result;
    result.path = AskExportPath(prompter, parent, query.title);
    if (!result.path.isEmpty())
        result.outcome = outcomeOf(
            CCardExporter(database).ExportQuery(query, result.path.toStdString()) == CCardExporter::Result::Done);
    return result;
}

void TellExportOutcome(
    Prompter& prompter, QWidget* parent, const ListExportResult& result, const QString& done, const QString& failed)
{
    if (result.outcome != ListExportResult::Outcome::Cancelled)
        prompter.information(parent, result.outcome == ListExportResult::Outcome::Done ? done : failed);
}

} // namespace telvora
