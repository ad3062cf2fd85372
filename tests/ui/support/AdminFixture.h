#pragma once

#include "SmsSimulator.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/ScriptedPrompter.h"
#include "support/SimulatorLogin.h"
#include "support/TempDir.h"

#include <QSignalSpy>

namespace telvora::test {

// The main user of account "8001" logged in at the simulator (one sub-account "sales"),
// with a working database made from the template and its parameters.
struct AdminFixture
{
    static constexpr const char* kAccount = "8001";
    static constexpr const char* kPassword = "pw1234";

    AdminFixture()
    {
        SimAccount account;
        account.account = kAccount;
        account.adminPassword = kPassword;
        account.stock = 500;
        account.companyName = "小店";
        account.address = "长街1号";
        account.contact = "王";
        account.phone = "010-1234";
        sim.addAccount(account);
        sim.addUser(kAccount, "sales", "s12345", 40, "销售&市场");
        started = sim.start();
        service.SetAddress(sim.address());
        loggedIn = started && logInDirectly(service, kAccount, "", kPassword, session);
        CopyDatabase(TELVORA_TEST_TEMPLATE_DIR "/SourceDB.db", temp.file("user.db"));
        database.Open(temp.file("user.db"));
        parameters.Set("Account", kAccount);
        parameters.Set("User", "admin");
        parameters.Set("Password", kPassword);
    }
    ~AdminFixture() { sim.stop(); }

    TempDir temp;
    SmsSimulator sim;
    CWebClient web;
    CServiceClient service {web};
    CSession session;
    CADODataBase database;
    CParameterStore parameters;
    ScriptedPrompter prompter;
    bool started = false;
    bool loggedIn = false;
};

// Waits for the signal a dialog gives when its call ended.
template <typename Object, typename Signal> bool waitFor(Object* object, Signal signal)
{
    QSignalSpy spy(object, signal);
    return spy.wait(10'000);
}

} // namespace telvora::test
