#include "shell/NavigationPane.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace telvora {

CNavigationPane::CNavigationPane(QWidget* parent)
    : QDockWidget(QStringLiteral("系统菜单"), parent)
    , m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("navigationPane"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setIconSize(QSize(24, 24));
    for (const QString& caption : pageCaptions())
        new QTreeWidgetItem(m_tree, {caption});
    setWidget(m_tree);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CNavigationPane::onItemActivated);
}

CNavigationPane::~CNavigationPane() = default;

QStringList CNavigationPane::pageCaptions()
{
    return {QStringLiteral("今日提醒"), QStringLiteral("短信群发"), QStringLiteral("客户资料"),
        QStringLiteral("短信记录"), QStringLiteral("移动助理")};
}

QStringList CNavigationPane::itemCaptions() const
{
    QStringList captions;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        captions << m_tree->topLevelItem(i)->text(0);
    return captions;
}

QString CNavigationPane::currentCaption() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? item->text(0) : QString();
}

void CNavigationPane::setCurrentPage(const QString& caption)
{
    const QSignalBlocker blocker(m_tree);
    const QList<QTreeWidgetItem*> found = m_tree->findItems(caption, Qt::MatchExactly);
    // A page without an item (e.g. "精准短信") leaves no item marked.
    m_tree->setCurrentItem(found.isEmpty() ? nullptr : found.first());
}

void CNavigationPane::onItemActivated(QTreeWidgetItem* item)
{
    if (item)
        emit pageRequested(item->text(0));
}

} // namespace telvora
