#include "records/RecordPage.h"

#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "send/RecipientHandOver.h"
#include "widgets/ReportView.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <algorithm>

namespace telvora {

CRecordPage::CRecordPage(ViewServices dependencies, QWidget* parent)
    : QWidget(parent)
    , m_deps(dependencies)
{ }

CRecordPage::~CRecordPage() = default;

void CRecordPage::setSearchText(const QString& text)
{
    if (listView()->filterText() != text)
        listView()->setFilterText(text);
}

bool CRecordPage::databaseChanged(int hint)
{
    return hint == HintBroadcaster::AllDataReplaced || hint == HintBroadcaster::AddressBookChanged;
}

QPushButton* CRecordPage::button(const QString& caption) const
{
    for (QPushButton* pushButton : findChildren<QPushButton*>()) {
        if (pushButton->text() == caption)
            return pushButton;
    }
    return nullptr;
}

void CRecordPage::copyFocusedCell(int column, const QString& noFocusText)
{
    const int row = listView()->focusedRow();
    if (row < 0) {
        m_deps.prompter.information(this, noFocusText);
        return;
    }
    QApplication::clipboard()->setText(listView()->cell(row, column));
}

void CRecordPage::handOverSelectedNumbers(int phoneColumn, const QString& noSelectionText)
{
    const QVector<int> rows = listView()->selectedRows();
    if (rows.isEmpty()) {
        m_deps.prompter.information(this, noSelectionText);
        return;
    }
    (void)m_deps.handOver.takeSingleNumbers();
    for (int row : rows)
        m_deps.handOver.handOverNumber(listView()->cell(row, phoneColumn).toStdString());
    m_deps.frame.showPage(QStringLiteral("短信群发"), HintBroadcaster::NumbersHandedOver);
}

std::optional<ListExportResult> CRecordPage::exportRows(
    const std::string& title, RowOrder order, const QString& noRowsText)
{
    if (listView()->rowCount() == 0) {
        m_deps.prompter.information(this, noRowsText);
        return std::nullopt;
    }
    QVector<int> rows = listView()->shownRows();
    if (order == RowOrder::Listed)
        std::sort(rows.begin(), rows.end());
    return ExportTableToFile(m_deps.prompter, this, title, TableOfReport(*listView(), rows));
}

void CRecordPage::exportListedRows(const std::string& title, const QString& noRowsText)
{
    const std::optional<ListExportResult> result = exportRows(title, RowOrder::Listed, noRowsText);
    const QString what = QString::fromStdString(title);
    if (result)
        TellExportOutcome(m_deps.prompter, this, *result, QStringLiteral("导出%1到[%2]完成！").arg(what, result->path),
            QStringLiteral("导出%1失败！").arg(what));
}

} // namespace telvora
