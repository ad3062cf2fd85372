#pragma once

#include "app/ViewServices.h"

#include <QWidget>

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

    ViewServices m_deps;
};

} // namespace telvora
