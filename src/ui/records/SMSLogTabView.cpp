#include "records/SMSLogTabView.h"

#include "records/IdleSendLogView.h"
#include "records/SMSLogFindView.h"
#include "records/SMSLogStatiView.h"
#include "records/SMSReciverLogView.h"
#include "records/SendLogView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace telvora {

CSMSLogTabView::CSMSLogTabView(ViewServices dependencies, QWidget* parent)
    : QWidget(parent)
    , m_search(new QLineEdit(this))
    , m_tabs(new QTabWidget(this))
    , m_sent(new CSendLogView(dependencies, this))
    , m_scheduled(new CIdleSendLogView(dependencies, this))
    , m_replies(new CSMSReciverLogView(dependencies, this))
    , m_finder(new CSMSLogFindView(dependencies, this))
    , m_statistics(new CSMSLogStatiView(dependencies, this))
{
    m_tabs->addTab(m_sent, QStringLiteral("发送记录"));
    m_tabs->addTab(m_scheduled, QStringLiteral("定时记录"));
    m_tabs->addTab(m_replies, QStringLiteral("回复记录"));
    m_tabs->addTab(m_finder, QStringLiteral("记录查询"));
    m_tabs->addTab(m_statistics, QStringLiteral("记录统计"));
    m_search->setClearButtonEnabled(true);

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(new QLabel(QStringLiteral("记录查找："), this));
    top->addWidget(m_search);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tabs, 1);

    connect(m_search, &QLineEdit::textChanged, this, &CSMSLogTabView::forwardSearchText);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CSMSLogTabView::forwardSearchText);
}

CSMSLogTabView::~CSMSLogTabView() = default;

void CSMSLogTabView::forwardSearchText()
{
    if (auto* page = qobject_cast<CRecordPage*>(m_tabs->currentWidget()))
        page->setSearchText(m_search->text());
}

} // namespace telvora
