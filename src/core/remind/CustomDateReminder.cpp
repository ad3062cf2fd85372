#include "CustomDateReminder.h"

#include "MonthDayCondition.h"
#include "SubmitSend.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"
#include "send/SendEngine.h"

#include <algorithm>
#include <cctype>

namespace telvora {

namespace {

// The column name comes from the field catalogue; only a plain identifier goes into SQL.
bool isColumnName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

} // namespace

std::vector<CustomDateReminder> CustomDateReminder::LoadAll(CADODataBase& database)
{
    std::vector<CustomDateReminder> reminders;
    CADORecordset rows(&database);
    if (!rows.Open("SELECT * FROM tbl_field_info where id > 23 ORDER BY id")) {
        return reminders;
    }
    for (; !rows.IsEOF(); rows.MoveNext()) {
        CustomDateReminder& reminder = reminders.emplace_back();
        int flag = 0;
        rows.GetFieldValue("id", reminder.id);
        rows.GetFieldValue("NewName", reminder.newName);
        rows.GetFieldValue("FieldName", reminder.fieldName);
        reminder.autoSend = rows.GetFieldValue("RemainType", flag) && flag == 1;
        reminder.insertTitle = rows.GetFieldValue("InsertTitle", flag) && flag == 1;
        rows.GetFieldValue("RemainContent", reminder.content);
        rows.GetFieldValue("RemainTime", reminder.sendTime);
        rows.GetFieldValue("AlwaysSendTime", reminder.lastSent);
    }
    return reminders;
}

void CustomDateReminder::FindDue(CADODataBase& database, const DateTime& today)
{
    phones.clear();
    if (!isColumnName(fieldName)) {
        return;
    }
    CADORecordset rows(&database);
    if (!rows.Open("SELECT phone FROM tbl_card WHERE FORMAT(" + fieldName + ", 'mmdd') = '"
            + MonthDayText(today.month, today.day) + "'")) {
        return;
    }
    for (; !rows.IsEOF(); rows.MoveNext()) {
        rows.GetFieldValue(0, phones.emplace_back());
    }
}

CustomDateReminder::Run CustomDateReminder::SendIfDue(CADODataBase& database, CSendEngine& engine, const DateTime& now)
{
    if (lastSent.valid && lastSent.format("%Y-%m-%d") >= now.format("%Y-%m-%d")) {
        return Run::AlreadySent;
    }
    if (!autoSend) {
        return Run::Off;
    }
    SendOrder order {phones, content, CSendEngine::ReminderMode,
        insertTitle ? CSendEngine::InsertTitle : CSendEngine::PlainSend, {}};
    if (sendTime.valid && sendTime.format("%H:%M:00") > now.format("%H:%M:00")) {
        order.sendTime = DateTime::fromFields(now.year, now.month, now.day, sendTime.hour, sendTime.minute);
    }
    if (!SubmitSend(engine, order)) {
        return Run::Refused;
    }
    database.Execute("UPDATE tbl_field_info SET AlwaysSendTime=CDate(" + SqlQuote(now.toString())
        + ") WHERE ID=" + std::to_string(id));
    lastSent = now;
    return Run::Sent;
}

std::string CustomDateReminder::FieldLine() const
{
    return newName + ":今日共有 " + std::to_string(phones.size()) + " 个到期";
}

std::string CustomDateReminder::StoreSettings(
    CADODataBase& database, int id, bool autoSend, bool insertTitle, const std::string& content, int hour, int minute)
{
    if (autoSend && content.empty()) {
        return kEmptyContent;
    }
    const std::string time = "2008-1-1 " + std::to_string(hour) + ":" + std::to_string(minute) + ":00";
    const std::string sql = "UPDATE tbl_field_info SET RemainType=" + std::to_string(autoSend ? 1 : 0)
        + ", InsertTitle=" + std::to_string(insertTitle ? 1 : 0) + ",RemainContent=" + SqlQuote(content)
        + ",RemainTime=CDATE(" + SqlQuote(time) + ")" + (autoSend ? ", ValidFlag=TRUE" : "")
        + " WHERE ID=" + std::to_string(id);
    if (!database.Execute(sql)) {
        return database.GetLastError().empty() ? std::string("保存失败!") : database.GetLastError();
    }
    return {};
}

} // namespace telvora
