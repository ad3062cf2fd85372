#include "records/IdleSendLogView.h"

#include "app/AppContext.h"
#include "app/Prompter.h"
#include "records/RecordTexts.h"
#include "records/SMSDetailDlg.h"
#include "records/ScheduledCanceller.h"
#include "records/SendHistory.h"
#include "send/RecipientHandOver.h"
#include "session/Session.h"
#include "widgets/ReportView.h"

#include <QMenu>
#include <QPushButton>
#include <numeric>

namespace telvora {

CIdleSendLogView::CIdleSendLogView(RecordViewDependencies dependencies, QWidget* parent)
    : CSendRecordListView(dependencies, parent)
{
    setColumns({{QStringLiteral("定时状态"), 80}, {QStringLiteral("定时类型"), 80}, {QStringLiteral("时间"), 130},
        {QStringLiteral("已提交"), 70, false, true}, {QStringLiteral("提交异常"), 70, false, true},
        {QStringLiteral("短信内容"), 300}, {QStringLiteral("时间"), 0, true}, {QStringLiteral("JOBID"), 0, true}});
    connect(addButton(QStringLiteral("删除")), &QPushButton::clicked, this, &CIdleSendLogView::onDelete);
    connect(addButton(QStringLiteral("清空")), &QPushButton::clicked, this, &CIdleSendLogView::onClear);
    connect(addButton(QStringLiteral("取消发送")), &QPushButton::clicked, this, &CIdleSendLogView::onCancelSend);
    reload();
}

CIdleSendLogView::~CIdleSendLogView() = default;

std::vector<SendRecord> CIdleSendLogView::records()
{
    return CSendHistory(m_deps.app.GetDatabase()).List(true);
}

QStringList CIdleSendLogView::cells(const SendRecord& record, int)
{
    return {QString::fromStdString(ScheduledStatusText(record, DateTime::now())),
        QString::fromStdString(SendModeText(record.sendMode)),
        QString::fromStdString(record.sendTime.valid ? record.sendTime.format("%Y-%m-%d %H:%M") : ""),
        QString::number(record.successCount + record.failCount), QString::number(record.failCount),
        QString::fromStdString(record.content),
        QString::fromStdString(record.sendTime.valid ? record.sendTime.format("%Y-%m-%d") : ""),
        QString::fromStdString(record.jobIds)};
}

void CIdleSendLogView::addMenuItems(QMenu* menu)
{
    menu->addAction(QStringLiteral("取消发送"), this, &CIdleSendLogView::onCancelSend);
}

void CIdleSendLogView::handOver(const CSMSDetailDlg& dialog)
{
    for (const std::string& number : dialog.numbers())
        m_deps.handOver.handOverNumber(number);
}

QVector<qint64> CIdleSendLogView::removable(const QVector<int>& rows) const
{
    QVector<int> kept;
    for (int row : rows) {
        if (listView()->cell(row, ColStatus) != QString::fromUtf8(kScheduledPendingStatus))
            kept.append(row);
    }
    return listView()->recordIds(kept);
}

void CIdleSendLogView::onDelete()
{
    const QVector<int> rows = listView()->selectedRows();
    if (rows.isEmpty()) {
        m_deps.prompter.information(this, QStringLiteral("请选择要删除的发送记录!"));
        return;
    }
    const QVector<qint64> ids = removable(rows);
    if (!m_deps.prompter.question(
            this, QStringLiteral("您确认要删除选中的发送记录及所有明细记录,定时尚未发送的记录不可以清空？")))
        return;
    deleteRecords(ids);
}

void CIdleSendLogView::onClear()
{
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要清空所有发送记录,定时尚未发送的记录不可以清空？")))
        return;
    QVector<int> all(listView()->rowCount());
    std::iota(all.begin(), all.end(), 0);
    deleteRecords(removable(all));
}

void CIdleSendLogView::onCancelSend()
{
    const QVector<qint64> ids = listView()->recordIds(listView()->selectedRows());
    if (ids.isEmpty()) {
        m_deps.prompter.information(this, QStringLiteral("请选择要取消的定时记录!"));
        return;
    }
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要取消选中的所有定时短信记录？")))
        return;
    CSendHistory history(m_deps.app.GetDatabase());
    CScheduledCanceller canceller(m_deps.app.GetDatabase(), m_deps.service, m_deps.session.token);
    for (qint64 id : ids) {
        const std::optional<SendRecord> record = history.Find(static_cast<long>(id));
        if (!record)
            continue;
        switch (canceller.Cancel(*record, DateTime::now())) {
        case CScheduledCanceller::Outcome::Skipped:
            break;
        case CScheduledCanceller::Outcome::Cancelled:
            if (const int row = listView()->rowOfRecord(id); row >= 0)
                listView()->setCell(row, ColStatus, QString::fromUtf8(kCancelledStatus));
            break;
        case CScheduledCanceller::Outcome::Failed:
            m_deps.prompter.information(this, QStringLiteral("定时短信取消失败，请与我们客服及时联系!"));
            break;
        }
    }
}

} // namespace telvora
