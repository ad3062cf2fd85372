#pragma once

#include <QDate>
#include <QDateTime>
#include <QVector>
#include <QWidget>

class QGridLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace telvora {

// One event of the calendar; id is what the owner knows it by.
struct CalendarEvent
{
    int id = 0;
    QDateTime start;
    QString subject;
    bool allDay = false;
};

// A calendar of day cells showing events: one day, the five working days, the seven days
// of a week or the six weeks around a month. A click on a cell selects its day; a
// double-click on an event activates it.
class CCalendarControl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCalendarControl)

public:
    enum class Mode { Day, WorkWeek, Week, Month };

    explicit CCalendarControl(QWidget* parent = nullptr);
    ~CCalendarControl() override;

    void setMode(Mode mode);
    Mode mode() const { return m_mode; }
    void setSelectedDate(const QDate& date);
    QDate selectedDate() const { return m_selected; }
    // The first and last day shown.
    QDate firstShown() const;
    QDate lastShown() const;

    void setEvents(QVector<CalendarEvent> events);
    void addEvent(const CalendarEvent& event);
    void removeEvent(int id);
    const QVector<CalendarEvent>& events() const { return m_events; }
    bool hasEvent(int id) const;
    // Selects the day of the event so that it is shown; false when there is no such event.
    bool ensureVisible(int id);
    // The events shown in the cell of a day (empty when the day is not shown).
    QVector<int> shownOn(const QDate& date) const;
    // The event chosen in the cells, 0 without one.
    int currentEvent() const;
    // What the calendar shows, e.g. "2026年12月".
    QString headerText() const;

signals:
    void eventActivated(int id);
    void dateSelected(const QDate& date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Cell
    {
        QDate date;
        QLabel* title = nullptr;
        QListWidget* list = nullptr;
    };

    void rebuild();
    void fill();

    Mode m_mode = Mode::Month;
    QDate m_selected;
    QVector<CalendarEvent> m_events;
    QVector<Cell> m_cells;
    QGridLayout* m_grid;
    QLabel* m_header;
};

} // namespace telvora
