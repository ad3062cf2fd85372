#include "remind/ShowRemainDlg.h"

#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "remind/CalendarTaskStore.h"
#include "remind/TaskRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace telvora {

namespace {

QString startText(const CalendarTask& task)
{
    return QString::fromStdString(task.start.format("%Y-%m-%d %H:%M"));
}

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

CShowRemainDlg::CShowRemainDlg(
    CADODataBase& database, Prompter& prompter, HintBroadcaster& hints, Clock clock, QWidget* parent)
    : QDialog(parent)
    , m_database(database)
    , m_prompter(prompter)
    , m_hints(hints)
    , m_clock(std::move(clock))
    , m_list(new QTreeWidget(this))
    , m_name(new QLabel(this))
    , m_start(new QLabel(this))
    , m_spans(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("界面提醒"));
    m_list->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("事项内容"), QStringLiteral("开始时间")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& choice : TaskRules::PopupLeadChoices())
        m_spans->addItem(QString::fromStdString(choice));
    auto* snooze = new QPushButton(QStringLiteral("暂停"), this);
    auto* clear = new QPushButton(QStringLiteral("清除"), this);
    auto* clearAll = new QPushButton(QStringLiteral("全部清除"), this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("任务名称："), this), 0, 0);
    layout->addWidget(m_name, 0, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("开始时间："), this), 1, 0);
    layout->addWidget(m_start, 1, 1, 1, 3);
    layout->addWidget(m_list, 2, 0, 1, 4);
    layout->addWidget(m_spans, 3, 0);
    layout->addWidget(new QLabel(QStringLiteral("单击\"暂停\"按钮在此时间后再次提醒"), this), 3, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(snooze);
    buttons->addWidget(clear);
    buttons->addWidget(clearAll);
    layout->addLayout(buttons, 4, 0, 1, 4);
    connect(snooze, &QPushButton::clicked, this, &CShowRemainDlg::onSnooze);
    connect(clear, &QPushButton::clicked, this, &CShowRemainDlg::onClear);
    connect(clearAll, &QPushButton::clicked, this, &CShowRemainDlg::onClearAll);
    connect(m_list, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem* item) { showTask(m_list->indexOfTopLevelItem(item)); });

    CCalendarTaskStore store(database);
    m_tasks = store.DueTasks(m_clock());
    for (const CalendarTask& task : m_tasks) {
        auto* item = new QTreeWidgetItem(
            m_list, {QString::fromStdString(task.name), QString::fromStdString(task.subject), startText(task)});
        item->setData(0, kIdRole, task.id);
    }
    if (!m_tasks.empty())
        showTask(static_cast<int>(m_tasks.size()) - 1);
}

CShowRemainDlg::~CShowRemainDlg() = default;

void CShowRemainDlg::showTask(int row)
{
    if (row < 0 || row >= static_cast<int>(m_tasks.size()))
        return;
    m_name->setText(QString::fromStdString(m_tasks[row].name));
    m_start->setText(startText(m_tasks[row]));
}

int CShowRemainDlg::selectedId() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(0, kIdRole).toInt();
}

void CShowRemainDlg::removeSelected()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

void CShowRemainDlg::onSnooze()
{
    const int id = selectedId();
    if (id == 0) {
        m_prompter.information(this, QStringLiteral("请先选中需要暂停的任务!"));
        return;
    }
    const int minutes = TaskRules::LeadMinutes(m_spans->currentText().toStdString());
    CCalendarTaskStore store(m_database);
    if (store.Snooze(id, m_clock(), minutes))
        removeSelected();
}

void CShowRemainDlg::onClear()
{
    const int id = selectedId();
    if (id == 0) {
        m_prompter.information(this, QStringLiteral("请先选中需要清除的任务!"));
        return;
    }
    CCalendarTaskStore store(m_database);
    if (store.Finish(id)) {
        removeSelected();
        m_hints.broadcast(HintBroadcaster::CalendarTasksChanged);
    }
}

void CShowRemainDlg::onClearAll()
{
    std::vector<int> ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        ids.push_back(m_list->topLevelItem(i)->data(0, kIdRole).toInt());
    CCalendarTaskStore store(m_database);
    store.FinishAll(ids);
    m_hints.broadcast(HintBroadcaster::CalendarTasksChanged);
    accept();
}

} // namespace telvora
