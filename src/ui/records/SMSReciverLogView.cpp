#include "records/SMSReciverLogView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "records/ReceivedMessageList.h"
#include "tools/RegionTable.h"
#include "widgets/ReportView.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace telvora {

namespace {

QIcon readIcon(bool read)
{
    return QApplication::style()->standardIcon(read ? QStyle::SP_DialogOpenButton : QStyle::SP_MessageBoxInformation);
}

} // namespace

CSMSReciverLogView::CSMSReciverLogView(ViewServices dependencies, QWidget* parent)
    : CRecordPage(dependencies, parent)
    , m_list(new ReportView(this))
    , m_byDate(new QCheckBox(QStringLiteral("按日期分组"), this))
{
    m_list->setColumns(
        {{QStringLiteral("PID"), 0, true}, {QStringLiteral("Message Class"), 28}, {QStringLiteral("姓名"), 80},
            {QStringLiteral("手机号码"), 120}, {QStringLiteral("号码归属"), 120}, {QStringLiteral("接收时间"), 130},
            {QStringLiteral("接收内容"), 400}, {QStringLiteral("时间"), 0, true}, {QStringLiteral("CUSID"), 0, true}});
    m_list->setIconColumn(ColIcon);
    m_list->setSortingEnabled(false);
    m_list->setAlternatingRowColors(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_byDate);
    buttons->addStretch(1);
    for (const QString& caption :
        {QStringLiteral("短信回复"), QStringLiteral("删除"), QStringLiteral("清空"), QStringLiteral("导出")})
        buttons->addWidget(new QPushButton(caption, this));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(button(QStringLiteral("短信回复")), &QPushButton::clicked, this, &CSMSReciverLogView::onReply);
    connect(button(QStringLiteral("删除")), &QPushButton::clicked, this, &CSMSReciverLogView::onDelete);
    connect(button(QStringLiteral("清空")), &QPushButton::clicked, this, &CSMSReciverLogView::onClear);
    connect(button(QStringLiteral("导出")), &QPushButton::clicked, this, &CSMSReciverLogView::onExport);
    connect(
        m_byDate, &QCheckBox::toggled, this, [this](bool checked) { m_list->setGroupColumn(checked ? ColDay : -1); });
    connect(m_list, &ReportView::rowDoubleClicked, this, &CSMSReciverLogView::markRead);
    connect(m_list, &ReportView::contextMenuRequested, this,
        [this](const QPoint& position) { contextMenu()->popup(position); });
    m_deps.hints.listen(this, &CSMSReciverLogView::onHint);
}

CSMSReciverLogView::~CSMSReciverLogView() = default;

QMenu* CSMSReciverLogView::contextMenu()
{
    delete m_menu;
    m_menu = new QMenu(this);
    m_menu->addAction(QStringLiteral("拷贝内容"), this, &CSMSReciverLogView::onCopyContent);
    m_menu->addAction(QStringLiteral("短信回复"), this, &CSMSReciverLogView::onReply);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("删除记录"), this, &CSMSReciverLogView::onDelete);
    m_menu->addAction(QStringLiteral("清空记录"), this, &CSMSReciverLogView::onClear);
    m_menu->addAction(QStringLiteral("导出记录"), this, &CSMSReciverLogView::onExport);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("查询回复号码资料"), this, &CSMSReciverLogView::onLookUpCard);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("手动刷新"), this, &CSMSReciverLogView::onManualRefresh);
    return m_menu;
}

void CSMSReciverLogView::showEvent(QShowEvent* event)
{
    CRecordPage::showEvent(event);
    if (!m_loaded)
        reload();
}

void CSMSReciverLogView::openRegions()
{
    if (m_regionsTried)
        return;
    m_regionsTried = true;
    std::string path;
    if (!PrepareRegionDatabase(m_deps.app.GetDataDirectory(), path) || !m_regions.OpenReadOnly(path))
        m_deps.prompter.information(this, QStringLiteral("打开号码查询数据库失败！"));
}

void CSMSReciverLogView::onHint(int hint)
{
    if ((hint == HintBroadcaster::ReceivedMessagesChanged || databaseChanged(hint)) && m_loaded)
        reload();
}

