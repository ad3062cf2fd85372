#pragma once

#include "BirthdayMatcher.h"
#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CParameterStore;
class CSendEngine;

/// The once-a-day birthday greeting after login and the weekend greetings offered on
/// Fridays: which day is due, who is greeted, and the sends through the engine (send
/// mode 2). "BirthSendDate" keeps the daily send to one successful run per day.
class CBirthdayGreeter final
{
public:
    static constexpr const char* kParameterError = "生日短信发送失败，系统参数错误!";
    static constexpr const char* kSentStatus = "生日短信已发送，请查阅短信记录";
    static constexpr const char* kScheduledDone = "今天的生日短信已提交到服务器定时执行,请在定时记录中查询";
    static constexpr const char* kSentDone = "今天的生日短信已发送,请到短信记录中查询";

    enum class Due {
        Off, // not greeting automatically, or not connected
        ParameterError, // "BirthdayTime" or "BirthSendDate" is no date
        AlreadySent, // today's greetings went out already
        Today,
    };

    struct Outcome
    {
        bool sent = false;
        bool scheduled = false;
    };

    CBirthdayGreeter(CADODataBase& database, CParameterStore& parameters, CSendEngine& engine);

    /// Whether today's greetings are still to be sent.
    Due CheckToday(bool connected, const DateTime& now) const;
    /// The numbers greeted on a day.
    std::vector<std::string> PhonesOn(const DateTime& day);
    /// "您今天有[%d]个客户需要发送生日短信，您确认是否需要发送？"
    static std::string ConfirmQuestion(int count);
    /// Sends today's greetings: at once when the configured time of day has come, otherwise
    /// scheduled for it. Nothing is sent when the engine refuses.
    Outcome SendToday(const std::vector<std::string>& phones, const DateTime& now);
    /// Remembers that today's greetings went out; false when the parameter row could not
    /// be written (the store is updated all the same).
    bool MarkSent(const DateTime& today);

    /// The weekend dialog's Saturday and Sunday: now plus one and plus two days.
    static DateTime Saturday(const DateTime& now) { return now.addDays(1); }
    static DateTime Sunday(const DateTime& now) { return now.addDays(2); }
    /// Schedules the greetings of a day at the configured time (10:00 when it is no time).
    bool ScheduleOn(const std::vector<std::string>& phones, const DateTime& day);

    const std::string& GetLastError() const { return m_lastError; }

private:
    int insertionMode() const;

    CADODataBase& m_database;
    CParameterStore& m_parameters;
    CSendEngine& m_engine;
    CBirthdayMatcher m_matcher;
    std::string m_lastError;
};

} // namespace telvora
