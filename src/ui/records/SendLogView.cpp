#include "records/SendLogView.h"

#include "app/AppContext.h"
#include "app/Prompter.h"
#include "records/RecordExports.h"
#include "records/RecordTexts.h"
#include "records/SMSDetailDlg.h"
#include "records/SendHistory.h"
#include "send/RecipientHandOver.h"
#include "tools/NumberTextFile.h"
#include "widgets/ReportView.h"

#include <QMenu>
#include <QPushButton>

namespace telvora {

CSendLogView::CSendLogView(ViewServices dependencies, QWidget* parent)
    : CSendRecordListView(dependencies, parent)
{
    setColumns(
        {{QStringLiteral("序号"), 50, false, true}, {QStringLiteral("发送类型"), 80}, {QStringLiteral("时间"), 130},
            {QStringLiteral("已发送"), 70, false, true}, {QStringLiteral("发送异常"), 70, false, true},
            {QStringLiteral("短信内容"), 300}, {QStringLiteral("时间"), 0, true}});
    connect(addButton(QStringLiteral("删除")), &QPushButton::clicked, this, &CSendLogView::onDelete);
    connect(addButton(QStringLiteral("清空")), &QPushButton::clicked, this, &CSendLogView::onClear);
    connect(addButton(QStringLiteral("导出")), &QPushButton::clicked, this, &CSendLogView::onExport);
    reload();
}

CSendLogView::~CSendLogView() = default;

std::vector<SendRecord> CSendLogView::records()
{
    return CSendHistory(m_deps.app.GetDatabase()).ListSent();
}

SheetQuery CSendLogView::exportQuery() const
{
    return SendListExport(false);
}

QStringList CSendLogView::cells(const SendRecord& record, int position)
{
    return {QString::number(position), typeText(record),
        QString::fromStdString(record.sendTime.valid ? record.sendTime.format("%Y-%m-%d %H:%M") : ""),
        QString::number(record.successCount + record.failCount), QString::number(record.failCount),
        QString::fromStdString(record.content),
        QString::fromStdString(record.sendTime.valid ? record.sendTime.format("%Y-%m-%d") : "")};
}

void CSendLogView::addMenuItems(QMenu* menu)
{
    menu->addSeparator();
    menu->addAction(QStringLiteral("提取已发送号码"), this, &CSendLogView::onExtractNumbers);
}

void CSendLogView::handOver(const CSMSDetailDlg& dialog)
{
    m_deps.handOver.handOverRecipients(dialog.numbers(), dialog.counts());
}

void CSendLogView::onDelete()
{
    if (refuseWhileSending())
        return;
    const QVector<qint64> ids = listView()->recordIds(listView()->selectedRows());
    if (ids.isEmpty()) {
        m_deps.prompter.information(this, QStringLiteral("请选择要删除的发送记录!"));
        return;
    }
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要删除选中的发送记录及所有明细记录？")))
        return;
    deleteRecords(ids);
}

void CSendLogView::onClear()
{
    if (refuseWhileSending())
        return;
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要清空所有发送记录？")))
        return;
    CSendHistory history(m_deps.app.GetDatabase());
    if (!history.ClearSent())
        m_deps.prompter.error(
            this, QStringLiteral("清空发送记录失败：") + QString::fromStdString(history.GetLastError()));
    reload();
}

void CSendLogView::onExtractNumbers()
{
    const long id = focusedRecord();
    if (id == 0)
        return;
    const std::vector<std::string> numbers = CSendHistory(m_deps.app.GetDatabase()).SentNumbers(id);
    if (numbers.empty()) {
        m_deps.prompter.information(this, QStringLiteral("未提取到发送记录!"));
        return;
    }
    const QString path = m_deps.prompter.getSaveFileName(this,
        FileRequest {QStringLiteral("请输入要导出的文件名"),
            QString::fromStdString(m_deps.app.GetApplicationDirectory()) + QStringLiteral("提取已发送号码.txt"),
            QStringLiteral("txt Files (*.txt)"), QStringLiteral("txt")});
    if (path.isEmpty())
        return;
    if (!AppendNumberLines(path.toStdString(), std::vector<std::string_view>(numbers.begin(), numbers.end())))
        m_deps.prompter.information(this, QStringLiteral("创建导出文件失败!"));
}

} // namespace telvora
