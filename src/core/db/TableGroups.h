#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// The groups of tables that are restored or reset together.
enum class TableGroup { Cards, Records, Phrases, Calendar };

struct TableGroupInfo
{
    TableGroup group;
    const char* key; // the command line's name
    const char* caption; // the restore dialog's
    std::vector<std::string> tables; // in copy order
};

/// Every group, in the order the restore dialog lists them.
const std::vector<TableGroupInfo>& TableGroups();
const TableGroupInfo& TableGroupOf(TableGroup group);

/// Reads "cards,records,phrases,calendar" (any subset, any order) into groups in the
/// dialog's order, each once. False with a message for the user on an unknown name or an
/// empty list.
bool ParseTableGroups(std::string_view list, std::vector<TableGroup>& groups, std::string& error);

} // namespace telvora
