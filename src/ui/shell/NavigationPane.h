#pragma once

#include <QDockWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

// "系统菜单": the pages the user can switch to, in their fixed order.
class CNavigationPane final : public QDockWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CNavigationPane)

public:
    explicit CNavigationPane(QWidget* parent = nullptr);
    ~CNavigationPane() override;

    static QStringList pageCaptions();
    QStringList itemCaptions() const;
    QString currentCaption() const;
    QTreeWidget* tree() const { return m_tree; }

public slots:
    // Marks the page now shown, without asking to switch again.
    void setCurrentPage(const QString& caption);

signals:
    void pageRequested(const QString& caption);

private:
    void onItemActivated(QTreeWidgetItem* item);

    QTreeWidget* m_tree;
};

} // namespace telvora
