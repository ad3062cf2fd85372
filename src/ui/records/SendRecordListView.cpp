#include "records/SendRecordListView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "records/RecordExports.h"
#include "records/RecordTexts.h"
#include "records/SMSDetailDlg.h"
#include "records/SendHistory.h"
#include "send/SendEngine.h"
#include "widgets/ListExport.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvora {

CSendRecordListView::CSendRecordListView(ViewServices dependencies, QWidget* parent)
    : CRecordPage(dependencies, parent)
    , m_list(new ReportView(this))
    , m_byDate(new QCheckBox(QStringLiteral("按日期分组"), this))
    , m_byType(new QCheckBox(QStringLiteral("按类型分组"), this))
    , m_buttons(new QHBoxLayout)
{
    m_list->setSortingEnabled(false);
    m_buttons->addWidget(m_byDate);
    m_buttons->addWidget(m_byType);
    m_buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(m_buttons);

    addButton(QStringLiteral("查看明细"));
    connect(button(QStringLiteral("查看明细")), &QPushButton::clicked, this, &CSendRecordListView::onViewDetail);
    connect(m_list, &ReportView::rowDoubleClicked, this, [this](int) { onViewDetail(); });
    connect(m_list, &ReportView::contextMenuRequested, this,
        [this](const QPoint& position) { contextMenu()->popup(position); });
    connect(m_byDate, &QCheckBox::clicked, this, [this](bool checked) { regroup(ColDay, checked); });
    connect(m_byType, &QCheckBox::clicked, this, [this](bool checked) { regroup(ColType, checked); });
    m_deps.hints.listen(this, &CSendRecordListView::onHint);
}

CSendRecordListView::~CSendRecordListView() = default;

void CSendRecordListView::setColumns(const QVector<ReportColumn>& columns)
{
    m_list->setColumns(QVector<ReportColumn> {{QStringLiteral("PID"), 0, true}} + columns);
}

QPushButton* CSendRecordListView::addButton(const QString& caption)
{
    auto* pushButton = new QPushButton(caption, this);
    m_buttons->addWidget(pushButton);
    return pushButton;
}

QMenu* CSendRecordListView::contextMenu()
{
    delete m_menu;
    m_menu = new QMenu(this);
    m_menu->addAction(QStringLiteral("拷贝内容"), this, &CSendRecordListView::onCopyContent);
    m_menu->addAction(QStringLiteral("查看明细"), this, &CSendRecordListView::onViewDetail);
    m_menu->addAction(QStringLiteral("删除记录"), this, &CSendRecordListView::onDelete);
    m_menu->addAction(QStringLiteral("清空记录"), this, &CSendRecordListView::onClear);
    m_menu->addAction(QStringLiteral("导出记录"), this, &CSendRecordListView::onExport);
    const int focused = m_list->focusedRow();
    QAction* resume = m_menu->addAction(QStringLiteral("继续发送"), this, &CSendRecordListView::onResume);
    resume->setEnabled(focused >= 0 && m_interrupted.contains(m_list->rowData(focused).toLongLong()));
    addMenuItems(m_menu);
    return m_menu;
}

void CSendRecordListView::onHint(int hint)
{
    if (hint == HintBroadcaster::SendRecordsChanged || databaseChanged(hint))
        reload();
}

void CSendRecordListView::reload()
{
    m_interrupted.clear();
    for (const InterruptedSend& send : m_deps.engine.FindInterrupted())
        m_interrupted.insert(send.recordId, {send.notPosted, send.unknown});
    QVector<ReportRow> rows;
    for (const SendRecord& record : records()) {
        ReportRow row(QStringList {QString::number(record.id)} + cells(record, static_cast<int>(rows.size()) + 1),
            QVariant::fromValue<qint64>(record.id));
        rows.append(std::move(row));
    }
    m_list->setRows(std::move(rows));
}

QString CSendRecordListView::typeText(const SendRecord& record) const
{
    const QString type = QString::fromStdString(SendModeText(record.sendMode));
    return m_interrupted.contains(record.id) ? type + QStringLiteral("（中断）") : type;
}

