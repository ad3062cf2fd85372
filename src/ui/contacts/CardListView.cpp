#include "contacts/CardListView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "contacts/CardExportRunner.h"
#include "contacts/CardExporter.h"
#include "contacts/CardListPager.h"
#include "contacts/CardStore.h"
#include "contacts/EditCardDlg.h"
#include "contacts/FieldSetupDlg.h"
#include "contacts/FindCardDlg.h"
#include "contacts/ImportCardDlg.h"
#include "contacts/SelCopyFolderDlg.h"
#include "send/NumberList.h"
#include "send/RecipientHandOver.h"
#include "send/SmsRules.h"
#include "widgets/ListExport.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <functional>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Report rows numbered on from the rows already shown: hidden id, "序号", the fields.
QVector<ReportRow> reportRows(const std::vector<CardRow>& rows, int shown)
{
    QVector<ReportRow> result;
    result.reserve(static_cast<int>(rows.size()));
    for (const CardRow& row : rows) {
        QStringList cells {QString::number(row.id), QString::number(++shown)};
        for (const std::string& value : row.values)
            cells.append(qs(value));
        result.append(ReportRow(cells, static_cast<qlonglong>(row.id)));
    }
    return result;
}

constexpr int kFirstFieldColumn = 2; // after "PID" and "序号"

} // namespace

CCardListView::CCardListView(Dependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_deps(dependencies)
    , m_report(new ReportView(this))
    , m_label(new QLabel(QStringLiteral("共 0条记录"), this))
    , m_checkAll(new QCheckBox(QStringLiteral("全选"), this))
    , m_invert(new QCheckBox(QStringLiteral("反选"), this))
    , m_export(new CCardExportRunner(dependencies.app, dependencies.prompter, dependencies.frame, this))
{
    auto* sendButton = new QPushButton(QStringLiteral("添加到发送"), this);
    auto* sendMenu = new QMenu(sendButton);
    sendMenu->addAction(QStringLiteral("添加选中全部到发送"), this, [this]() { addCheckedToSend(0); });
    sendMenu->addSeparator();
    sendMenu->addAction(QStringLiteral("添加选中移动号码到发送"), this, [this]() { addCheckedToSend(1); });
    sendMenu->addAction(QStringLiteral("添加选中联通号码到发送"), this, [this]() { addCheckedToSend(2); });
    sendMenu->addAction(QStringLiteral("添加选中电信号码到发送"), this, [this]() { addCheckedToSend(3); });
    sendButton->setMenu(sendMenu);
    auto* newButton = new QPushButton(QStringLiteral("新建"), this);
    auto* deleteButton = new QPushButton(QStringLiteral("删除"), this);
    auto* importButton = new QPushButton(QStringLiteral("导入"), this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_checkAll);
    bar->addWidget(m_invert);
    bar->addWidget(sendButton);
    bar->addWidget(newButton);
    bar->addWidget(deleteButton);
    bar->addWidget(importButton);
    bar->addStretch();
    bar->addWidget(m_label);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_report);

    m_report->setSortingEnabled(false);
    m_report->setCheckColumn(1);
    connect(m_checkAll, &QCheckBox::toggled, this, [this](bool checked) { m_report->setAllChecked(checked); });
    connect(m_invert, &QCheckBox::toggled, this, [this]() { m_report->invertChecks(); });
    connect(newButton, &QPushButton::clicked, this, &CCardListView::newCard);
    connect(deleteButton, &QPushButton::clicked, this, &CCardListView::deleteChecked);
    connect(m_report, &ReportView::rowDoubleClicked, this, [this]() { editFocused(); });
    connect(importButton, &QPushButton::clicked, this, &CCardListView::importCards);
    connect(m_report, &ReportView::moreRowsWanted, this, &CCardListView::loadNextBlock);
    connect(m_report, &ReportView::contextMenuRequested, this, &CCardListView::showMenu);
    m_deps.hints.listen(this, &CCardListView::onHint);
    rebuildColumns();
}

CCardListView::~CCardListView() = default;

void CCardListView::rebuildColumns()
{
    m_fields = CFieldCatalogue(m_deps.app.GetDatabase()).ListFields();
    QVector<ReportColumn> columns {
        ReportColumn(QStringLiteral("PID"), 0, true), ReportColumn(QStringLiteral("序号"), 50, false, true)};
    for (const CardField& field : m_fields)
        columns.append(ReportColumn(qs(field.caption), 90));
    m_report->setColumns(columns);
    m_pager = std::make_unique<CCardListPager>(m_deps.app.GetDatabase(), m_fields);
}

void CCardListView::onHint(int hint)
{
    if (hint == HintBroadcaster::NewCardRequested)
        newCard();
    if (hint == HintBroadcaster::AddressBookChanged || hint == HintBroadcaster::AllDataReplaced) {
        rebuildColumns();
        showFolder(QString(), 0);
    }
}

void CCardListView::showFolder(const QString& name, long id)
{
    m_report->clear();
    m_searchResult = false;
    m_folderName = name;
    m_folderId = name.isEmpty() ? 0 : id;
    m_pager->Open(m_folderId);
    m_label->setText(QStringLiteral("共 0条记录"));
    if (m_folderId > 0)
        loadNextBlock();
}

