#include "records/RecordPage.h"

#include "widgets/ReportView.h"

namespace telvora {

CRecordPage::~CRecordPage() = default;

void CRecordPage::setSearchText(const QString& text)
{
    if (listView()->filterText() != text)
        listView()->setFilterText(text);
}

} // namespace telvora
