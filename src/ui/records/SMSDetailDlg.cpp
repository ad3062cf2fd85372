#include "records/SMSDetailDlg.h"

#include "app/Prompter.h"
#include "records/RecordExports.h"
#include "records/RecordTexts.h"
#include "records/SendHistory.h"
#include "records/SendLedger.h"
#include "widgets/ListExport.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

namespace {

enum Column { ColId, ColNumber, ColStatus, ColTime, ColSegments, ColName, ColPhone, ColMessage };

} // namespace

CSMSDetailDlg::CSMSDetailDlg(
    CADODataBase& database, Prompter& prompter, long recordId, int sendMode, const QString& content, QWidget* parent)
    : QDialog(parent)
    , m_database(database)
    , m_prompter(prompter)
    , m_recordId(recordId)
    , m_sendMode(sendMode)
    , m_list(new ReportView(this))
    , m_find(new QLineEdit(this))
    , m_group(new QCheckBox(QStringLiteral("按发送状态分组"), this))
    , m_resendButton(new QPushButton(QStringLiteral("短信重发"), this))
    , m_resendMenu(new QMenu(this))
{
    setWindowTitle(QStringLiteral("短信发送明细"));
    resize(760, 480);
    m_list->setColumns(
        {{QStringLiteral("PID"), 0, true}, {QStringLiteral("序号"), 60, false, true}, {QStringLiteral("发送状态"), 80},
            {QStringLiteral("发送时间"), 70}, {QStringLiteral("拆分条数"), 70, false, true},
            {QStringLiteral("姓名"), 100}, {QStringLiteral("手机号码"), 120}, {QStringLiteral("短信内容"), 300}});
    m_list->setSortingEnabled(false);

    auto* exportButton = new QPushButton(QStringLiteral("导出明细"), this);
    auto* exitButton = new QPushButton(QStringLiteral("退出"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("内容查找："), this));
    top->addWidget(m_find, 1);
    top->addWidget(m_group);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exportButton);
    buttons->addWidget(m_resendButton);
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    m_resendMenu->addAction(QStringLiteral("号码全部重发"), this, [this]() { resend(Resend::All); });
    m_resendMenu->addSeparator();
    m_resendMenu->addAction(QStringLiteral("异常号码重发"), this, [this]() { resend(Resend::Failed); });
    m_resendMenu->addAction(QStringLiteral("选中号码重发"), this, [this]() { resend(Resend::Selected); });
    connect(m_resendButton, &QPushButton::clicked, this,
        [this]() { m_resendMenu->popup(m_resendButton->mapToGlobal(QPoint(0, m_resendButton->height()))); });
    connect(exportButton, &QPushButton::clicked, this, &CSMSDetailDlg::onExport);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_find, &QLineEdit::textChanged, m_list, &ReportView::setFilterText);
    connect(
        m_group, &QCheckBox::toggled, this, [this](bool checked) { m_list->setGroupColumn(checked ? ColStatus : -1); });

    load(content);
}

CSMSDetailDlg::~CSMSDetailDlg() = default;

void CSMSDetailDlg::load(const QString& content)
{
    const std::string recordContent = content.toStdString();
    QVector<ReportRow> rows;
    for (const SendDetail& detail : CSendHistory(m_database).Details(m_recordId)) {
        const DetailShown shown = ShowDetail(m_sendMode, detail.content, recordContent);
        ReportRow row({QString::number(detail.id), QString::number(rows.size() + 1),
                          QString::fromStdString(DetailStatusText(detail.status)),
                          QString::fromStdString(detail.sendTime.valid ? detail.sendTime.format("%H:%M") : ""),
                          QString::number(detail.splitCount), QString::fromStdString(shown.name),
                          QString::fromStdString(detail.phone), QString::fromStdString(shown.message)},
            QVariant::fromValue<qint64>(detail.id));
        rows.append(std::move(row));
        m_statuses.append(detail.status);
    }
    m_list->setRows(std::move(rows));
}

void CSMSDetailDlg::onExport()
{
    TellExportOutcome(m_prompter, this,
        ExportQueryToFile(m_prompter, this, m_database, DetailExport(m_recordId, m_sendMode)),
        QStringLiteral("导出短信发送明细成功"), QStringLiteral("导出短信发送明细失败"));
}

void CSMSDetailDlg::resend(Resend choice)
{
    m_numbers = {};
    QVector<int> taken;
    if (choice == Resend::Selected) {
        taken = m_list->selectedRows();
    } else {
        m_group->setChecked(false);
        taken = m_list->shownRows();
    }
    if (choice == Resend::Failed) {
        QVector<int> refused;
        QVector<int> unknown;
        for (int row : taken) {
            const int status = m_statuses.value(row);
            if (status == kDetailUnknown)
                unknown.append(row);
            else if (status != kDetailNotPosted && status != kDetailAccepted)
                refused.append(row);
        }
        // Numbers whose outcome is unknown may have arrived: resending them can deliver twice.
        if (!unknown.isEmpty()
            && m_prompter.question(
                this, QStringLiteral("有%1个号码发送结果未知，可能已经送达。是否一并重发？").arg(unknown.size())))
            refused += unknown;
        std::sort(refused.begin(), refused.end());
        taken = refused;
    }
    for (int row : taken)
        m_numbers.addIfMobile(m_list->cell(row, ColPhone).toStdString());
    if (m_numbers.numbers.empty()) {
        m_prompter.information(this,
            choice == Resend::All          ? QStringLiteral("没有发送记录明细!")
                : choice == Resend::Failed ? QStringLiteral("没有失败的记录明细!")
                                           : QStringLiteral("请选择要重发的记录明细!"));
        return;
    }
    accept();
}

} // namespace telvora
