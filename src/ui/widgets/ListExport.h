#pragma once

#include <QString>
#include <QVector>
#include <string>
#include <vector>

class QTreeWidget;
class QWidget;

namespace telvora {

class Prompter;

// The texts of a list as a spreadsheet receives them: the captions, then one row each.
struct ExportTable
{
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

// Every column and row of a plain list, in the order shown.
ExportTable TableOfList(const QTreeWidget& list);

struct ListExportResult
{
    enum class Outcome { Cancelled, Done, Failed };
    Outcome outcome = Outcome::Cancelled;
    QString path; // the file chosen, empty when cancelled
};

// Asks for the file with the save dialog (the title plus ".xlsx" proposed, ".csv" also
// offered) and writes the table into a sheet named title. Messages are the caller's: the
// views tell the outcome in words of their own.
ListExportResult ExportTableToFile(
    Prompter& prompter, QWidget* parent, const std::string& title, const ExportTable& table);

} // namespace telvora
