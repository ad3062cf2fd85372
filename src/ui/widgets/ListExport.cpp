#include "widgets/ListExport.h"

#include "app/Prompter.h"
#include "contacts/CardExporter.h"
#include "db/ADODataBase.h"

#include <QTreeWidget>

namespace telvora {

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

ListExportResult ExportTableToFile(
    Prompter& prompter, QWidget* parent, const std::string& title, const ExportTable& table)
{
    ListExportResult result;
    result.path = prompter.getSaveFileName(parent,
        FileRequest {QStringLiteral("输入要导入的文件名"),
            QString::fromStdString(CCardExporter::DefaultFileName(title)),
            QStringLiteral("Excel Files (*.xlsx);;CSV Files (*.csv)"), QStringLiteral("xlsx")});
    if (result.path.isEmpty())
        return result;
    // Writing shown rows reads no database; the exporter only wants one to hold.
    CADODataBase unused;
    const CCardExporter::Result written
        = CCardExporter(unused).ExportRows(result.path.toStdString(), title, table.headers, table.rows);
    result.outcome
        = written == CCardExporter::Result::Done ? ListExportResult::Outcome::Done : ListExportResult::Outcome::Failed;
    return result;
}

} // namespace telvora
