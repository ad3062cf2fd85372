#include "account/QueryBillDlg.h"

#include "account/BillQuery.h"
#include "account/ServiceTask.h"
#include "app/Prompter.h"
#include "session/Session.h"
#include "widgets/ListExport.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr int kColumnWidth = 110;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QDate toDate(const DateTime& time)
{
    return QDate(time.year, time.month, time.day);
}

DateTime fromDate(const QDate& date)
{
    return DateTime::fromFields(date.year(), date.month(), date.day());
}

} // namespace

CQueryBillDlg::CQueryBillDlg(Prompter& prompter, CServiceClient& service, const CSession& session,
    const std::string& account, const DateTime& now, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_session(session)
    , m_query(std::make_unique<CBillQuery>(service, session))
    , m_report(std::make_unique<BillReport>())
    , m_company(new QLabel(QStringLiteral("用户名称："), this))
    , m_total(new QLabel(QStringLiteral("查询累计发送："), this))
    , m_start(new QDateEdit(this))
    , m_end(new QDateEdit(this))
    , m_list(new QTreeWidget(this))
    , m_export(new QPushButton(QStringLiteral("导出"), this))
{
    setWindowTitle(QStringLiteral("帐单查询"));
    resize(640, 460);
    auto* accountLabel = new QLabel(QStringLiteral("用户帐号：") + qs(account), this);
    auto* stock = new QLabel(QStringLiteral("短信剩余总量：%1").arg(session.stock), this);
    auto* labels = new QGridLayout;
    labels->addWidget(m_company, 0, 0);
    labels->addWidget(accountLabel, 0, 1);
    labels->addWidget(stock, 1, 0);
    labels->addWidget(m_total, 1, 1);
    for (QLabel* label : {m_company, accountLabel})
        label->setTextFormat(Qt::PlainText);

    const BillRange range = AllowedBillRange(now);
    for (QDateEdit* edit : {m_start, m_end}) {
        edit->setCalendarPopup(true);
        edit->setDateRange(toDate(range.first), toDate(range.last));
    }
    m_start->setDate(toDate(range.first));
    m_end->setDate(toDate(range.last));

    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("帐号"), QStringLiteral("统计日期"), QStringLiteral("当天发送量"),
        QStringLiteral("当日剩余量"), QStringLiteral("累计发送量")});
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->setColumnWidth(column, kColumnWidth);

    auto* commands = new QWidget(this);
    auto* row = new QHBoxLayout(commands);
    row->setContentsMargins(0, 0, 0, 0);
    auto* query = new QPushButton(QStringLiteral("查询"), commands);
    auto* close = new QPushButton(QStringLiteral("退出"), commands);
    row->addWidget(new QLabel(QStringLiteral("请选择统计日期"), commands));
    row->addWidget(m_start);
    row->addWidget(new QLabel(QStringLiteral("到"), commands));
    row->addWidget(m_end);
    row->addStretch();
    row->addWidget(query);
    m_export->setParent(commands);
    row->addWidget(m_export);
    row->addWidget(close);

    auto* busy = new QProgressBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(commands);
    layout->addWidget(m_list, 1);
    layout->addWidget(busy);
    m_task = new CServiceTask(commands, busy, this);
    connect(query, &QPushButton::clicked, this, &CQueryBillDlg::onQueryClicked);
    connect(m_export, &QPushButton::clicked, this, &CQueryBillDlg::onExportClicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

CQueryBillDlg::~CQueryBillDlg() = default;

bool CQueryBillDlg::isBusy() const
{
    return m_task->isRunning();
}

void CQueryBillDlg::onQueryClicked()
{
    if (isBusy())
        return;
    m_list->clear();
    const DateTime start = fromDate(m_start->date());
    const DateTime end = fromDate(m_end->date());
    m_task->run(
        [this, start, end]() { return m_query->Query(start, end, *m_report); }, [this](bool ok) { onQueried(ok); });
}

void CQueryBillDlg::onExportClicked()
{
    if (m_list->topLevelItemCount() == 0) {
        m_prompter.information(this, QStringLiteral("没有可导出的帐单!"));
        return;
    }
    TellExportOutcome(m_prompter, this, ExportTableToFile(m_prompter, this, "帐单信息", TableOfList(*m_list)),
        QStringLiteral("导出帐单记录成功完成！"), QStringLiteral("导出帐单记录失败！"));
}

void CQueryBillDlg::onQueried(bool ok)
{
    // A failed call was reported by the call itself; only the missing login is this dialog's.
    if (!ok && !m_session.loggedIn)
        m_prompter.information(this, qs(m_query->GetMessage()));
    if (ok) {
        m_company->setText(QStringLiteral("用户名称：") + qs(m_report->companyName));
        for (const BillRow& bill : m_report->rows)
            new QTreeWidgetItem(m_list, {qs(bill.user), qs(bill.day), qs(bill.sent), qs(bill.remain), qs(bill.total)});
        m_total->setText(QStringLiteral("查询累计发送：%1").arg(m_report->total));
    }
    emit callFinished();
}

} // namespace telvora
