#include "db/TableGroups.h"

#include <algorithm>

namespace telvora {

const std::vector<TableGroupInfo>& TableGroups()
{
    static const std::vector<TableGroupInfo> groups = {
        {TableGroup::Cards, "cards", "客户资料", {"tbl_card", "tbl_card_folder", "tbl_card_copy"}},
        {TableGroup::Records, "records", "短信记录", {"tbl_sendsms", "tbl_sendsms_detail", "tbl_sms_recive"}},
        {TableGroup::Phrases, "phrases", "日常用语", {"tbl_message", "tbl_message_folder"}},
        {TableGroup::Calendar, "calendar", "移动助理", {"tbl_calendar_task", "tbl_holiday"}},
    };
    return groups;
}

const TableGroupInfo& TableGroupOf(TableGroup group)
{
    const auto& groups = TableGroups();
    return *std::find_if(
        groups.begin(), groups.end(), [group](const TableGroupInfo& info) { return info.group == group; });
}

bool ParseTableGroups(std::string_view list, std::vector<TableGroup>& groups, std::string& error)
{
    std::vector<bool> chosen(TableGroups().size(), false);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        const auto& all = TableGroups();
        const auto found
            = std::find_if(all.begin(), all.end(), [name](const TableGroupInfo& info) { return name == info.key; });
        if (found == all.end()) {
            error = "unknown group: " + std::string(name) + " (cards, records, phrases, calendar)";
            return false;
        }
        chosen[static_cast<std::size_t>(found - all.begin())] = true;
    }
    groups.clear();
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i]) {
            groups.push_back(TableGroups()[i].group);
        }
    }
    if (groups.empty()) {
        error = "no group given (cards, records, phrases, calendar)";
        return false;
    }
    return true;
}

} // namespace telvora
