#pragma once

#include "app/AppContext.h"
#include "app/DataDirectory.h"
#include "core/db/DbTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace telvora::test {

// A data directory inside a test's temporary directory that finds the built template.
inline CDataDirectory preparedDataDirectory(const TempDir& temp)
{
    DataDirectoryInputs inputs;
    inputs.telvoraHome = temp.path().string();
    inputs.templateDirectory = templateDirectory();
    CDataDirectory directory(inputs);
    directory.Prepare();
    return directory;
}

// An application core on a fresh data directory with the working database "user.db"
// made from the template and open.
class WorkDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_app.OpenWorkDatabase("user.db")) << m_app.GetErrorDetail(); }
    CADODataBase& db() { return m_app.GetDatabase(); }

    TempDir m_temp;
    CAppContext m_app {preparedDataDirectory(m_temp)};
};

} // namespace telvora::test
