#pragma once

#include "app/AppContext.h"
#include "app/DataDirectory.h"
#include "support/TempDir.h"

#include <memory>

namespace telvora::test {

// An application core in temp whose working database "user.db" is made from the built
// template and open.
inline std::unique_ptr<CAppContext> OpenTestApp(const TempDir& temp)
{
    DataDirectoryInputs inputs;
    inputs.telvoraHome = temp.path().string();
    inputs.templateDirectory = TELVORA_TEST_TEMPLATE_DIR;
    CDataDirectory directory(inputs);
    directory.Prepare();
    auto app = std::make_unique<CAppContext>(directory);
    app->OpenWorkDatabase("user.db");
    return app;
}

} // namespace telvora::test
