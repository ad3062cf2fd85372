#include "widgets/CalendarControl.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

namespace telvora {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

CCalendarControl::CCalendarControl(QWidget* parent)
    : QWidget(parent)
    , m_selected(QDate::currentDate())
    , m_grid(new QGridLayout(this))
    , m_header(new QLabel(this))
{
    m_grid->setSpacing(1);
    m_header->setAlignment(Qt::AlignCenter);
    m_grid->addWidget(m_header, 0, 0, 1, 7);
    rebuild();
}

CCalendarControl::~CCalendarControl() = default;

QDate CCalendarControl::firstShown() const
{
    switch (m_mode) {
    case Mode::Day:
        return m_selected;
    case Mode::WorkWeek:
    case Mode::Week:
        return m_selected.addDays(1 - m_selected.dayOfWeek());
    case Mode::Month: {
        const QDate first(m_selected.year(), m_selected.month(), 1);
        return first.addDays(1 - first.dayOfWeek());
    }
    }
    return m_selected;
}

QDate CCalendarControl::lastShown() const
{
    const QDate first = firstShown();
    switch (m_mode) {
    case Mode::Day:
        return first;
    case Mode::WorkWeek:
        return first.addDays(4);
    case Mode::Week:
        return first.addDays(6);
    case Mode::Month:
        return first.addDays(41);
    }
    return first;
}

void CCalendarControl::setMode(Mode mode)
{
    m_mode = mode;
    rebuild();
}

void CCalendarControl::setSelectedDate(const QDate& date)
{
    if (!date.isValid())
        return;
    const bool sameRange = date >= firstShown() && date <= lastShown() && m_mode != Mode::Month;
    const bool sameMonth
        = m_mode == Mode::Month && date.year() == m_selected.year() && date.month() == m_selected.month();
    m_selected = date;
    if (sameRange || sameMonth) {
        for (Cell& cell : m_cells)
            cell.title->setStyleSheet(cell.date == m_selected ? QStringLiteral("background: #cde;") : QString());
    } else {
        rebuild();
    }
    emit dateSelected(date);
}

void CCalendarControl::rebuild()
{
    // Later: the press that led here may still be on its way through one of these.
    for (Cell& cell : m_cells) {
        for (QWidget* widget : std::initializer_list<QWidget*> {cell.title, cell.list}) {
            m_grid->removeWidget(widget);
            widget->hide();
            widget->deleteLater();
        }
    }
    m_cells.clear();
    const QDate first = firstShown();
    const int days = static_cast<int>(first.daysTo(lastShown())) + 1;
    const int columns = m_mode == Mode::Month ? 7 : days;
    for (int i = 0; i < days; ++i) {
        Cell cell;
        cell.date = first.addDays(i);
        cell.title = new QLabel(
            cell.date.toString(m_mode == Mode::Month ? QStringLiteral("d") : QStringLiteral("M月d日 ddd")), this);
        cell.title->setAlignment(Qt::AlignCenter);
        if (m_mode == Mode::Month && cell.date.month() != m_selected.month())
            cell.title->setEnabled(false);
        if (cell.date == m_selected)
            cell.title->setStyleSheet(QStringLiteral("background: #cde;"));
        cell.list = new QListWidget(this);
        const QDate date = cell.date;
        connect(cell.list, &QListWidget::itemPressed, this, [this, date]() { setSelectedDate(date); });
        connect(cell.list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit eventActivated(item->data(kIdRole).toInt()); });
        // A press on the empty part of a cell selects its day too.
        cell.list->viewport()->installEventFilter(this);
        const int row = 1 + (i / columns) * 2;
        m_grid->addWidget(cell.title, row, i % columns);
        m_grid->addWidget(cell.list, row + 1, i % columns);
        m_cells.append(cell);
    }
    m_grid->addWidget(m_header, 0, 0, 1, columns);
    m_header->setText(headerText());
    fill();
}

QString CCalendarControl::headerText() const
{
    if (m_mode == Mode::Month)
        return m_selected.toString(QStringLiteral("yyyy年M月"));
    const QString pattern = QStringLiteral("yyyy年M月d日");
    return m_mode == Mode::Day ? m_selected.toString(pattern)
                               : firstShown().toString(pattern) + QStringLiteral(" - ") + lastShown().toString(pattern);
}

bool CCalendarControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (const Cell& cell : m_cells) {
            if (cell.list->viewport() == watched) {
                const QDate date = cell.date;
                if (date != m_selected)
                    setSelectedDate(date);
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CCalendarControl::fill()
{
    QVector<CalendarEvent> sorted = m_events;
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const CalendarEvent& a, const CalendarEvent& b) { return a.start < b.start; });
    for (Cell& cell : m_cells) {
        cell.list->clear();
        for (const CalendarEvent& event : sorted) {
            if (event.start.date() != cell.date)
                continue;
            const QString time = event.allDay ? QStringLiteral("全天") : event.start.toString(QStringLiteral("HH:mm"));
            auto* item = new QListWidgetItem(time + QLatin1Char(' ') + event.subject, cell.list);
            item->setData(kIdRole, event.id);
            item->setToolTip(event.subject);
        }
    }
}

void CCalendarControl::setEvents(QVector<CalendarEvent> events)
{
    m_events = std::move(events);
    fill();
}

void CCalendarControl::addEvent(const CalendarEvent& event)
{
    m_events.append(event);
    fill();
}

void CCalendarControl::removeEvent(int id)
{
    m_events.erase(
        std::remove_if(m_events.begin(), m_events.end(), [id](const CalendarEvent& e) { return e.id == id; }),
        m_events.end());
    fill();
}

bool CCalendarControl::hasEvent(int id) const
{
    return std::any_of(m_events.begin(), m_events.end(), [id](const CalendarEvent& e) { return e.id == id; });
}

bool CCalendarControl::ensureVisible(int id)
{
    for (const CalendarEvent& event : m_events) {
        if (event.id == id) {
            setSelectedDate(event.start.date());
            return true;
        }
    }
    return false;
}

QVector<int> CCalendarControl::shownOn(const QDate& date) const
{
    QVector<int> ids;
    for (const Cell& cell : m_cells) {
        if (cell.date != date)
            continue;
        for (int i = 0; i < cell.list->count(); ++i)
            ids.append(cell.list->item(i)->data(kIdRole).toInt());
    }
    return ids;
}

int CCalendarControl::currentEvent() const
{
    for (const Cell& cell : m_cells) {
        if (cell.date == m_selected && cell.list->currentItem())
            return cell.list->currentItem()->data(kIdRole).toInt();
    }
    return 0;
}

} // namespace telvora
