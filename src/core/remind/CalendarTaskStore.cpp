#include "CalendarTaskStore.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"

namespace telvora {

namespace {

std::string number(int value)
{
    return std::to_string(value);
}

std::string dateCall(const DateTime& time)
{
    return "CDate(" + SqlQuote(time.toString()) + ")";
}

CalendarTask readTask(CADORecordset& rows)
{
    CalendarTask task;
    int flag = 0;
    rows.GetFieldValue("ID", task.id);
    rows.GetFieldValue("Name", task.name);
    rows.GetFieldValue("Subject", task.subject);
    task.popupReminder = rows.GetFieldValue("IsIFRemain", flag) && flag == 1;
    task.smsReminder = rows.GetFieldValue("IsMsgRemain", flag) && flag == 1;
    task.allDay = rows.GetFieldValue("IsAllDay", flag) && flag == 1;
    rows.GetFieldValue("TaskDate", task.start);
    rows.GetFieldValue("Status", task.status);
    rows.GetFieldValue("IFRemainBefore", task.popupLead);
    rows.GetFieldValue("MsgRemainBefore", task.smsLead);
    rows.GetFieldValue("TaskType", task.type);
    rows.GetFieldValue("MsgPhones", task.phones);
    rows.GetFieldValue("MsgSendTime", task.smsTime);
    task.insertTitle = rows.GetFieldValue("InsertTitle", flag) && flag == 1;
    return task;
}

} // namespace

CCalendarTaskStore::CCalendarTaskStore(CADODataBase& database)
    : m_database(database)
{ }

bool CCalendarTaskStore::execute(const std::string& sql)
{
    if (!m_database.Execute(sql)) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    m_lastError.clear();
    return true;
}

std::vector<CalendarTask> CCalendarTaskStore::query(const std::string& sql)
{
    std::vector<CalendarTask> tasks;
    CADORecordset rows(&m_database);
    if (!rows.Open(sql)) {
        m_lastError = rows.GetLastError();
        return tasks;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        tasks.push_back(readTask(rows));
    }
    return tasks;
}

bool CCalendarTaskStore::Insert(CalendarTask& task)
{
    CADORecordset rows(&m_database);
    int lastId = 0;
    if (!rows.Open("SELECT MAX(ID) FROM tbl_calendar_task")) {
        m_lastError = rows.GetLastError();
        return false;
    }
    if (!rows.IsEOF()) {
        rows.GetFieldValue(0, lastId);
    }
    rows.Close();
    const int id = lastId + 1;
    const DateTime smsTime = task.smsTime.valid ? task.smsTime : task.start;
    if (!execute("INSERT INTO tbl_calendar_task (id, Name, Subject, IsIFRemain, IsMsgRemain, IsAllDay, TaskDate, "
                 "Status, IFRemainBefore, MsgRemainBefore, TaskType, MsgPhones, MsgSendTime, InsertTitle ) VALUES ( "
            + number(id) + ", " + SqlQuote(task.name) + ", " + SqlQuote(task.subject) + ", "
            + number(task.popupReminder) + ", " + number(task.smsReminder) + "," + number(task.allDay) + ", "
            + dateCall(task.start) + ",1, " + number(task.popupLead) + ", " + number(task.smsLead) + ","
            + number(task.type) + ", " + SqlQuote(task.phones) + ", " + dateCall(smsTime) + ", "
            + number(task.insertTitle) + " )")) {
        return false;
    }
    task.id = id;
    task.status = CalendarTask::kOpen;
    return true;
}

bool CCalendarTaskStore::Update(const CalendarTask& task)
{
    return execute("UPDATE tbl_calendar_task SET Name=" + SqlQuote(task.name) + ", Subject=" + SqlQuote(task.subject)
        + ", IsIFRemain=" + number(task.popupReminder) + ", IsMsgRemain=" + number(task.smsReminder) + ", IsAllDay="
        + number(task.allDay) + ", TaskDate=" + dateCall(task.start) + ", IFRemainBefore=" + number(task.popupLead)
        + ", TaskType=" + number(task.type) + " WHERE ID=" + number(task.id));
}

bool CCalendarTaskStore::Delete(int id)
{
    return execute("DELETE FROM tbl_calendar_task WHERE id = " + number(id));
}

bool CCalendarTaskStore::ClearHistory()
{
    return execute("DELETE FROM tbl_calendar_task WHERE Status=255");
}

std::optional<CalendarTask> CCalendarTaskStore::Load(int id)
{
    std::vector<CalendarTask> tasks
        = query("SELECT * FROM tbl_calendar_task WHERE id = " + number(id) + " ORDER BY ID");
    if (tasks.empty()) {
        return std::nullopt;
    }
    return tasks.front();
}

std::vector<CalendarTask> CCalendarTaskStore::List(int type)
{
    return query(type == kAllTypes
            ? std::string("SELECT * FROM tbl_calendar_task ORDER BY ID")
            : "SELECT * FROM tbl_calendar_task WHERE TaskType = " + number(type) + " ORDER BY ID");
}

std::optional<bool> CCalendarTaskStore::AnyDue(const DateTime& now)
{
    CADORecordset rows(&m_database);
    if (!rows.Open("SELECT IFRemainBefore, TaskDate FROM tbl_calendar_task WHERE IsIFRemain=1 AND Status<>255 ")) {
        m_lastError = rows.GetLastError();
        return std::nullopt;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        CalendarTask task;
        rows.GetFieldValue(0, task.popupLead);
        rows.GetFieldValue(1, task.start);
        if (task.start.valid && task.dueTime() <= now) {
            return true;
        }
    }
    return rows.HasFailed() ? std::nullopt : std::optional<bool>(false);
}

std::vector<CalendarTask> CCalendarTaskStore::DueTasks(const DateTime& now)
{
    std::vector<CalendarTask> due;
    for (CalendarTask& task :
        query("SELECT * FROM tbl_calendar_task WHERE IsIFRemain=1 AND Status<>255 order by TaskDate")) {
        if (task.start.valid && task.dueTime() <= now) {
            due.push_back(std::move(task));
        }
    }
    return due;
}

bool CCalendarTaskStore::Snooze(int id, const DateTime& now, int minutes)
{
    return execute("UPDATE tbl_calendar_task SET TaskDate=" + dateCall(now.addSeconds(60LL * minutes))
        + " WHERE id=" + number(id));
}

bool CCalendarTaskStore::Finish(int id)
{
    return execute("UPDATE tbl_calendar_task SET Status=255 WHERE id=" + number(id));
}

bool CCalendarTaskStore::FinishAll(std::span<const int> ids)
{
    if (ids.empty()) {
        return true;
    }
    std::string list;
    for (int id : ids) {
        list += (list.empty() ? "" : ",") + number(id);
    }
    return execute("UPDATE tbl_calendar_task SET Status=255 WHERE id in (" + list + ")");
}

} // namespace telvora
