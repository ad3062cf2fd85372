#include "remind/RemainListView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "remind/CalendarRemainView.h"
#include "remind/CalendarTaskStore.h"
#include "remind/HolidayStore.h"

#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

CRemainListView::CRemainListView(ViewServices services, Clock clock, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_clock(std::move(clock))
    , m_holidays(new QTreeWidget(this))
    , m_tasks(new QListWidget(this))
    , m_filters(new QButtonGroup(this))
{
    m_holidays->setHeaderLabels({QStringLiteral("本周节日"), QStringLiteral("日期")});
    m_holidays->setRootIsDecorated(false);
    m_holidays->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tasks->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("我的日历"), this));
    layout->addWidget(m_holidays, 1);
    layout->addWidget(new QLabel(QStringLiteral("近期活动安排"), this));
    layout->addWidget(m_tasks, 2);
    const QStringList names {QStringLiteral("显示全部"), QStringLiteral("工作安排"), QStringLiteral("商务活动"),
        QStringLiteral("节日问候"), QStringLiteral("好友生日")};
    for (int i = 0; i < names.size(); ++i) {
        auto* radio = new QRadioButton(names[i], this);
        // Ids are the filter plus one: an id of -1 would make the group pick one itself.
        m_filters->addButton(radio, i);
        layout->addWidget(radio);
    }
    m_filters->button(0)->setChecked(true);
    connect(m_filters, &QButtonGroup::idClicked, this, [this](int id) {
        m_filter = id - 1;
        reload();
        emit typeFilterChosen(m_filter);
    });

    connect(m_holidays, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("发送节日短信"), this, &CRemainListView::onSendHolidayGreeting);
        menu.addAction(QStringLiteral("节日管理"), this, [this]() { m_services.frame.runCommand(CmdHolidays); });
        menu.exec(m_holidays->viewport()->mapToGlobal(at));
    });
    connect(m_holidays, &QTreeWidget::itemDoubleClicked, this, &CRemainListView::onSendHolidayGreeting);
    connect(m_tasks, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("新增任务"), this, [this]() { emit taskActionRequested(0, 0); });
        menu.addAction(QStringLiteral("编辑任务"), this, &CRemainListView::onEditTask);
        menu.addAction(QStringLiteral("删除任务"), this, &CRemainListView::onDeleteTask);
        menu.addAction(QStringLiteral("清空历史任务"), this, &CRemainListView::onClearHistory);
        menu.exec(m_tasks->viewport()->mapToGlobal(at));
    });
    connect(m_tasks, &QListWidget::itemDoubleClicked, this, &CRemainListView::onEditTask);
    m_services.hints.listen(this, &CRemainListView::onHint);
    reload();
}

CRemainListView::~CRemainListView() = default;

void CRemainListView::onHint(int hint)
{
    if (hint == HintBroadcaster::CalendarTasksChanged || hint == HintBroadcaster::AllDataReplaced
        || hint == HintBroadcaster::AddressBookChanged)
        reload();
}

void CRemainListView::reload()
{
    CADODataBase& database = m_services.app.GetDatabase();
    m_holidays->clear();
    for (const Holiday& holiday : CHolidayStore(database).ThisWeek(m_clock())) {
        auto* item = new QTreeWidgetItem(
            m_holidays, {QString::fromStdString(holiday.name), QString::fromStdString(holiday.date.format("%m月%d"))});
        item->setData(0, kIdRole, holiday.id);
    }
    m_tasks->clear();
    for (const CalendarTask& task : CCalendarTaskStore(database).List(m_filter)) {
        auto* item
            = new QListWidgetItem(QString::fromStdString(task.start.format("%m月%d %H:%M") + ":" + task.name), m_tasks);
        item->setData(kIdRole, task.id);
    }
}

int CRemainListView::selectedTask() const
{
    const QListWidgetItem* item = m_tasks->currentItem();
    return item ? item->data(kIdRole).toInt() : 0;
}

void CRemainListView::onSendHolidayGreeting()
{
    const QTreeWidgetItem* item = m_holidays->currentItem();
    if (!item) {
        m_services.prompter.information(this, QStringLiteral("请先选择一个需要发送短信的节日!"));
        return;
    }
    emit holidayGreetingRequested(item->data(0, kIdRole).toInt());
}

void CRemainListView::onEditTask()
{
    if (const int id = selectedTask(); id > 0)
        emit taskActionRequested(0, id);
}

void CRemainListView::onDeleteTask()
{
    if (const int id = selectedTask(); id > 0)
        emit taskActionRequested(CCalendarRemainView::kDeleteAction, id);
}

void CRemainListView::onClearHistory()
{
    if (!m_services.prompter.question(this, QStringLiteral("您是否确定要清空所有已完成的历史任务？")))
        return;
    if (CCalendarTaskStore(m_services.app.GetDatabase()).ClearHistory())
        m_services.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
}

} // namespace telvora
