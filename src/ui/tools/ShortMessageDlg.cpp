#include "tools/ShortMessageDlg.h"

#include "app/Prompter.h"
#include "db/ADODataBase.h"
#include "send/MessageEditLimit.h"
#include "tools/ToolWorker.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

namespace {

constexpr int kIdRole = Qt::UserRole;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string std8(const QString& text)
{
    return text.toStdString();
}

} // namespace

CShortMessageDlg::CShortMessageDlg(Prompter& prompter, CADODataBase& database, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_database(database)
    , m_library(database)
{
    setWindowTitle(QStringLiteral("短信用语"));
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_phrases = new QTreeWidget(this);
    m_phrases->setRootIsDecorated(false);
    m_phrases->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_phrases->setHeaderLabels({QStringLiteral("短语标题"), QStringLiteral("短语内容"), QStringLiteral("分组名")});
    m_title = new QLineEdit(this);
    m_group = new QComboBox(this);
    m_content = new QPlainTextEdit(this);
    m_counter = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setVisible(false);
    m_worker = new CToolWorker(this);

    auto* editor = new QFormLayout;
    editor->addRow(QStringLiteral("标题："), m_title);
    editor->addRow(QStringLiteral("分组："), m_group);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_counter);
    buttons->addStretch(1);
    const auto makeButton = [this, buttons](const QString& caption, void (CShortMessageDlg::*slot)()) {
        auto* button = new QPushButton(caption, this);
        connect(button, &QPushButton::clicked, this, slot);
        m_buttons.append(button);
        buttons->addWidget(button);
    };
    makeButton(QStringLiteral("新增"), &CShortMessageDlg::onAddClicked);
    makeButton(QStringLiteral("修改"), &CShortMessageDlg::onModifyClicked);
    makeButton(QStringLiteral("删除"), &CShortMessageDlg::onDeleteClicked);
    makeButton(QStringLiteral("选中发送"), &CShortMessageDlg::onUseClicked);
    makeButton(QStringLiteral("导入短语"), &CShortMessageDlg::onImportClicked);
    makeButton(QStringLiteral("退出"), &CShortMessageDlg::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(m_phrases, 2);
    right->addLayout(editor);
    right->addWidget(m_content, 1);
    right->addWidget(m_progress);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(right, 3);

    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("新建短语目录"), this, &CShortMessageDlg::onNewGroup);
    menu->addAction(QStringLiteral("修改短语目录"), this, &CShortMessageDlg::onRenameGroup);
    menu->addAction(QStringLiteral("删除短语目录"), this, &CShortMessageDlg::onDeleteGroup);
    connect(m_tree, &QWidget::customContextMenuRequested, this,
        [this, menu](const QPoint& at) { menu->popup(m_tree->viewport()->mapToGlobal(at)); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CShortMessageDlg::listPhrases);
    connect(m_phrases, &QTreeWidget::itemSelectionChanged, this, &CShortMessageDlg::onPhraseSelected);
    connect(m_content, &QPlainTextEdit::textChanged, this, &CShortMessageDlg::onContentChanged);
    connect(m_worker, &CToolWorker::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_worker, &CToolWorker::finished, this, [this]() {
        m_progress->setVisible(false);
        for (QPushButton* button : m_buttons) {
            button->setEnabled(true);
        }
        if (!m_imported) {
            m_prompter.information(this, qs(m_importMessage));
        }
        loadGroups();
        emit importFinished();
    });

    loadGroups();
    onContentChanged();
}

CShortMessageDlg::~CShortMessageDlg()
{
    m_worker->stop();
}

QPushButton* CShortMessageDlg::button(const QString& caption) const
{
    const auto found
        = std::find_if(m_buttons.begin(), m_buttons.end(), [&](QPushButton* b) { return b->text() == caption; });
    return found == m_buttons.end() ? nullptr : *found;
}

QTreeWidgetItem* CShortMessageDlg::groupsRoot() const
{
    return m_tree->topLevelItem(1);
}

void CShortMessageDlg::addGroupItem(int id, const QString& name)
{
    auto* item = new QTreeWidgetItem(groupsRoot(), {name});
    item->setData(0, kIdRole, id);
    m_group->addItem(name);
}

void CShortMessageDlg::loadGroups()
{
    m_tree->clear();
    m_group->clear();
    m_tree->addTopLevelItem(new QTreeWidgetItem({qs(CPhraseLibrary::kSentGroup)}));
    m_tree->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("短信语分组")}));
    m_group->addItem(qs(CPhraseLibrary::kSentGroup));
    for (const PhraseGroup& group : m_library.ListGroups()) {
        addGroupItem(group.id, qs(group.name));
    }
    groupsRoot()->setExpanded(true);
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
    m_group->setCurrentIndex(0);
}

