#include "records/IdleSendLogView.h"

#include "app/AppContext.h"
#include "app/Prompter.h"
#include "records/RecordExports.h"
#include "records/RecordTexts.h"
#include "records/SMSDetailDlg.h"
#include "records/ScheduledCanceller.h"
#include "records/SendHistory.h"
#include "send/RecipientHandOver.h"
#include "service/ServiceClient.h"
#include "session/Session.h"
#include "widgets/ReportView.h"

#include <QFutureWatcher>
#include <QMenu>
#include <QPushButton>
#include <QtConcurrent>
#include <numeric>

namespace telvora {

CIdleSendLogView::CIdleSendLogView(ViewServices dependencies, QWidget* parent)
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

SheetQuery CIdleSendLogView::exportQuery() const
{
    return SendListExport(true);
}

QStringList CIdleSendLogView::cells(const SendRecord& record, int)
{
    return {QString::fromStdString(ScheduledStatusText(record, DateTime::now())), typeText(record),
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
    if (refuseWhileSending())
        return;
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
    if (refuseWhileSending())
        return;
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要清空所有发送记录,定时尚未发送的记录不可以清空？")))
        return;
    QVector<int> all(listView()->rowCount());
    std::iota(all.begin(), all.end(), 0);
    deleteRecords(removable(all));
}

void CIdleSendLogView::onCancelSend()
{
    if (m_cancelling)
        return;
    const QVector<qint64> ids = listView()->recordIds(listView()->selectedRows());
    if (ids.isEmpty()) {
        m_deps.prompter.information(this, QStringLiteral("请选择要取消的定时记录!"));
        return;
    }
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要取消选中的所有定时短信记录？")))
        return;
    // Records already sent or cancelled are left alone; the clock decides, not the cell.
    CSendHistory history(m_deps.app.GetDatabase());
    const DateTime now = DateTime::now();
    QVector<qint64> pending;
    std::vector<std::string> jobLists;
    for (qint64 id : ids) {
        const std::optional<SendRecord> record = history.Find(static_cast<long>(id));
        if (record && ScheduledStatusText(*record, now) == kScheduledPendingStatus) {
            pending.append(id);
            jobLists.push_back(record->jobIds);
        }
    }
    m_cancelling = true;
    button(QStringLiteral("取消发送"))->setEnabled(false);
    auto* watcher = new QFutureWatcher<QVector<bool>>(this);
    connect(watcher, &QFutureWatcher<QVector<bool>>::finished, this, [this, watcher, pending]() {
        watcher->deleteLater();
        onCancelCallsDone(pending, watcher->result());
    });
    CServiceClient& service = m_deps.service;
    const std::string token = m_deps.session.token;
    watcher->setFuture(QtConcurrent::run([&service, token, jobLists]() {
        QVector<bool> cancelled;
        for (const std::string& jobs : jobLists)
            cancelled.append(CScheduledCanceller::PostCancel(service, token, jobs));
        return cancelled;
    }));
}

void CIdleSendLogView::onCancelCallsDone(const QVector<qint64>& ids, const QVector<bool>& cancelled)
{
    CScheduledCanceller canceller(m_deps.app.GetDatabase(), m_deps.service, m_deps.session.token);
    for (int i = 0; i < ids.size(); ++i) {
        if (!cancelled.value(i)) {
            m_deps.prompter.information(this, QStringLiteral("定时短信取消失败，请与我们客服及时联系!"));
            continue;
        }
        canceller.MarkCancelled(static_cast<long>(ids[i]));
        if (const int row = listView()->rowOfRecord(ids[i]); row >= 0)
            listView()->setCell(row, ColStatus, QString::fromUtf8(kCancelledStatus));
    }
    m_cancelling = false;
    button(QStringLiteral("取消发送"))->setEnabled(true);
    emit cancelFinished();
}

} // namespace telvora
