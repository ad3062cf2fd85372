#include "shell/SendTabView.h"

namespace telvora {

CSendTabView::CSendTabView(QWidget* sendView, QWidget* customView, QWidget* parent)
    : QTabWidget(parent)
    , m_sendView(sendView ? sendView : new QWidget(this))
    , m_customView(customView ? customView : new QWidget(this))
{
    setObjectName(QStringLiteral("sendTabView"));
    setTabPosition(QTabWidget::South);
    addTab(m_sendView, QStringLiteral("普通发送"));
    addTab(m_customView, QStringLiteral("自定义发送"));
    connect(this, &QTabWidget::currentChanged, this, &CSendTabView::onCurrentChanged);
}

CSendTabView::~CSendTabView() = default;

void CSendTabView::onCurrentChanged(int index)
{
    if (QWidget* view = widget(index))
        view->setFocus();
}

} // namespace telvora
