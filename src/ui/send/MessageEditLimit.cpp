#include "send/MessageEditLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace telvora {

SmsEditState EnforceMessageLimit(QPlainTextEdit* edit, bool insertionChecked, const SmsRuleValues& rules)
{
    const std::string content = edit->toPlainText().toStdString();
    SmsEditState state = ApplySmsEditLimit(content, insertionChecked, rules);
    std::string kept = state.cut ? state.content : content;
    // Below 320 characters the box still holds at most 640 bytes of the code page.
    if (!state.cut && AnsiByteLength(kept) > state.byteLimit) {
        kept = std::string(CutToAnsiBytes(kept, state.byteLimit));
        state = ApplySmsEditLimit(kept, insertionChecked, rules);
        state.cut = true;
    }
    if (state.cut) {
        edit->setPlainText(QString::fromStdString(kept));
        edit->moveCursor(QTextCursor::End);
    }
    return state;
}

} // namespace telvora
