#pragma once

#include "app/DataDirectory.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "support/TempDir.h"

#include <cstdlib>
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

} // namespace telvora::test
