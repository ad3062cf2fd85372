#pragma once

#include "app/ViewServices.h"

#include <QWidget>
#include <functional>

class QButtonGroup;
class QListWidget;
class QTreeWidget;

namespace telvora {

struct DateTime;

// "我的日历": this week's holidays and the tasks of the chosen type, beside the calendar.
class CRemainListView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemainListView)

public:
    using Clock = std::function<DateTime()>;

    CRemainListView(ViewServices services, Clock clock, QWidget* parent = nullptr);
    ~CRemainListView() override;

    QTreeWidget* holidays() const { return m_holidays; }
    QListWidget* tasks() const { return m_tasks; }
    QButtonGroup* filters() const { return m_filters; }
    void reload();

    void onSendHolidayGreeting();
    void onEditTask();
    void onDeleteTask();
    void onClearHistory();

signals:
    // As the calendar pane's WM_USER+8, +11 and +10 were.
    void taskActionRequested(int action, int taskId);
    void holidayGreetingRequested(int holidayId);
    void typeFilterChosen(int typeFilter);

private:
    void onHint(int hint);
    int selectedTask() const;

    ViewServices m_services;
    Clock m_clock;
    QTreeWidget* m_holidays;
    QListWidget* m_tasks;
    QButtonGroup* m_filters;
    int m_filter = -1;
};

} // namespace telvora
