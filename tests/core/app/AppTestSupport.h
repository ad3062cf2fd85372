#pragma once

#include "app/AppContext.h"
#include "app/DataDirectory.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace telvora::test {

// The template directory the build points the tests at.
inline std::string templateDirectory()
{
    const char* directory = std::getenv("TELVORA_TEMPLATE_DIR");
    return directory ? directory : "";
}

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

// The first column of the first row of a query, as text; "<error>" when it fails.
inline std::string scalar(CADODataBase& database, const std::string& sql)
{
    CADORecordset recordset(&database);
    if (!recordset.Open(sql)) {
        return "<error>";
    }
    std::string value;
    if (!recordset.IsEOF()) {
        recordset.GetFieldValue(0, value);
    }
    return value;
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
