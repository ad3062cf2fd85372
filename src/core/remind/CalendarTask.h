#pragma once

#include "db/DateTime.h"

#include <string>

namespace telvora {

/// One row of tbl_calendar_task.
struct CalendarTask
{
    static constexpr int kOpen = 1;
    static constexpr int kFinished = 255;

    int id = 0;
    std::string name;
    std::string subject;
    bool popupReminder = false; // IsIFRemain
    bool smsReminder = false; // IsMsgRemain
    bool allDay = false;
    DateTime start; // TaskDate
    int status = kOpen;
    int popupLead = 0; // IFRemainBefore, minutes
    int smsLead = 0; // MsgRemainBefore, minutes
    int type = 0; // TaskType, index into TaskTypeNames()
    std::string phones; // MsgPhones, ";"-separated
    DateTime smsTime; // MsgSendTime
    bool insertTitle = false;

    /// The moment the pop-up reminder is due: the start less the lead.
    DateTime dueTime() const { return start.addSeconds(-60LL * popupLead); }
};

} // namespace telvora
