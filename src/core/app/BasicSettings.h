#pragma once

#include <string>

namespace telvora {

class CParameterStore;

/// The basic system parameters as the settings dialog's first page edits them.
struct BasicSettings
{
    static constexpr int kMinimumKeepDays = 15;
    static constexpr const char* kKeepTooShort = "历史记录的保存期限不能少于 15 天!";
    static constexpr const char* kEmptySignature = "签名不能为空!";

    bool checkUpdate = false; // "CheckUpdate"
    bool autoSaveDatabase = false; // "AutoSaveDB"
    bool autoClear = false; // "AutoClear"
    int keepDays = 0; // "SaveMaxDay"
    bool autoSaveRepliers = false; // "AutoSaveReciver"
    bool incomingSound = false; // "SoundIncome"
    bool stockWarning = false; // "IsRemainStock"
    int stockWarningAmount = 0; // "RemainAmount"
    bool addSignature = false; // "AddSMSTail"
    std::string signature; // "SMSTail"
    // The service fixes the signature: shown, ticked and not editable.
    bool signatureFixed = false;
    bool skipUnsubscribed = true; // "SkipUnsubscribed"

    /// serviceSignature and fetchSendStatus are the session's "SignName" and its fetch send
    /// status; a signature of the service's own wins when that status is 1.
    static BasicSettings Load(
        const CParameterStore& parameters, const std::string& serviceSignature, int fetchSendStatus);
    /// The message refusing these values, or empty.
    std::string Validate() const;
    /// Puts every value into the store ("HideTray" always "1"); the store writes the two
    /// setup-file keys when it saves.
    void Store(CParameterStore& parameters) const;
};

/// The signature between "【" and "】", as it is shown and stored.
std::string BracketedSignature(const std::string& text);

} // namespace telvora
