#pragma once

#include "core/app/AppTestSupport.h"
#include "send/SendEngine.h"
#include "session/Session.h"
#include "support/AcceptingService.h"

#include <memory>
#include <string>

namespace telvora::test {

// A working database with its parameters loaded and a send engine whose service accepts
// every call, for the reminders that send.
class ReminderSendTest : public WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        m_app.GetParameters().Load(db(), m_app.GetSetupFile());
        m_session.token = "TOKEN";
        m_session.loggedIn = true;
        m_engine = std::make_unique<CSendEngine>(m_app, m_session, AcceptingService(), nullptr);
    }

    void TearDown() override { m_engine->Wait(); }

    CParameterStore& parameters() { return m_app.GetParameters(); }

    // "send_mode|send_time|is_idle|content" of every send record, joined by "\n".
    std::string sendRecords()
    {
        m_engine->Wait();
        CADORecordset rows(&db());
        std::string all;
        if (!rows.Open("SELECT send_mode, send_time, is_idle, content FROM tbl_sendsms ORDER BY id")) {
            return "<error>";
        }
        for (; !rows.IsEOF(); rows.MoveNext()) {
            std::string mode, time, content;
            bool idle = false;
            rows.GetFieldValue(0, mode);
            rows.GetFieldValue(1, time);
            rows.GetFieldValue(2, idle);
            rows.GetFieldValue(3, content);
            all += (all.empty() ? "" : "\n") + mode + "|" + time + "|" + (idle ? "1" : "0") + "|" + content;
        }
        return all;
    }

    CSession m_session;
    std::unique_ptr<CSendEngine> m_engine;
};

} // namespace telvora::test
