#pragma once

#include <string>

namespace telvora {

class CParameterStore;

/// The birthday greeting parameters as the settings page edits them.
struct BirthdaySettings
{
    static constexpr int kMaxContentLength = 180;
    static constexpr const char* kEmptyContent = "生日祝福内容不能为空!";

    bool autoSend = false; // "AutoSendBirth"
    bool insertTitle = false; // "BirthTitle"
    bool confirm = false; // "BirthConfirm"
    std::string content; // "BirthSMSContent"
    // "BirthdayTime"; valid is false when the stored text is no time.
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool timeValid = false;

    static BirthdaySettings Load(const CParameterStore& parameters);
    /// The message that refuses these values, or empty.
    std::string Validate() const;
    /// Puts the values into the store as they stand: the store escapes them when it saves.
    void Store(CParameterStore& parameters) const;
};

/// True when the parameter's decimal value is 1.
bool IsParameterOn(const CParameterStore& parameters, const std::string& key);

} // namespace telvora