QTreeWidgetItem* CShortMessageDlg::selectedGroupItem() const
{
    QTreeWidgetItem* item = m_tree->currentItem();
    // The root only holds the groups; the sent texts' entry is no group of the table.
    return item && item->parent() == groupsRoot() ? item : nullptr;
}

bool CShortMessageDlg::selectGroup(const QString& name)
{
    if (m_tree->topLevelItem(0)->text(0) == name) {
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
        return true;
    }
    for (int i = 0; i < groupsRoot()->childCount(); ++i) {
        if (groupsRoot()->child(i)->text(0) == name) {
            m_tree->setCurrentItem(groupsRoot()->child(i));
            return true;
        }
    }
    return false;
}

void CShortMessageDlg::listPhrases()
{
    m_phrases->clear();
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || item == groupsRoot()) {
        return;
    }
    for (const Phrase& phrase : m_library.ListPhrases(std8(item->text(0)))) {
        auto* row = new QTreeWidgetItem(m_phrases, {qs(phrase.title), qs(phrase.message), qs(phrase.group)});
        row->setData(0, kIdRole, phrase.id);
    }
}

void CShortMessageDlg::onPhraseSelected()
{
    QTreeWidgetItem* row = m_phrases->currentItem();
    if (!row || !row->isSelected()) {
        return;
    }
    m_title->setText(row->text(0));
    m_content->setPlainText(row->text(1));
    const int group = m_group->findText(row->text(2));
    if (group >= 0) {
        m_group->setCurrentIndex(group);
    }
}

void CShortMessageDlg::onContentChanged()
{
    if (m_editing) {
        return;
    }
    m_editing = true;
    const SmsEditState state = EnforceMessageLimit(m_content, false, SmsRuleValues {});
    m_editing = false;
    m_counter->setText(QStringLiteral("字数：%1").arg(state.charCount));
}

void CShortMessageDlg::onAddClicked()
{
    const QString group = m_group->currentText();
    if (!m_library.AddPhrase(std8(m_title->text()), std8(m_content->toPlainText()), std8(group))) {
        m_prompter.information(this, qs(m_library.GetMessage()));
        return;
    }
    selectGroup(group);
    listPhrases();
    m_content->clear();
}

void CShortMessageDlg::onModifyClicked()
{
    QTreeWidgetItem* row = m_phrases->currentItem();
    if (!row || !row->isSelected()) {
        return;
    }
    const QString group = m_group->currentText();
    if (!m_library.ModifyPhrase(
            row->data(0, kIdRole).toInt(), std8(m_title->text()), std8(m_content->toPlainText()), std8(group))) {
        m_prompter.information(this, qs(m_library.GetMessage()));
        return;
    }
    selectGroup(group);
    listPhrases();
}