void CCardListView::loadNextBlock()
{
    std::vector<CardRow> rows;
    if (!m_pager->NextBlock(rows)) {
        m_report->setMoreRowsAvailable(false);
        if (m_folderId > 0)
            m_label->setText(qs(m_pager->Label()));
        return;
    }
    m_report->appendRows(reportRows(rows, m_report->rowCount()));
    m_report->setMoreRowsAvailable(!m_pager->AtEnd());
    m_label->setText(qs(m_pager->Label()));
}

void CCardListView::filterCards(const QString& text)
{
    if (text != m_report->filterText())
        m_report->setFilterText(text);
}

void CCardListView::findCards()
{
    CFindCardDlg dialog(m_deps.app.GetDatabase(), m_deps.prompter, m_folderId, m_folderName, this);
    if (dialog.exec() == QDialog::Accepted)
        showSearchResult(dialog.whereClause());
}

void CCardListView::showSearchResult(const std::string& whereClause)
{
    m_report->clear();
    std::vector<CardRow> rows;
    if (!m_pager->Search(whereClause, rows))
        m_deps.prompter.error(this, qs(m_pager->GetLastError()));
    m_report->appendRows(reportRows(rows, 0));
    m_report->setMoreRowsAvailable(false);
    m_label->setText(QStringLiteral("共搜索到 %1条记录").arg(rows.size()));
    m_searchResult = true;
}

QString CCardListView::labelText() const
{
    return m_label->text();
}

bool CCardListView::needFolder()
{
    if (m_folderId >= 1)
        return true;
    m_deps.prompter.information(this, QStringLiteral("请先选择要操作的目录!"));
    return false;
}

std::vector<long> CCardListView::checkedCardIds() const
{
    std::vector<long> ids;
    for (const qint64 id : m_report->recordIds(m_report->checkedRows()))
        ids.push_back(static_cast<long>(id));
    return ids;
}

