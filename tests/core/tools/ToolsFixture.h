#pragma once

#include "db/ADODataBase.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace telvora::test {

inline std::string builtFile(const std::string& name)
{
    const char* directory = std::getenv("TELVORA_TEMPLATE_DIR");
    return std::string(directory ? directory : ".") + "/" + name;
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A segment table of our own, so the cases do not hang on the shipped data.
inline std::string makeSegmentDatabase(const TempDir& temp, const std::string& rows)
{
    const std::string path = temp.file("segments.db");
    CADODataBase database;
    EXPECT_TRUE(database.OpenOrCreate(path));
    EXPECT_TRUE(database.Execute("CREATE TABLE mobileSegment (province TEXT, city TEXT, segment TEXT)"));
    // One statement a call: the rows are separated by ";".
    std::stringstream statements(rows);
    for (std::string statement; std::getline(statements, statement, ';');) {
        if (!statement.empty()) {
            EXPECT_TRUE(database.Execute(statement)) << database.GetLastError();
        }
    }
    return path;
}

} // namespace telvora::test
