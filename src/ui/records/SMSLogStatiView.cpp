#include "records/SMSLogStatiView.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "records/SendStatistics.h"
#include "widgets/ReportView.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace telvora {

namespace {

QComboBox* yearBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    const int thisYear = QDate::currentDate().year();
    for (int year : CSendStatistics::Years(thisYear))
        box->addItem(QString::number(year), year);
    box->setCurrentIndex(box->findData(thisYear));
    return box;
}

} // namespace

CSMSLogStatiView::CSMSLogStatiView(ViewServices dependencies, QWidget* parent)
    : CRecordPage(dependencies, parent)
    , m_list(new ReportView(this))
    , m_chartView(new QChartView(this))
    , m_byDay(new QRadioButton(QStringLiteral("按日统计"), this))
    , m_byMonth(new QRadioButton(QStringLiteral("按月统计"), this))
    , m_dayYear(yearBox(this))
    , m_month(new QComboBox(this))
    , m_monthYear(yearBox(this))
{
    m_list->setColumns({{QStringLiteral("序号"), 50, false, true}, {QStringLiteral("发送时间"), 110},
        {QStringLiteral("发送总条数"), 100, false, true}, {QStringLiteral("成功合计"), 100, false, true},
        {QStringLiteral("异常合计"), 100, false, true}});
    m_list->setSortingEnabled(false);
    m_list->setIconColumn(-1);
    for (const char* month : {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"})
        m_month->addItem(QString::fromUtf8(month));
    m_month->setCurrentIndex(QDate::currentDate().month() - 1);
    m_byDay->setChecked(true);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumWidth(320);

    auto* show = new QPushButton(QStringLiteral("查看"), this);
    auto* exportButton = new QPushButton(QStringLiteral("导出"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_byDay);
    top->addWidget(m_dayYear);
    top->addWidget(m_month);
    top->addSpacing(20);
    top->addWidget(m_byMonth);
    top->addWidget(m_monthYear);
    top->addWidget(show);
    top->addWidget(exportButton);
    top->addStretch(1);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_chartView);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);

    connect(m_byDay, &QRadioButton::toggled, this, &CSMSLogStatiView::onModeChanged);
    connect(show, &QPushButton::clicked, this, &CSMSLogStatiView::showStatistics);
    connect(exportButton, &QPushButton::clicked, this, &CSMSLogStatiView::onExport);
    // The chart follows the period at once; the list with it, so both always agree.
    for (QComboBox* box : {m_dayYear, m_month, m_monthYear})
        connect(box, &QComboBox::currentIndexChanged, this, &CSMSLogStatiView::showStatistics);
    onModeChanged();
    m_deps.hints.listen(this, [this](int hint) {
        if (hint == HintBroadcaster::SendRecordsChanged || databaseChanged(hint))
            showStatistics();
    });
}

CSMSLogStatiView::~CSMSLogStatiView() = default;

QChart* CSMSLogStatiView::chart() const
{
    return m_chartView->chart();
}

void CSMSLogStatiView::onModeChanged()
{
    const bool byDay = m_byDay->isChecked();
    m_dayYear->setEnabled(byDay);
    m_month->setEnabled(byDay);
    m_monthYear->setEnabled(!byDay);
    showStatistics();
}

void CSMSLogStatiView::showStatistics()
{
    CSendStatistics statistics(m_deps.app.GetDatabase());
    const std::vector<StatisticsRow> sums = m_byDay->isChecked()
        ? statistics.ByDay(m_dayYear->currentData().toInt(), m_month->currentIndex() + 1)
        : statistics.ByMonth(m_monthYear->currentData().toInt());

    QVector<ReportRow> rows;
    auto* success = new QBarSet(QStringLiteral("成功合计"));
    auto* fail = new QBarSet(QStringLiteral("异常合计"));
    QStringList periods;
    long highest = 0;
    for (const StatisticsRow& sum : sums) {
        rows.append(ReportRow({QString::number(rows.size() + 1), QString::fromStdString(sum.period),
            QString::number(sum.total), QString::number(sum.success), QString::number(sum.fail)}));
        highest = std::max(highest, sum.total);
    }
    m_list->setRows(std::move(rows));

    // Oldest on the left, as a time axis reads; the list keeps newest first.
    for (auto sum = sums.rbegin(); sum != sums.rend(); ++sum) {
        periods.append(QString::fromStdString(sum->period));
        *success << static_cast<qreal>(sum->success);
        *fail << static_cast<qreal>(sum->fail);
    }
    auto* series = new QStackedBarSeries;
    series->append(success);
    series->append(fail);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("发送总条数"));
    auto* axisX = new QBarCategoryAxis;
    axisX->append(periods);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    axisY->setRange(0, std::max<long>(highest, 1));
    axisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
}

void CSMSLogStatiView::onExport()
{
    exportListedRows("短信统计记录", QStringLiteral("没有可导出的短信统计记录!"));
}

} // namespace telvora
