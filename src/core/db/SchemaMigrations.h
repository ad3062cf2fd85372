#pragma once

#include <span>
#include <string_view>

namespace telvora {

/// One numbered change of the working databases' schema: the script that brings a
/// database of version - 1 to version. It runs inside the upgrade's transaction, through
/// ExecuteScript, with the Jet functions registered.
struct SchemaMigration
{
    int version;
    std::string_view purpose;
    std::string_view script;
};

/// The schema versions. Version 1 is what schema.sql creates; every later change of the
/// schema is one more step in SchemaMigrations.cpp, numbered on from the last. The
/// template build runs schema.sql and then these steps, and opening an older working
/// database runs the steps it lacks, so both always end with the same schema.
std::span<const SchemaMigration> SchemaMigrations();

} // namespace telvora
