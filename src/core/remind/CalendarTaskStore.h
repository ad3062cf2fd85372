#pragma once

#include "CalendarTask.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// The calendar tasks: storing, listing, and the pop-up reminders that are due.
class CCalendarTaskStore final
{
public:
    static constexpr int kAllTypes = -1;

    explicit CCalendarTaskStore(CADODataBase& database);

    /// Stores a new open task under the next free id, which task then carries.
    bool Insert(CalendarTask& task);
    /// Stores what an edit may change; the SMS fields stay as they were sent.
    bool Update(const CalendarTask& task);
    bool Delete(int id);
    /// Deletes every finished task.
    bool ClearHistory();
    std::optional<CalendarTask> Load(int id);
    /// Every task of a type (kAllTypes: all), finished ones included, in id order.
    std::vector<CalendarTask> List(int type);

    /// Whether some open task's pop-up reminder is due at now; nothing when the tasks
    /// could not be read (the caller tries again later).
    std::optional<bool> AnyDue(const DateTime& now);
    /// The open tasks whose reminder is due, by start time.
    std::vector<CalendarTask> DueTasks(const DateTime& now);
    /// Moves a task's start to now plus minutes.
    bool Snooze(int id, const DateTime& now, int minutes);
    bool Finish(int id);
    bool FinishAll(std::span<const int> ids);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool execute(const std::string& sql);
    std::vector<CalendarTask> query(const std::string& sql);

    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
