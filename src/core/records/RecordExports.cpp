#include "records/RecordExports.h"

#include "records/RecordTexts.h"
#include "records/SendLedger.h"

namespace telvora {

SheetQuery SendListExport(bool scheduled)
{
    return {"SWITCH(send_mode=1,'普通发送',send_mode=2,'定时发送') AS 发送模式, content AS 短信内容, success_count AS "
            "成功条数, fail_count AS 失败条数, format(send_time, 'yyyy-mm-dd hh:nn') AS 发送日期 ",
        std::string(" tbl_sendsms WHERE is_idle=") + (scheduled ? "TRUE" : "FALSE") + " ORDER BY id", "短信发送记录"};
}

SheetQuery DetailExport(long recordId, int sendMode)
{
    // Numbers never posted, or posted without an answer, are told apart from refused ones,
    // so the sheet shows what a resume would still send.
    const std::string status = "SWITCH(A.status = " + std::to_string(kDetailAccepted)
        + ", '提交成功', A.status = " + std::to_string(kDetailNotPosted)
        + ", '未发送', A.status = " + std::to_string(kDetailUnknown) + ", '结果未知', TRUE, '提交异常') AS 发送状态";
    const char* content = sendMode == kPersonalisedSendMode ? "A.content" : "B.content";
    return {status
            + ", A.phones AS 手机号码, A.split_count AS 短信分段, format(A.send_time, 'yyyy-mm-dd hh:nn:ss') AS "
              "发送日期, "
            + content + " AS 短信内容 ",
        "tbl_sendsms_detail A LEFT OUTER JOIN tbl_sendsms B ON A.group_id = B.id WHERE a.group_id = "
            + std::to_string(recordId) + " ORDER BY a.id",
        "短信发送明细记录"};
}

} // namespace telvora
