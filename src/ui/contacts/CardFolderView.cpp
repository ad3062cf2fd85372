#include "contacts/CardFolderView.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "contacts/CardExportRunner.h"
#include "contacts/CardExporter.h"
#include "contacts/CardStore.h"
#include "contacts/FolderTree.h"
#include "widgets/ListExport.h"

#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

constexpr int kIdRole = Qt::UserRole;

} // namespace

CCardFolderView::CCardFolderView(Dependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_deps(dependencies)
    , m_tree(new QTreeWidget(this))
    , m_export(new CCardExportRunner(dependencies.app, dependencies.prompter, dependencies.frame, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("地址目录"), this));
    layout->addWidget(m_tree);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &CCardFolderView::showMenu);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            emit folderSelected(item->text(0), item->data(0, kIdRole).toLongLong());
    });
    m_deps.hints.listen(this, &CCardFolderView::onHint);
    reload();
}

void CCardFolderView::onHint(int hint)
{
    if (hint == HintBroadcaster::AddressBookChanged || hint == HintBroadcaster::AllDataReplaced)
        reload();
}

void CCardFolderView::reload()
{
    const long selected = currentFolderId();
    const QSignalBlocker blocker(m_tree);
    const QMap<long, QTreeWidgetItem*> items = FillFolderTree(m_tree, m_deps.app.GetDatabase());
    if (QTreeWidgetItem* item = items.value(selected))
        m_tree->setCurrentItem(item);
}

QTreeWidgetItem* CCardFolderView::current() const
{
    return m_tree->currentItem();
}

long CCardFolderView::currentFolderId() const
{
    return current() ? current()->data(0, kIdRole).toLongLong() : 0;
}

void CCardFolderView::showMenu(const QPoint& position)
{
    if (!current() && m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    const bool any = m_tree->topLevelItemCount() > 0;
    QMenu menu(this);
    const auto add = [&](const QString& caption, auto command, bool enabled) {
        menu.addAction(caption, this, command)->setEnabled(enabled);
    };
    add(
        QStringLiteral("新建客户"), [this]() { m_deps.hints.broadcast(HintBroadcaster::NewCardRequested); }, any);
    add(
        QStringLiteral("新建根目录"), [this]() { newFolder(false); }, true);
    add(
        QStringLiteral("新建子目录"), [this]() { newFolder(true); }, any);
    menu.addSeparator();
    add(
        QStringLiteral("修改当前目录"), [this]() { renameFolder(); }, any);
    add(
        QStringLiteral("删除当前目录"), [this]() { deleteFolder(); }, any);
    menu.addSeparator();
    if (m_export->isRunning()) {
        add(
            QStringLiteral("停止导出"), [this]() { m_export->cancel(); }, true);
    } else {
        add(
            QStringLiteral("导出所有目录客户"), [this]() { exportCards(true); }, any);
        add(
            QStringLiteral("导出当前目录客户"), [this]() { exportCards(false); }, any);
    }
    menu.addSeparator();
    add(
        QStringLiteral("清空当前目录客户"), [this]() { clearFolder(); }, any);
    add(
        QStringLiteral("清空所有目录客户"), [this]() { clearAllFolders(); }, any);
    menu.exec(m_tree->viewport()->mapToGlobal(position));
}

void CCardFolderView::newFolder(bool subfolder)
{
    if (subfolder && !current()) {
        m_deps.prompter.information(this, QStringLiteral("请先添加根目录!"));
        return;
    }
    const QString name = m_deps.prompter.getText(this, QStringLiteral("新建客户目录"), QString());
    if (name.isNull())
        return;
    CCardStore store(m_deps.app.GetDatabase());
    long id = 0;
    if (told(store.NewFolder(name.left(60).toStdString(), subfolder ? currentFolderId() : 0, id), store))
        m_deps.hints.broadcast(HintBroadcaster::AddressBookChanged);
}

bool CCardFolderView::told(CCardStore::NameResult result, const CCardStore& store)
{
    switch (result) {
    case CCardStore::NameResult::Duplicate:
        m_deps.prompter.information(this, QStringLiteral("已存在同名目录!"));
        return false;
    case CCardStore::NameResult::Empty:
        m_deps.prompter.information(this, QStringLiteral("目录名称不能为空!"));
        return false;
    case CCardStore::NameResult::Failed:
        m_deps.prompter.error(this, qs(store.GetLastError()));
        return false;
    case CCardStore::NameResult::Done:
        break;
    }
    return true;
}

void CCardFolderView::renameFolder()
{
    QTreeWidgetItem* item = current();
    if (!item)
        return;
    const QString name = m_deps.prompter.getText(this, QStringLiteral("修改客户目录名称"), item->text(0));
    if (name.isNull() || name == item->text(0))
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!told(store.RenameFolder(currentFolderId(), name.left(60).toStdString()), store))
        return;
    item->setText(0, name.trimmed());
    emit folderSelected(item->text(0), currentFolderId());
}

void CCardFolderView::deleteFolder()
{
    const long id = currentFolderId();
    if (id == 0 || !m_deps.prompter.question(this, QStringLiteral("您确认要删除该目录及目录下的所有客户？")))
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!store.DeleteFolder(id))
        m_deps.prompter.error(this, qs(store.GetLastError()));
    emit folderSelected(QString(), 0);
    m_deps.hints.broadcast(HintBroadcaster::AddressBookChanged);
}

void CCardFolderView::clearFolder()
{
    const long id = currentFolderId();
    if (id == 0 || !m_deps.prompter.question(this, QStringLiteral("您确认要清除该目录下的客户记录？")))
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!store.ClearFolder(id))
        m_deps.prompter.error(this, qs(store.GetLastError()));
    emit folderSelected(QString(), 0);
    emit folderSelected(current()->text(0), id);
}

void CCardFolderView::clearAllFolders()
{
    if (!m_deps.prompter.question(this, QStringLiteral("您确认要清除所有目录下的客户记录？")))
        return;
    CCardStore store(m_deps.app.GetDatabase());
    if (!store.ClearAll())
        m_deps.prompter.error(this, qs(store.GetLastError()));
    emit folderSelected(QString(), 0);
    if (current())
        emit folderSelected(current()->text(0), currentFolderId());
}

void CCardFolderView::exportCards(bool allFolders)
{
    const long id = allFolders ? 0 : currentFolderId();
    if (!allFolders && id == 0)
        return;
    const QString title = qs(CCardExporter::FolderSheetName(id));
    const QString path = AskExportPath(m_deps.prompter, this, title.toStdString());
    if (path.isEmpty())
        return;
    m_export->start(id, path,
        allFolders ? QStringLiteral("导出所有客户资料")
                   : QStringLiteral("导出目录[%1]客户资料").arg(current()->text(0)));
}

} // namespace telvora
