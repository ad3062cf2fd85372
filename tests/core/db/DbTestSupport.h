#pragma once

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace telvora::test {

// The template directory the build points the tests at ("" when not set).
inline std::string templateDirectory()
{
    const char* directory = std::getenv("TELVORA_TEMPLATE_DIR");
    return directory ? directory : "";
}

inline std::string templatePath()
{
    return templateDirectory() + "/SourceDB.db";
}

// The first column of the first row of a query, as text: "" without a row, "<error>"
// when the query fails.
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

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes the bytes to the path and returns the path.
inline std::string storeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace telvora::test