void CSMSReciverLogView::reload()
{
    openRegions();
    m_loaded = true;
    CReceivedMessageList messages(m_deps.app.GetDatabase(), [this](const std::string& phone) {
        std::string province;
        std::string city;
        if (!m_regions.IsOpen() || !QuerySegmentRegion(m_regions, phone, province, city))
            return std::string(CReceivedMessageList::kUnknownRegion);
        return province + "/" + city;
    });
    QVector<ReportRow> rows;
    for (const ReceivedRow& message : messages.Load()) {
        ReportRow row(
            {QString::number(message.id), QString(), QString::fromStdString(message.name),
                QString::fromStdString(message.phone), QString::fromStdString(message.region),
                QString::fromStdString(message.receiveTime.format("%Y-%m-%d %H:%M")),
                QString::fromStdString(message.content), QString::fromStdString(message.receiveTime.format("%Y-%m-%d")),
                message.cardId ? QString::number(*message.cardId) : QString()},
            QVariant::fromValue<qint64>(message.id));
        row.icon = readIcon(message.read);
        row.bold = !message.read;
        rows.append(std::move(row));
    }
    m_list->setRows(std::move(rows));
}

void CSMSReciverLogView::markRead(int row)
{
    if (row < 0 || !m_list->isBold(row))
        return;
    CReceivedMessageList messages(m_deps.app.GetDatabase());
    if (!messages.MarkRead(static_cast<long>(m_list->rowData(row).toLongLong())))
        return;
    m_list->setBold(row, false);
    m_list->setIcon(row, readIcon(true));
}

void CSMSReciverLogView::onCopyContent()
{
    copyFocusedCell(ColContent, QStringLiteral("请选择要查拷贝短信内容的记录!"));
}

void CSMSReciverLogView::onReply()
{
    handOverSelectedNumbers(ColPhone, QStringLiteral("请选择要回复短信的接收记录!"));
}

void CSMSReciverLogView::onDelete()
{
    const QVector<qint64> ids = m_list->recordIds(m_list->selectedRows());
    if (ids.isEmpty()) {
        m_deps.prompter.information(this, QStringLiteral("请选择要删除的短信回复记录!"));
        return;
    }
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要删除选中的短信回复记录？")))
        return;
    CReceivedMessageList messages(m_deps.app.GetDatabase());
    if (!messages.Delete(std::vector<long>(ids.begin(), ids.end()))) {
        m_deps.prompter.error(
            this, QStringLiteral("删除短信回复记录失败：") + QString::fromStdString(messages.GetLastError()));
        return;
    }
    m_list->removeRows(m_list->rowsOfRecords(ids));
}

void CSMSReciverLogView::onClear()
{
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要清空所有短信回复记录？")))
        return;
    CReceivedMessageList messages(m_deps.app.GetDatabase());
    if (!messages.Clear()) {
        m_deps.prompter.error(
            this, QStringLiteral("清空短信回复记录失败：") + QString::fromStdString(messages.GetLastError()));
        return;
    }
    m_list->clear();
}

void CSMSReciverLogView::onExport()
{
    const std::optional<ListExportResult> result
        = exportRows("短信回复记录", RowOrder::Shown, QStringLiteral("没有可导出的短信回复记录!"));
    if (!result)
        return;
    // A cancelled file dialog is answered like a failure here, as users of this list know it.
    m_deps.prompter.information(this,
        result->outcome == ListExportResult::Outcome::Done ? QStringLiteral("导出短信回复记录成功完成！")
                                                           : QStringLiteral("导出短信回复记录失败！"));
}

void CSMSReciverLogView::onLookUpCard()
{
    const int row = m_list->focusedRow();
    if (row < 0) {
        m_deps.prompter.information(this, QStringLiteral("请选择要查询客户资料的记录!"));
        return;
    }
    const std::optional<long> card
        = CReceivedMessageList(m_deps.app.GetDatabase()).CardIdOf(m_list->cell(row, ColPhone).toStdString());
    if (!card) {
        m_deps.prompter.information(this, QStringLiteral("没有找到该手机号码的客户资料!"));
        return;
    }
    emit cardRequested(*card);
}

void CSMSReciverLogView::onManualRefresh()
{
    // The frame fetches on its worker and shows the alerts; hint 8 then reloads this list.
    m_deps.frame.runCommand(CmdFetchReplies);
}

} // namespace telvora
