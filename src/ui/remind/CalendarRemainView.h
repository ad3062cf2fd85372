#pragma once

#include "app/ViewServices.h"

#include <QWidget>
#include <functional>

namespace telvora {

class CCalendarControl;
class CRemainEventDlg;
struct CalendarTask;
struct DateTime;

// The calendar pane of the reminders page: the tasks as events, and where tasks are
// created, edited and deleted, and holidays greeted.
class CCalendarRemainView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCalendarRemainView)

public:
    static constexpr int kDeleteAction = 88;
    using Clock = std::function<DateTime()>;

    CCalendarRemainView(ViewServices services, Clock clock, QWidget* parent = nullptr);
    ~CCalendarRemainView() override;

    CCalendarControl* calendar() const { return m_calendar; }
    int typeFilter() const { return m_filter; }

signals:
    // A wizard is about to run (tests fill it in from here).
    void wizardOpened(CRemainEventDlg* wizard);

public slots:
    // Shows the tasks of one type (-1: all).
    void reload(int typeFilter);
    // An id of 0 or less opens a new task; otherwise the task's event is shown and deleted
    // (kDeleteAction) or opened.
    void taskAction(int action, int taskId);
    // Turns a holiday into an SMS greeting task.
    void startHolidayGreeting(int holidayId);

private:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void onHint(int hint);
    void openNew(CalendarTask preset);
    void openExisting(int taskId);
    void deleteTask(int taskId);

    ViewServices m_services;
    Clock m_clock;
    CCalendarControl* m_calendar;
    int m_filter = -1;
};

} // namespace telvora
