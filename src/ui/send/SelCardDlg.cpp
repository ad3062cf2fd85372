#include "send/SelCardDlg.h"

#include "app/Prompter.h"
#include "contacts/FolderTree.h"
#include "send/PickerCards.h"
#include "send/SmsRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

namespace telvora {

namespace {

constexpr int kDataRole = Qt::UserRole; // folder id, or card phone
constexpr int kNameRole = Qt::UserRole + 1;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

long folderIdOf(const QTreeWidgetItem* item)
{
    return static_cast<long>(item->data(0, kDataRole).toLongLong());
}

} // namespace

CSelCardDlg::CSelCardDlg(CADODataBase& database, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_database(database)
    , m_prompter(prompter)
    , m_history(database)
    , m_folders(new QTreeWidget(this))
    , m_cards(new QTreeWidget(this))
    , m_numberBox(new QComboBox(this))
    , m_chosen(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("选择发送对象"));
    m_folders->setHeaderHidden(true);
    m_cards->setHeaderHidden(true);
    m_cards->setRootIsDecorated(false);
    m_chosen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_numberBox->setEditable(true);
    m_numberBox->setInsertPolicy(QComboBox::NoInsert);
    m_numberBox->lineEdit()->setMaxLength(11);
    m_numberBox->setToolTip(QStringLiteral("输入完成后,按回车添加到发送对象"));
    m_history.load();
    for (const std::string& number : m_history.numbers())
        m_numberBox->addItem(qs(number));
    m_numberBox->setCurrentIndex(-1);

    auto* remove = new QPushButton(QStringLiteral("移除"), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    // Enter in the number box adds the number; it must not close the dialog.
    for (QPushButton* button : {remove, ok, cancel})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("客户目录"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("目录客户(最多显示500个)"), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("已选对象"), this), 0, 2);
    layout->addWidget(m_folders, 1, 0, 3, 1);
    layout->addWidget(m_cards, 1, 1, 3, 1);
    layout->addWidget(m_chosen, 1, 2);
    layout->addWidget(remove, 2, 2);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("输入号码"), this));
    numberRow->addWidget(m_numberBox, 1);
    layout->addLayout(numberRow, 3, 2);
    layout->addLayout(buttons, 4, 0, 1, 3);

    connect(m_folders, &QTreeWidget::currentItemChanged, this, &CSelCardDlg::showCards);
    connect(m_folders, &QTreeWidget::itemChanged, this, &CSelCardDlg::onFolderChanged);
    connect(m_cards, &QTreeWidget::itemChanged, this, &CSelCardDlg::onCardChanged);
    connect(m_numberBox->lineEdit(), &QLineEdit::returnPressed, this, &CSelCardDlg::onNumberEntered);
    connect(remove, &QPushButton::clicked, this, &CSelCardDlg::removeSelected);
    connect(ok, &QPushButton::clicked, this, &CSelCardDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelCardDlg::reject);
    loadFolders();
}

CSelCardDlg::~CSelCardDlg() = default;

void CSelCardDlg::loadFolders()
{
    const QSignalBlocker blocker(m_folders);
    for (QTreeWidgetItem* item : FillFolderTree(m_folders, m_database)) {
        item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsAutoTristate);
        item->setCheckState(0, Qt::Unchecked);
    }
}

void CSelCardDlg::showCards(QTreeWidgetItem* folder)
{
    const QSignalBlocker blocker(m_cards);
    m_cards->clear();
    if (!folder)
        return;
    std::vector<PickerCard> cards;
    CPickerCards reader(m_database);
    if (!reader.FolderTop(folderIdOf(folder), cards))
        m_prompter.error(this, qs(reader.GetLastError()));
    for (const PickerCard& card : cards) {
        auto* item = new QTreeWidgetItem(m_cards, {qs(card.caption())});
        item->setData(0, kDataRole, qs(card.phone));
        item->setData(0, kNameRole, qs(card.name));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, m_choice.HasCard(card.phone) ? Qt::Checked : Qt::Unchecked);
    }
}

void CSelCardDlg::onFolderChanged(QTreeWidgetItem* item)
{
    const long id = folderIdOf(item);
    if (item->checkState(0) == Qt::Checked)
        m_choice.AddFolder(id, item->text(0).toStdString());
    else
        m_choice.RemoveFolder(id);
    refreshChosen();
}

void CSelCardDlg::onCardChanged(QTreeWidgetItem* item)
{
    const std::string phone = item->data(0, kDataRole).toString().toStdString();
    if (item->checkState(0) == Qt::Checked)
        m_choice.AddCard({item->data(0, kNameRole).toString().toStdString(), phone});
    else
        m_choice.RemoveCard(phone);
    refreshChosen();
}

void CSelCardDlg::onNumberEntered()
{
    const std::string number(TrimAscii(m_numberBox->currentText().toStdString()));
    // A number that is no mobile number is passed over without a word.
    if (!m_choice.AddNumber(number))
        return;
    if (m_history.add(number))
        m_numberBox->addItem(qs(number));
    m_numberBox->setCurrentIndex(-1);
    m_numberBox->setEditText({});
    refreshChosen();
}

void CSelCardDlg::removeSelected()
{
    QList<int> rows;
    for (const QListWidgetItem* item : m_chosen->selectedItems())
        rows.append(m_chosen->row(item));
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows)
        m_choice.Remove(static_cast<std::size_t>(row));
    syncChecks();
    refreshChosen();
}

void CSelCardDlg::syncChecks()
{
    {
        const QSignalBlocker blocker(m_folders);
        for (QTreeWidgetItemIterator it(m_folders); *it; ++it)
            (*it)->setCheckState(0, m_choice.HasFolder(folderIdOf(*it)) ? Qt::Checked : Qt::Unchecked);
    }
    const QSignalBlocker blocker(m_cards);
    for (int i = 0; i < m_cards->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_cards->topLevelItem(i);
        item->setCheckState(
            0, m_choice.HasCard(item->data(0, kDataRole).toString().toStdString()) ? Qt::Checked : Qt::Unchecked);
    }
}

void CSelCardDlg::refreshChosen()
{
    m_chosen->clear();
    for (const CRecipientChoice::Entry& entry : m_choice.Entries())
        m_chosen->addItem(qs(entry.caption));
}

void CSelCardDlg::accept()
{
    std::string error;
    if (!m_choice.Collect(m_database, m_picked, error)) {
        m_prompter.error(this, qs(error));
        return;
    }
    QDialog::accept();
}

} // namespace telvora
