#pragma once

#include <QString>
#include <QVector>
#include <string>
#include <vector>

class QTreeWidget;
class QWidget;

namespace telvora {

class CADODataBase;
class Prompter;
class ReportView;
struct SheetQuery;

// The texts of a list as a spreadsheet receives them: the captions, then one row each.
struct ExportTable
{
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

// Every column and row of a plain list, in the order shown.
ExportTable TableOfList(const QTreeWidget& list);
// The visible columns of a report, in the order shown, for the given rows.
ExportTable TableOfReport(const ReportView& report, const QVector<int>& rows);

struct ListExportResult
{
    enum class Outcome { Cancelled, Done, Failed };
    Outcome outcome = Outcome::Cancelled;
    QString path; // the file chosen, empty when cancelled
};

// The save dialog of every spreadsheet export: the title plus ".xlsx" proposed, ".csv"
// also offered. Empty when the user cancels.
QString AskExportPath(Prompter& prompter, QWidget* parent, const std::string& title);
// The table into a sheet named title; false when the file cannot be written.
bool WriteTableToFile(const QString& path, const std::string& title, const ExportTable& table);

// Asks for the file and writes the table into a sheet named title. Messages are the
// caller's: the views tell the outcome in words of their own.
ListExportResult ExportTableToFile(
    Prompter& prompter, QWidget* parent, const std::string& title, const ExportTable& table);
// Asks for the file and writes what the query selects from the database.
ListExportResult ExportQueryToFile(
    Prompter& prompter, QWidget* parent, CADODataBase& database, const SheetQuery& query);
// Tells the user how a finished export went; a cancelled one needs no words.
void TellExportOutcome(
    Prompter& prompter, QWidget* parent, const ListExportResult& result, const QString& done, const QString& failed);

} // namespace telvora
