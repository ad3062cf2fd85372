#include "remind/CalendarRemainView.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "remind/CalendarTaskStore.h"
#include "remind/HolidayStore.h"
#include "remind/RemainEventDlg.h"
#include "remind/SubmitSend.h"
#include "send/SendEngine.h"
#include "widgets/CalendarControl.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>

namespace telvora {

namespace {

CalendarEvent eventOf(const CalendarTask& task)
{
    const DateTime& s = task.start;
    return {task.id, QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second)),
        QString::fromStdString(task.name), task.allDay};
}

} // namespace

CCalendarRemainView::CCalendarRemainView(ViewServices services, Clock clock, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_clock(std::move(clock))
    , m_calendar(new CCalendarControl(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_calendar);
    connect(m_calendar, &CCalendarControl::eventActivated, this, [this](int id) { taskAction(0, id); });
    m_services.hints.listen(this, &CCalendarRemainView::onHint);
    reload(-1);
}

CCalendarRemainView::~CCalendarRemainView() = default;

void CCalendarRemainView::onHint(int hint)
{
    if (hint == HintBroadcaster::CalendarTasksChanged || hint == HintBroadcaster::AllDataReplaced
        || hint == HintBroadcaster::AddressBookChanged)
        reload(m_filter);
}

void CCalendarRemainView::reload(int typeFilter)
{
    m_filter = typeFilter;
    CCalendarTaskStore store(m_services.app.GetDatabase());
    QVector<CalendarEvent> events;
    for (const CalendarTask& task : store.List(typeFilter))
        events.append(eventOf(task));
    m_calendar->setEvents(std::move(events));
}

void CCalendarRemainView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const auto mode = [this, &menu](const QString& text, CCalendarControl::Mode mode) {
        menu.addAction(text, this, [this, mode]() { m_calendar->setMode(mode); });
    };
    mode(QStringLiteral("日历模式"), CCalendarControl::Mode::Day);
    mode(QStringLiteral("工作周历"), CCalendarControl::Mode::WorkWeek);
    mode(QStringLiteral("七日周历"), CCalendarControl::Mode::Week);
    mode(QStringLiteral("月历模式"), CCalendarControl::Mode::Month);
    menu.addSeparator();
    menu.addAction(QStringLiteral("新增任务"), this, [this]() { taskAction(0, 0); });
    menu.addAction(QStringLiteral("删除任务"), this, [this]() {
        if (const int id = m_calendar->currentEvent(); id > 0)
            taskAction(kDeleteAction, id);
    });
    menu.exec(event->globalPos());
}

void CCalendarRemainView::taskAction(int action, int taskId)
{
    if (taskId <= 0) {
        // A new task starts on the chosen day at the next full hour.
        const DateTime now = m_clock();
        const QDate day = m_calendar->selectedDate();
        CalendarTask preset;
        preset.start = DateTime::fromFields(day.year(), day.month(), day.day()).addSeconds(3600LL * (now.hour + 1));
        preset.smsTime = preset.start;
        preset.popupReminder = true;
        preset.popupLead = 15;
        preset.smsLead = 60;
        openNew(preset);
        return;
    }
    if (!m_calendar->ensureVisible(taskId))
        return;
    if (action == kDeleteAction)
        deleteTask(taskId);
    else
        openExisting(taskId);
}

void CCalendarRemainView::openNew(CalendarTask preset)
{
    CRemainEventDlg wizard(preset, true, m_services.session, m_services.prompter, m_clock, this);
    emit wizardOpened(&wizard);
    if (wizard.exec() != QDialog::Accepted)
        return;
    CalendarTask task = wizard.task();
    CCalendarTaskStore store(m_services.app.GetDatabase());
    if (!store.Insert(task))
        return;
    const std::vector<std::string> recipients = wizard.recipients();
    if (task.smsReminder && !recipients.empty()) {
        // A refused send leaves the task as it is; the engine has said why, if anything.
        const bool submitted = SubmitSend(m_services.engine,
            {recipients, task.subject, CSendEngine::ReminderMode,
                task.insertTitle ? CSendEngine::InsertTitle : CSendEngine::PlainSend, task.smsTime});
        if (submitted && m_services.engine.GetExcludedCount() > 0)
            m_services.prompter.information(this, QString::fromStdString(m_services.engine.GetExcludedNote()));
    }
    m_services.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
}

void CCalendarRemainView::openExisting(int taskId)
{
    CCalendarTaskStore store(m_services.app.GetDatabase());
    const std::optional<CalendarTask> stored = store.Load(taskId);
    if (!stored)
        return;
    CRemainEventDlg wizard(*stored, false, m_services.session, m_services.prompter, m_clock, this);
    emit wizardOpened(&wizard);
    if (wizard.exec() != QDialog::Accepted)
        return;
    if (store.Update(wizard.task()))
        m_services.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
}

void CCalendarRemainView::deleteTask(int taskId)
{
    CCalendarTaskStore store(m_services.app.GetDatabase());
    if (!store.Delete(taskId))
        return;
    m_calendar->removeEvent(taskId);
    m_services.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
}

void CCalendarRemainView::startHolidayGreeting(int holidayId)
{
    CHolidayStore holidays(m_services.app.GetDatabase());
    const std::optional<Holiday> holiday = holidays.Load(holidayId);
    if (!holiday)
        return;
    const DateTime now = m_clock();
    // The day it falls on next, counted from this week's start (lunar ones by the lunar day).
    DateTime day = holidays.NextOccurrence(*holiday, CHolidayStore::WeekWindow(now).first);
    if (!day.valid)
        day = DateTime::fromFields(now.year, holiday->date.month, holiday->date.day);
    CalendarTask preset;
    preset.name = "节日短信:" + holiday->name;
    preset.subject = holiday->content;
    preset.type = 2;
    preset.smsReminder = true;
    preset.smsLead = 60;
    preset.popupLead = 15;
    preset.start = DateTime::fromFields(day.year, day.month, day.day, now.hour, now.minute, now.second);
    preset.smsTime = preset.start;
    openNew(preset);
}

} // namespace telvora