bool CSendRecordListView::refuseWhileSending()
{
    if (!m_deps.engine.IsBusy())
        return false;
    m_deps.prompter.information(this, QStringLiteral("短信发送任务尚未完成，不能删除发送记录!"));
    return true;
}

void CSendRecordListView::onResume()
{
    const long id = focusedRecord();
    if (id == 0)
        return;
    if (m_deps.engine.IsBusy()) {
        m_deps.prompter.information(this, QStringLiteral("短信发送任务尚未完成，请稍后再继续发送!"));
        return;
    }
    const auto found = m_interrupted.constFind(id);
    if (found == m_interrupted.constEnd()) {
        m_deps.prompter.information(this, QStringLiteral("该记录的号码已全部发送，无需继续发送!"));
        return;
    }
    const auto [notPosted, unknown] = *found;
    // Numbers posted without an answer may have arrived: sending them again can deliver twice.
    const bool includeUnknown = unknown > 0
        && m_deps.prompter.question(
            this, QStringLiteral("该记录有%1个号码发送结果未知，可能已经送达。是否一并重发？").arg(unknown));
    const long count = notPosted + (includeUnknown ? unknown : 0);
    if (count == 0)
        return;
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要继续发送该记录中尚未发送的%1个号码？").arg(count)))
        return;
    // The user's OK is the consent to send a scheduled record whose time has passed.
    if (!m_deps.engine.ResumeSend(static_cast<int>(id), includeUnknown, true)) {
        m_deps.prompter.error(this, QString::fromStdString(m_deps.engine.GetLastError()));
        return;
    }
    m_deps.frame.setStatusText(QStringLiteral("短信正在发送，请不要退出软件!"));
}

void CSendRecordListView::regroup(int column, bool checked)
{
    m_list->setGroupColumn(-1);
    if (checked)
        m_list->setGroupColumn(column);
}

long CSendRecordListView::focusedRecord()
{
    const int row = m_list->focusedRow();
    if (row < 0) {
        m_deps.prompter.information(this, QStringLiteral("请先选择一条记录!"));
        return 0;
    }
    return static_cast<long>(m_list->rowData(row).toLongLong());
}

void CSendRecordListView::onCopyContent()
{
    copyFocusedCell(ColContent, QStringLiteral("请先选择一条记录!"));
}

void CSendRecordListView::onViewDetail()
{
    const long id = focusedRecord();
    if (id == 0)
        return;
    const std::optional<SendRecord> record = CSendHistory(m_deps.app.GetDatabase()).Find(id);
    if (!record)
        return;
    auto* dialog = new CSMSDetailDlg(
        m_deps.app.GetDatabase(), m_deps.prompter, id, record->sendMode, QString::fromStdString(record->content), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) { onDetailFinished(dialog, result); });
    dialog->open();
    emit detailDialogOpened(dialog);
}

void CSendRecordListView::onDetailFinished(CSMSDetailDlg* dialog, int result)
{
    if (result != QDialog::Accepted || dialog->numbers().empty())
        return;
    handOver(*dialog);
    m_deps.frame.showPage(QStringLiteral("短信群发"), HintBroadcaster::NumbersHandedOver);
}

void CSendRecordListView::onExport()
{
    if (m_list->rowCount() == 0) {
        m_deps.prompter.information(this, QStringLiteral("没有可导出的短信发送记录!"));
        return;
    }
    TellExportOutcome(m_deps.prompter, this,
        ExportQueryToFile(m_deps.prompter, this, m_deps.app.GetDatabase(), exportQuery()),
        QStringLiteral("导出短信发送成功"), QStringLiteral("导出短信发送失败"));
}

void CSendRecordListView::deleteRecords(const QVector<qint64>& ids)
{
    CSendHistory history(m_deps.app.GetDatabase());
    QVector<qint64> deleted;
    for (qint64 id : ids) {
        if (history.Delete(static_cast<long>(id)))
            deleted.append(id);
    }
    m_list->removeRows(m_list->rowsOfRecords(deleted));
    if (deleted.size() < ids.size())
        m_deps.prompter.error(
            this, QStringLiteral("删除发送记录失败：") + QString::fromStdString(history.GetLastError()));
}

} // namespace telvora
