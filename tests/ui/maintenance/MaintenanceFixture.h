#pragma once

#include "app/AppContext.h"
#include "app/DataDirectory.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "db/ADORecordset.h"
#include "maintenance/MaintenanceServices.h"
#include "support/AdminFixture.h"

#include <QDir>
#include <memory>

namespace telvora::test {

// The fixture's main user with the account's working database open in a data directory of
// its own, one card in it.
struct MaintenanceFixture : AdminFixture
{
    MaintenanceFixture()
    {
        DataDirectoryInputs inputs;
        inputs.telvoraHome = temp.file("home");
        inputs.templateDirectory = TELVORA_TEST_TEMPLATE_DIR;
        CDataDirectory directory(inputs);
        directory.Prepare();
        app = std::make_unique<CAppContext>(std::move(directory));
        ready = app->OpenWorkDatabase("8001.db") && loggedIn
            && app->GetDatabase().Execute("INSERT INTO tbl_card (id, phone, name) VALUES (1, '13900000001', '张三')");
        app->GetParameters().Set("Account", kAccount);
        app->GetParameters().Set("User", "admin");
        QDir().mkpath(services().backupDirectory());
    }

    MaintenanceServices services()
    {
        return MaintenanceServices {prompter, *app, session, service, hints, [this]() { return sending; }};
    }
    int cards()
    {
        CADORecordset recordset(&app->GetDatabase());
        int count = -1;
        if (recordset.Open("SELECT COUNT(*) FROM tbl_card") && !recordset.IsEOF())
            recordset.GetFieldValue(0, count);
        return count;
    }

    std::unique_ptr<CAppContext> app;
    LoginGate gate;
    HintBroadcaster hints {gate};
    bool sending = false;
    bool ready = false;
};

} // namespace telvora::test
