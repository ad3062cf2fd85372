#pragma once

#include "send/SmsRules.h"

class QPlainTextEdit;

namespace telvora {

// Applies the length limit of a message box: counts its content and, when it is too long
// (320 characters, or 640 bytes of the code page below that), cuts it in place with the
// cursor at the end. The caller guards against the textChanged the cut raises.
SmsEditState EnforceMessageLimit(QPlainTextEdit* edit, bool insertionChecked, const SmsRuleValues& rules);

} // namespace telvora
