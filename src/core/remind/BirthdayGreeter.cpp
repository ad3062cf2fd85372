#include "BirthdayGreeter.h"

#include "BirthdaySettings.h"
#include "SubmitSend.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/DateTime.h"
#include "db/SqlText.h"
#include "send/SendEngine.h"

namespace telvora {

namespace {

std::string dayText(const DateTime& day)
{
    return day.format("%Y-%m-%d");
}

} // namespace

CBirthdayGreeter::CBirthdayGreeter(CADODataBase& database, CParameterStore& parameters, CSendEngine& engine)
    : m_database(database)
    , m_parameters(parameters)
    , m_engine(engine)
    , m_matcher(database)
{ }

CBirthdayGreeter::Due CBirthdayGreeter::CheckToday(bool connected, const DateTime& now) const
{
    if (!IsParameterOn(m_parameters, "AutoSendBirth") || !connected) {
        return Due::Off;
    }
    const DateTime time = DateTime::parse(m_parameters.Get("BirthdayTime"));
    const DateTime lastSent = DateTime::parse(m_parameters.Get("BirthSendDate"));
    if (!time.valid || !lastSent.valid) {
        return Due::ParameterError;
    }
    return dayText(lastSent) >= dayText(now) ? Due::AlreadySent : Due::Today;
}

std::vector<std::string> CBirthdayGreeter::PhonesOn(const DateTime& day)
{
    return m_matcher.FindPhones(day);
}

std::string CBirthdayGreeter::ConfirmQuestion(int count)
{
    return "您今天有[" + std::to_string(count) + "]个客户需要发送生日短信，您确认是否需要发送？";
}

int CBirthdayGreeter::insertionMode() const
{
    return IsParameterOn(m_parameters, "BirthTitle") ? CSendEngine::InsertTitle : CSendEngine::PlainSend;
}

CBirthdayGreeter::Outcome CBirthdayGreeter::SendToday(const std::vector<std::string>& phones, const DateTime& now)
{
    Outcome outcome;
    const DateTime time = DateTime::parse(m_parameters.Get("BirthdayTime"));
    SendOrder order {phones, m_parameters.Get("BirthSMSContent"), CSendEngine::BirthdayMode, insertionMode(), {}};
    // Compared to the minute: at the configured minute itself the greetings go out at once.
    if (time.valid && time.format("%H:%M:00") > now.format("%H:%M:00")) {
        order.sendTime = DateTime::fromFields(now.year, now.month, now.day, time.hour, time.minute);
    }
    outcome.sent = SubmitSend(m_engine, order);
    outcome.scheduled = outcome.sent && order.sendTime.valid;
    m_lastError = outcome.sent ? std::string() : m_engine.GetLastError();
    return outcome;
}

bool CBirthdayGreeter::MarkSent(const DateTime& today)
{
    const std::string day = dayText(today);
    m_parameters.Set("BirthSendDate", day);
    if (!m_database.Execute(
            "UPDATE tbl_sys_param SET para_value = " + SqlQuote(day) + " WHERE para_name = 'BirthSendDate'")) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    return true;
}

bool CBirthdayGreeter::ScheduleOn(const std::vector<std::string>& phones, const DateTime& day)
{
    DateTime time = DateTime::parse(m_parameters.Get("BirthdayTime"));
    if (!time.valid) {
        time = DateTime::fromFields(1900, 1, 1, 10, 0);
    }
    const SendOrder order {phones, m_parameters.Get("BirthSMSContent"), CSendEngine::BirthdayMode, insertionMode(),
        DateTime::fromFields(day.year, day.month, day.day, time.hour, time.minute)};
    const bool sent = SubmitSend(m_engine, order);
    m_lastError = sent ? std::string() : m_engine.GetLastError();
    return sent;
}

} // namespace telvora
