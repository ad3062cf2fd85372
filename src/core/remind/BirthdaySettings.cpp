#include "BirthdaySettings.h"

#include "app/ParameterStore.h"
#include "db/DateTime.h"
#include "session/Session.h"

namespace telvora {

bool IsParameterOn(const CParameterStore& parameters, const std::string& key)
{
    return DecimalValue(parameters.Get(key)) == 1;
}

BirthdaySettings BirthdaySettings::Load(const CParameterStore& parameters)
{
    BirthdaySettings settings;
    settings.autoSend = IsParameterOn(parameters, "AutoSendBirth");
    settings.insertTitle = IsParameterOn(parameters, "BirthTitle");
    settings.confirm = IsParameterOn(parameters, "BirthConfirm");
    settings.content = parameters.Get("BirthSMSContent");
    const DateTime time = DateTime::parse(parameters.Get("BirthdayTime"));
    settings.timeValid = time.valid;
    settings.hour = time.hour;
    settings.minute = time.minute;
    settings.second = time.second;
    return settings;
}

std::string BirthdaySettings::Validate() const
{
    return autoSend && content.empty() ? kEmptyContent : "";
}

void BirthdaySettings::Store(CParameterStore& parameters) const
{
    parameters.Set("AutoSendBirth", autoSend ? "1" : "0");
    parameters.Set("BirthTitle", insertTitle ? "1" : "0");
    parameters.Set("BirthConfirm", confirm ? "1" : "0");
    parameters.Set("BirthSMSContent", content);
    parameters.Set("BirthdayTime",
        "1900-01-01 " + std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second));
}

} // namespace telvora
