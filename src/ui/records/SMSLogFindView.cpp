#include "records/SMSLogFindView.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "records/RecordSearch.h"
#include "records/RecordTexts.h"
#include "widgets/ReportView.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace telvora {

namespace {

DateTime fromDate(const QDate& date)
{
    return DateTime::fromFields(date.year(), date.month(), date.day());
}

QDateEdit* dateEdit(QWidget* parent)
{
    auto* edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

CSMSLogFindView::CSMSLogFindView(ViewServices dependencies, QWidget* parent)
    : CRecordPage(dependencies, parent)
    , m_list(new ReportView(this))
    , m_dayMode(new QRadioButton(QStringLiteral("日期"), this))
    , m_rangeMode(new QRadioButton(QStringLiteral("日期范围"), this))
    , m_day(dateEdit(this))
    , m_from(dateEdit(this))
    , m_to(dateEdit(this))
    , m_search(new QPushButton(QStringLiteral("查询"), this))
    , m_totals(new QLabel(this))
    , m_phone(new QLineEdit(this))
    , m_content(new QLineEdit(this))
{
    m_list->setColumns({{QStringLiteral("PID"), 0, true}, {QStringLiteral("序号"), 50, false, true},
        {QStringLiteral("发送时间"), 130}, {QStringLiteral("手机号码"), 120}, {QStringLiteral("发送状态"), 80},
        {QStringLiteral("拆分条数"), 70, false, true}, {QStringLiteral("短信内容"), 300},
        {QStringLiteral("时间"), 0, true}});
    m_list->setSortingEnabled(false);
    m_phone->hide();
    m_content->hide();
    m_dayMode->setChecked(true);

    auto* resend = new QPushButton(QStringLiteral("短信重发"), this);
    auto* exportButton = new QPushButton(QStringLiteral("导出"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_dayMode);
    top->addWidget(m_day);
    top->addSpacing(20);
    top->addWidget(m_rangeMode);
    top->addWidget(m_from);
    top->addWidget(new QLabel(QStringLiteral("至"), this));
    top->addWidget(m_to);
    top->addWidget(m_search);
    top->addWidget(m_phone);
    top->addWidget(m_content);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_totals, 1);
    bottom->addWidget(resend);
    bottom->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);

    connect(m_dayMode, &QRadioButton::toggled, this, &CSMSLogFindView::onModeChanged);
    connect(m_day, &QDateEdit::dateChanged, this, [this]() {
        if (m_dayMode->isChecked())
            search();
    });
    connect(m_search, &QPushButton::clicked, this, &CSMSLogFindView::search);
    connect(resend, &QPushButton::clicked, this, &CSMSLogFindView::onResend);
    connect(exportButton, &QPushButton::clicked, this, &CSMSLogFindView::onExport);
    onModeChanged();
    search();
    m_deps.hints.listen(this, [this](int hint) {
        if (hint == HintBroadcaster::SendRecordsChanged || databaseChanged(hint))
            search();
    });
}

CSMSLogFindView::~CSMSLogFindView() = default;

void CSMSLogFindView::onModeChanged()
{
    const bool range = m_rangeMode->isChecked();
    m_day->setEnabled(!range);
    m_from->setEnabled(range);
    m_to->setEnabled(range);
    m_search->setVisible(range);
}

void CSMSLogFindView::search()
{
    RecordSearchQuery query = m_rangeMode->isChecked()
        ? RecordSearchQuery::Range(fromDate(m_from->date()), fromDate(m_to->date()))
        : RecordSearchQuery::Day(fromDate(m_day->date()));
    query.phone = m_phone->text().toStdString();
    query.text = m_content->text().toStdString();

    CRecordSearch finder(m_deps.app.GetDatabase());
    const bool found = finder.Run(query);
    QVector<ReportRow> rows;
    for (const RecordSearchRow& result : finder.Rows()) {
        rows.append(ReportRow(
            {QString::number(result.id), QString::number(rows.size() + 1),
                QString::fromStdString(result.sendTime.format("%Y-%m-%d %H:%M")), QString::fromStdString(result.phone),
                QString::fromStdString(DetailStatusText(result.status)), QString::number(result.splitCount),
                QString::fromStdString(result.message), QString::fromStdString(result.sendTime.format("%Y-%m-%d"))},
            QVariant::fromValue<qint64>(result.id)));
    }
    m_list->setGroupColumn(-1);
    m_list->setRows(std::move(rows));
    m_list->setGroupColumn(ColDay);
    m_totals->setText(QString::fromStdString(found ? finder.Totals().Text() : finder.GetLastError()));
}

void CSMSLogFindView::onResend()
{
    handOverSelectedNumbers(ColPhone, QStringLiteral("请先选取需要发送的记录!"));
}

void CSMSLogFindView::onExport()
{
    // The day grouping is for reading: the sheet lists the rows newest first.
    exportListedRows("短信查询记录", QStringLiteral("没有可导出的短信查询记录!"));
}

} // namespace telvora
