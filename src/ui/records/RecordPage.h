#pragma once

#include "app/ViewServices.h"
#include "widgets/ListExport.h"

#include <QWidget>
#include <optional>

class QPushButton;

namespace telvora {

class ReportView;

// A page of the records tab: its list takes the search text of the tab's search box.
class CRecordPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRecordPage)

public:
    CRecordPage(ViewServices dependencies, QWidget* parent);
    ~CRecordPage() override;

    virtual ReportView* listView() const = 0;
    // Redraws only when the text differs from the list's filter.
    void setSearchText(const QString& text);
    QPushButton* button(const QString& caption) const;

protected:
    // Hints after which every record page reloads: the login switches the working database
    // (hint 7), a restore replaces it (hint 6). Card changes (7 too) rename the repliers.
    static bool databaseChanged(int hint);
    // The focused row's cell to the clipboard; without a focused row the user is told.
    void copyFocusedCell(int column, const QString& noFocusText);
    // The numbers of the selected rows, one "手工添加" row each, to the send page.
    void handOverSelectedNumbers(int phoneColumn, const QString& noSelectionText);
    // The rows the filter lets through into a spreadsheet the user picks, in the order
    // shown or, for a list whose grouping is only for reading, in the list's own order.
    // Nothing when the list is empty: the user is told noRowsText.
    enum class RowOrder { Shown, Listed };
    std::optional<ListExportResult> exportRows(const std::string& title, RowOrder order, const QString& noRowsText);
    // exportRows in the list's order, closed with "导出<title>到[<file>]完成！" or a failure.
    void exportListedRows(const std::string& title, const QString& noRowsText);

    ViewServices m_deps;
};

} // namespace telvora