void CCardListView::showMenu(const QPoint& position)
{
    // A mouse selection followed by a right click acts on the selected rows.
    for (const int row : m_report->selectedRows())
        m_report->setChecked(row, true);
    const bool folder = m_folderId >= 1;
    QMenu menu(this);
    menu.addAction(QStringLiteral("新增客户"), this, &CCardListView::newCard)->setEnabled(folder);
    menu.addAction(QStringLiteral("修改客户"), this, &CCardListView::editFocused)->setEnabled(folder);
    menu.addAction(QStringLiteral("删除客户"), this, &CCardListView::deleteChecked)->setEnabled(folder);
    menu.addAction(QStringLiteral("删除当前目录客户"), this, &CCardListView::removeCheckedFromFolder);
    menu.addAction(QStringLiteral("导入客户"), this, &CCardListView::importCards)->setEnabled(folder);
    menu.addSeparator();
    menu.addAction(QStringLiteral("添加选中全部到发送"), this, [this]() { addCheckedToSend(0); })->setEnabled(folder);
    menu.addSeparator();
    menu.addAction(QStringLiteral("自定义字段设置"), this, &CCardListView::setUpFields);
    menu.addAction(QStringLiteral("复制选中客户到组别"), this, &CCardListView::copyCheckedToFolders)
        ->setEnabled(folder);
    menu.addSeparator();
    if (m_export->isRunning())
        menu.addAction(QStringLiteral("停止导出"), m_export, &CCardExportRunner::cancel);
    else
        menu.addAction(QStringLiteral("导出客户"), this, [this]() { exportRows(false); })->setEnabled(folder);
    menu.addAction(QStringLiteral("导出选中客户"), this, [this]() { exportRows(true); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("QQ聊天"), this, &CCardListView::chatWithFocused);
    menu.addAction(QStringLiteral("发送邮件"), this, &CCardListView::mailChecked);
    menu.exec(position);
}

void CCardListView::addCheckedToSend(int carrier)
{
    std::vector<std::string> numbers;
    CarrierCounts counts;
    for (const int row : m_report->checkedRows()) {
        const std::string number = m_report->cell(row, kFirstFieldColumn).toStdString();
        const Carrier kind = ClassifyMobileNumber(number);
        if (kind == Carrier::Invalid || (carrier != 0 && static_cast<int>(kind) != carrier))
            continue;
        numbers.push_back(number);
        counts.add(kind);
    }
    if (numbers.empty()) {
        m_deps.prompter.information(this, QStringLiteral("请先选中需要发送短信的客户!"));
        return;
    }
    m_deps.handOver.handOverRecipients(std::move(numbers), counts);
    m_deps.frame.showPage(QStringLiteral("短信群发"), HintBroadcaster::NumbersHandedOver);
}

void CCardListView::copyCheckedToFolders()
{
    if (!needFolder())
        return;
    const std::vector<long> cards = checkedCardIds();
    CSelCopyFolderDlg dialog(m_deps.app.GetDatabase(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.checkedFolders().empty())
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!store.CopyToFolders(cards, dialog.checkedFolders()))
        m_deps.prompter.error(this, qs(store.GetLastError()));
    showFolder(m_folderName, m_folderId);
}

void CCardListView::setUpFields()
{
    CFieldSetupDlg dialog(m_deps.app.GetDatabase(), m_deps.prompter, this);
    dialog.exec();
    if (!dialog.changed())
        return;
    const QString name = m_folderName;
    const long id = m_folderId;
    // The tree and this list both hear it; the list then shows its folder again.
    m_deps.hints.broadcast(HintBroadcaster::AddressBookChanged);
    showFolder(name, id);
}

void CCardListView::newCard()
{
    if (m_folderId < 1) {
        m_deps.prompter.information(this, QStringLiteral("请先添加或选择要操作的目录!"));
        return;
    }
    CEditCardDlg dialog(m_deps.app, m_deps.prompter, m_folderId, m_folderName, this);
    dialog.exec();
    if (dialog.fieldsChanged())
        rebuildColumns();
    if (dialog.saved() || dialog.fieldsChanged())
        showFolder(m_folderName, m_folderId);
}

void CCardListView::editFocused()
{
    const int row = m_report->focusedRow();
    if (row < 0) {
        m_deps.prompter.information(this, QStringLiteral("请先选择一个需要修改资料的客户!"));
        return;
    }
    CEditCardDlg dialog(
        m_deps.app, m_deps.prompter, static_cast<long>(m_report->rowData(row).toLongLong()), false, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (dialog.fieldsChanged())
        rebuildColumns();
    if (accepted || dialog.fieldsChanged())
        showFolder(m_folderName, m_folderId);
}

void CCardListView::importCards()
{
    if (m_folderId < 1) {
        m_deps.prompter.information(this, QStringLiteral("请先添加或选择要操作的目录!"));
        return;
    }
    CImportCardDlg dialog(m_deps.app, m_deps.prompter, m_folderId, this);
    dialog.exec();
    if (!dialog.imported())
        return;
    // The wizard may have made a folder: the tree reloads, then this list shows its folder.
    const QString name = m_folderName;
    const long id = m_folderId;
    m_deps.hints.broadcast(HintBroadcaster::AddressBookChanged);
    showFolder(name, id);
}

void CCardListView::deleteChecked()
{
    changeChecked(QStringLiteral("您是否确定要删除所有选中的客户资料？"),
        [](CCardStore& store, const std::vector<long>& ids, long) { return store.DeleteCards(ids); });
}

void CCardListView::removeCheckedFromFolder()
{
    changeChecked(QStringLiteral("您是否需要删除当前目录的选中客户？"),
        [](CCardStore& store, const std::vector<long>& ids, long folder) {
            return store.RemoveFromFolder(ids, folder);
        });
}

void CCardListView::changeChecked(
    const QString& question, const std::function<bool(CCardStore&, const std::vector<long>&, long)>& change)
{
    if (!needFolder())
        return;
    // The ids first: a hint may reload the list while the question is open.
    const std::vector<long> ids = checkedCardIds();
    if (!m_deps.prompter.question(this, question))
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!change(store, ids, m_folderId))
        m_deps.prompter.error(this, qs(store.GetLastError()));
    showFolder(m_folderName, m_folderId);
}

void CCardListView::exportRows(bool checkedOnly)
{
    if (m_report->rowCount() == 0) {
        m_deps.prompter.information(this, QStringLiteral("没有可导出的客户资料!"));
        return;
    }
    // A search result is exported as shown, like the ticked rows.
    const bool shownRows = checkedOnly || m_searchResult;
    const std::string title
        = checkedOnly ? "导出记录" : (m_searchResult ? "搜索结果" : CCardExporter::FolderSheetName(m_folderId));
    const QString path = AskExportPath(m_deps.prompter, this, title);
    if (path.isEmpty())
        return;
    if (!shownRows) {
        m_export->start(m_folderId, path, QStringLiteral("导出目录客户资料"));
        return;
    }
    const bool done = WriteTableToFile(
        path, title, TableOfReport(*m_report, checkedOnly ? m_report->checkedRows() : m_report->shownRows()));
    m_deps.prompter.information(
        this, done ? QStringLiteral("导出目录客户资料成功") : QStringLiteral("导出目录客户资料失败"));
}

void CCardListView::mailChecked()
{
    const std::string address = CCardStore(m_deps.app.GetDatabase()).MailtoAddress(checkedCardIds());
    if (!address.empty())
        QDesktopServices::openUrl(QUrl(qs(address)));
}

void CCardListView::chatWithFocused()
{
    const int row = m_report->focusedRow();
    if (row < 0) {
        m_deps.prompter.information(this, QStringLiteral("请先选择一个需要QQ聊天的客户!"));
        return;
    }
    const std::string address
        = CCardStore(m_deps.app.GetDatabase()).QqChatAddress(static_cast<long>(m_report->rowData(row).toLongLong()));
    if (!address.empty())
        QDesktopServices::openUrl(QUrl(qs(address)));
}

} // namespace telvora
