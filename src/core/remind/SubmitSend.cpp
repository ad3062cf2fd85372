#include "SubmitSend.h"

#include "db/DateTime.h"
#include "send/SendEngine.h"

namespace telvora {

bool SubmitSend(CSendEngine& engine, const SendOrder& order)
{
    if (!engine.PrepareSend(order.numbers, order.text, order.sendMode, order.insertionMode)) {
        // Everyone opted out: the order is done, there is nobody to send it to.
        return engine.GetExcludedCount() > 0 && engine.GetRecipients().empty();
    }
    if (order.sendTime.valid && !engine.SetSendTime(order.sendTime.toString())) {
        return false;
    }
    return engine.StartSend();
}

} // namespace telvora