void CShortMessageDlg::onDeleteClicked()
{
    QList<QTreeWidgetItem*> rows = m_phrases->selectedItems();
    if (rows.isEmpty()) {
        m_prompter.information(this, QStringLiteral("请选择要删除的短语!"));
        return;
    }
    std::sort(rows.begin(), rows.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return m_phrases->indexOfTopLevelItem(a) > m_phrases->indexOfTopLevelItem(b);
    });
    for (QTreeWidgetItem* row : rows) {
        if (!m_library.DeletePhrase(row->data(0, kIdRole).toInt())) {
            m_prompter.information(this, qs(m_library.GetMessage()));
            return;
        }
        delete row;
    }
}

void CShortMessageDlg::onUseClicked()
{
    const QList<QTreeWidgetItem*> rows = m_phrases->selectedItems();
    if (rows.isEmpty()) {
        m_prompter.information(this, QStringLiteral("请选择要插入的信息!"));
        return;
    }
    m_chosen
        = (m_phrases->currentItem() && m_phrases->currentItem()->isSelected() ? m_phrases->currentItem() : rows.first())
              ->text(1)
              .trimmed();
    accept();
}

void CShortMessageDlg::onNewGroup()
{
    const QString name = m_prompter.getText(this, QStringLiteral("新建短信目录"), {}).trimmed();
    if (name.isEmpty()) {
        return;
    }
    int id = 0;
    if (!m_library.AddGroup(std8(name), id)) {
        m_prompter.information(this, qs(m_library.GetMessage()));
        return;
    }
    addGroupItem(id, name);
    groupsRoot()->setExpanded(true);
}

void CShortMessageDlg::onRenameGroup()
{
    QTreeWidgetItem* item = selectedGroupItem();
    if (!item) {
        return;
    }
    const QString oldName = item->text(0);
    const QString name = m_prompter.getText(this, QStringLiteral("修改短语目录"), oldName).trimmed();
    if (name.isEmpty() || name == oldName) {
        return;
    }
    if (!m_library.RenameGroup(item->data(0, kIdRole).toInt(), std8(oldName), std8(name))) {
        m_prompter.information(this, qs(m_library.GetMessage()));
        return;
    }
    item->setText(0, name);
    const int index = m_group->findText(oldName);
    if (index >= 0) {
        m_group->setItemText(index, name);
    }
    listPhrases();
}

void CShortMessageDlg::onDeleteGroup()
{
    QTreeWidgetItem* item = selectedGroupItem();
    if (!item || !m_prompter.question(this, QStringLiteral("您确认要删除该短信目录及目录下的所有短语？"))) {
        return;
    }
    const QString name = item->text(0);
    if (!m_library.DeleteGroup(item->data(0, kIdRole).toInt(), std8(name))) {
        m_prompter.information(this, qs(m_library.GetMessage()));
        return;
    }
    const int index = m_group->findText(name);
    if (index >= 0) {
        m_group->removeItem(index);
    }
    delete item;
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
}

bool CShortMessageDlg::isImporting() const
{
    return m_worker->isRunning();
}

void CShortMessageDlg::onImportClicked()
{
    if (isImporting()) {
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("请选择要导入的短语文件");
    request.filter = QStringLiteral("Excel Files (*.xls *.xlsx *.ods *.csv)");
    const QString path = m_prompter.getOpenFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    m_progress->setValue(0);
    m_progress->setVisible(true);
    for (QPushButton* button : m_buttons) {
        button->setEnabled(false);
    }
    const std::string file = path.toStdString();
    const std::string databasePath = m_database.GetDatabasePath();
    m_worker->start([this, file, databasePath](const std::atomic<bool>&, const CToolWorker::Report& report) {
        // A connection of the worker's own: the dialog's stays with the UI thread.
        CADODataBase database;
        if (!database.Open(databasePath)) {
            m_imported = false;
            m_importMessage = database.GetLastError();
            return;
        }
        CPhraseLibrary library(database);
        std::size_t imported = 0;
        m_imported = library.ImportSpreadsheet(file, imported, report);
        m_importMessage = library.GetMessage();
    });
}

void CShortMessageDlg::reject()
{
    m_worker->stop();
    QDialog::reject();
}

} // namespace telvora
