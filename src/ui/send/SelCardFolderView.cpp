#include "send/SelCardFolderView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "contacts/FindCardDlg.h"
#include "contacts/FolderTree.h"
#include "send/FolderNumberCache.h"
#include "send/RecipientHandOver.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr int kDataRole = Qt::UserRole;
// The state last handled, so that a change of the item's text is not taken for a check.
constexpr int kHandledRole = Qt::UserRole + 1;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CSelCardFolderView::CSelCardFolderView(Dependencies dependencies, QWidget* parent)
    : QWidget(parent)
    , m_deps(dependencies)
    , m_folders(new QTreeWidget(this))
    , m_cards(new QTreeWidget(this))
{
    const auto makeButton = [this](const QString& caption, auto slot) {
        auto* button = new QPushButton(caption, this);
        connect(button, &QPushButton::clicked, this, slot);
        m_buttons.append(button);
        return button;
    };
    QPushButton* hide = makeButton(QStringLiteral("隐藏"), [this]() { m_deps.frame.showLeftPane(false); });
    QPushButton* find = makeButton(QStringLiteral("客户查找"), &CSelCardFolderView::onFindClicked);
    QPushButton* invert = makeButton(QStringLiteral("全选/反选"), &CSelCardFolderView::invertCardChecks);
    QPushButton* send = makeButton(QStringLiteral("选中发送"), &CSelCardFolderView::onSendCheckedClicked);

    m_folders->setHeaderHidden(true);
    m_folders->setToolTip(QStringLiteral("单击一次列出目录中的客户，再单击一次加载整个目录"));
    m_cards->setHeaderHidden(true);
    m_cards->setRootIsDecorated(false);
    m_cards->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("客户目录"), this), 1);
    top->addWidget(hide);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(find);
    buttons->addWidget(invert);
    buttons->addWidget(send);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_folders, 1);
    layout->addWidget(new QLabel(QStringLiteral("客户列表"), this));
    layout->addWidget(m_cards, 1);
    layout->addLayout(buttons);

    connect(m_folders, &QTreeWidget::itemChanged, this, &CSelCardFolderView::onFolderChanged);
    connect(m_cards, &QTreeWidget::customContextMenuRequested, this, &CSelCardFolderView::showCardMenu);
    m_deps.hints.listen(this, &CSelCardFolderView::onHint);
    reload();
}

CSelCardFolderView::~CSelCardFolderView() = default;

QPushButton* CSelCardFolderView::button(const QString& caption) const
{
    for (QPushButton* button : m_buttons) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

void CSelCardFolderView::onHint(int hint)
{
    if (hint == HintBroadcaster::AddressBookChanged || hint == HintBroadcaster::AllDataReplaced)
        reload();
}

void CSelCardFolderView::reload()
{
    QMap<long, Qt::CheckState> states;
    for (QTreeWidgetItemIterator it(m_folders); *it; ++it)
        states.insert((*it)->data(0, kDataRole).toLongLong(), (*it)->checkState(0));
    const QSignalBlocker blocker(m_folders);
    const QMap<long, QTreeWidgetItem*> items = FillFolderTree(m_folders, m_deps.app.GetDatabase());
    for (auto it = items.begin(); it != items.end(); ++it) {
        // A folder stands for its own cards: its box says nothing of its subfolders'.
        it.value()->setFlags(
            (it.value()->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsUserTristate) & ~Qt::ItemIsAutoTristate);
        const Qt::CheckState state = states.value(it.key(), Qt::Unchecked);
        it.value()->setCheckState(0, state);
        it.value()->setData(0, kHandledRole, static_cast<int>(state));
    }
}

void CSelCardFolderView::onFolderChanged(QTreeWidgetItem* item)
{
    const Qt::CheckState state = item->checkState(0);
    if (item->data(0, kHandledRole).toInt() == static_cast<int>(state))
        return;
    item->setData(0, kHandledRole, static_cast<int>(state));
    const long id = static_cast<long>(item->data(0, kDataRole).toLongLong());
    if (id <= 0)
        return;
    const QString name = item->text(0);
    if (state == Qt::Checked) {
        CollectedNumbers numbers;
        if (!m_deps.folderNumbers.Load(m_deps.app.GetDatabase(), id, false, numbers)) {
            m_deps.prompter.error(this, qs(m_deps.folderNumbers.GetLastError()));
            // The box must not claim a folder that is not in the list.
            const QSignalBlocker blocker(m_folders);
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, kHandledRole, static_cast<int>(Qt::Unchecked));
            return;
        }
        emit folderChecked(name, numbers);
    } else {
        emit folderUnchecked(name);
    }
    if (state == Qt::PartiallyChecked) {
        m_currentFolder = id;
        m_currentFolderName = name;
        showFolderCards(id);
    } else if (state == Qt::Unchecked && m_currentFolder == id) {
        // Only this folder's cards go: picks from a search or another folder stay.
        m_cards->clear();
    }
}

void CSelCardFolderView::showFolderCards(long folderId)
{
    std::vector<PickerCard> cards;
    CPickerCards reader(m_deps.app.GetDatabase());
    if (!reader.Folder(folderId, cards))
        m_deps.prompter.error(this, qs(reader.GetLastError()));
    fillCards(cards);
}

void CSelCardFolderView::fillCards(const std::vector<PickerCard>& cards)
{
    m_cards->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(cards.size()));
    for (const PickerCard& card : cards) {
        auto* item = new QTreeWidgetItem({qs(card.caption())});
        item->setData(0, kDataRole, qs(card.phone));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        items.append(item);
    }
    m_cards->addTopLevelItems(items);
}

void CSelCardFolderView::onFindClicked()
{
    CFindCardDlg dialog(m_deps.app.GetDatabase(), m_deps.prompter, m_currentFolder, m_currentFolderName, this);
    if (dialog.exec() == QDialog::Accepted)
        showSearchResult(dialog.whereClause());
}

void CSelCardFolderView::showSearchResult(const std::string& whereClause)
{
    std::vector<PickerCard> cards;
    CPickerCards reader(m_deps.app.GetDatabase());
    if (!reader.Search(whereClause, cards))
        m_deps.prompter.error(this, qs(reader.GetLastError()));
    fillCards(cards);
}

void CSelCardFolderView::invertCardChecks()
{
    for (int i = 0; i < m_cards->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_cards->topLevelItem(i);
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void CSelCardFolderView::onSendCheckedClicked()
{
    for (int i = 0; i < m_cards->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_cards->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            m_deps.handOver.handOverNumber(item->data(0, kDataRole).toString().toStdString());
    }
    if (!m_deps.handOver.singleNumbers().empty())
        m_deps.hints.broadcast(HintBroadcaster::NumbersHandedOver);
}

void CSelCardFolderView::showCardMenu(const QPoint& position)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("客户查找"), this, &CSelCardFolderView::onFindClicked);
    menu.addAction(QStringLiteral("选中发送"), this, &CSelCardFolderView::onSendCheckedClicked);
    menu.addAction(QStringLiteral("全选/反选"), this, &CSelCardFolderView::invertCardChecks);
    menu.exec(m_cards->viewport()->mapToGlobal(position));
}

} // namespace telvora
