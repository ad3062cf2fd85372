#include "BasicSettings.h"

#include "app/ParameterStore.h"

#include <cstdlib>

namespace telvora {

namespace {

constexpr std::string_view kOpen = "【";
constexpr std::string_view kClose = "】";

int decimal(const CParameterStore& parameters, const char* key)
{
    return std::atoi(parameters.Get(key).c_str());
}

std::string flag(bool on)
{
    return on ? "1" : "0";
}

} // namespace

std::string BracketedSignature(const std::string& text)
{
    const std::string_view view(text);
    if (view.starts_with(kOpen) && view.ends_with(kClose) && view.size() >= kOpen.size() + kClose.size()) {
        return text;
    }
    return std::string(kOpen) + text + std::string(kClose);
}

BasicSettings BasicSettings::Load(
    const CParameterStore& parameters, const std::string& serviceSignature, int fetchSendStatus)
{
    BasicSettings settings;
    settings.autoClear = decimal(parameters, "AutoClear") == 1;
    settings.keepDays = decimal(parameters, "SaveMaxDay");
    settings.checkUpdate = decimal(parameters, "CheckUpdate") == 1;
    settings.incomingSound = decimal(parameters, "SoundIncome") == 1;
    settings.autoSaveDatabase = decimal(parameters, "AutoSaveDB") == 1;
    settings.addSignature = decimal(parameters, "AddSMSTail") == 1;
    settings.autoSaveRepliers = decimal(parameters, "AutoSaveReciver") == 1;
    settings.stockWarning = decimal(parameters, "IsRemainStock") == 1;
    settings.stockWarningAmount = decimal(parameters, "RemainAmount");
    settings.skipUnsubscribed = parameters.Get("SkipUnsubscribed") != "0";
    if (!serviceSignature.empty() && fetchSendStatus == 1) {
        settings.signature = serviceSignature;
        settings.addSignature = true;
        settings.signatureFixed = true;
    } else {
        settings.signature = BracketedSignature(parameters.Get("SMSTail"));
    }
    return settings;
}

std::string BasicSettings::Validate() const
{
    if (keepDays < kMinimumKeepDays) {
        return kKeepTooShort;
    }
    if (addSignature && signature == std::string(kOpen) + std::string(kClose)) {
        return kEmptySignature;
    }
    return {};
}

void BasicSettings::Store(CParameterStore& parameters) const
{
    parameters.Set("CheckUpdate", flag(checkUpdate));
    parameters.Set("AutoSaveDB", flag(autoSaveDatabase));
    parameters.Set("AutoClear", flag(autoClear));
    parameters.Set("SaveMaxDay", std::to_string(keepDays));
    parameters.Set("AutoSaveReciver", flag(autoSaveRepliers));
    parameters.Set("SoundIncome", flag(incomingSound));
    parameters.Set("IsRemainStock", flag(stockWarning));
    parameters.Set("RemainAmount", std::to_string(stockWarningAmount));
    parameters.Set("AddSMSTail", flag(addSignature));
    parameters.Set("SMSTail", signature);
    parameters.Set("HideTray", "1");
    parameters.Set("SkipUnsubscribed", flag(skipUnsubscribed));
}

} // namespace telvora
