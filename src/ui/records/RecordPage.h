#pragma once

#include <QWidget>

namespace telvora {

class ReportView;

// A page of the records tab: its list takes the search text of the tab's search box.
class CRecordPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRecordPage)

public:
    using QWidget::QWidget;
    ~CRecordPage() override;

    virtual ReportView* listView() const = 0;
    // Redraws only when the text differs from the list's filter.
    void setSearchText(const QString& text);
};

} // namespace telvora
