#include "account/AccountList.h"

#include "app/AppConstants.h"
#include "session/Session.h"

#include <algorithm>

namespace telvora {

namespace {

void showMainStock(std::vector<AccountRow>& rows, int sessionStock)
{
    if (!rows.empty()) {
        rows.front().stock = std::to_string(sessionStock);
    }
}

} // namespace

std::vector<AccountRow> BuildAccountRows(const AccountInfo& info, int sessionStock)
{
    std::vector<AccountRow> rows = {{"1", kMainUser, "管理员", std::to_string(sessionStock), {}}};
    for (const AccountItem& item : info.accounts) {
        if (item.user != kMainUser) {
            rows.push_back({std::to_string(rows.size() + 1), item.user, "子帐号", item.stock, item.memo});
        }
    }
    return rows;
}

void AppendAddedAccount(std::vector<AccountRow>& rows, const std::string& name, const std::string& memo)
{
    // After the last number, not the row count: removed rows leave gaps.
    const int last = rows.empty() ? 0 : DecimalValue(rows.back().number);
    rows.push_back({std::to_string(last + 1), name, "子帐号", {}, memo});
}

std::vector<std::string> DistributionCandidates(const std::vector<AccountRow>& rows)
{
    std::vector<std::string> names;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->user != kMainUser) {
            names.push_back(row->user);
        }
    }
    return names;
}

void ApplyDistribution(std::vector<AccountRow>& rows, const std::string& user, int amount, int sessionStock)
{
    for (AccountRow& row : rows) {
        if (row.user == user) {
            row.stock = std::to_string(DecimalValue(row.stock) + amount);
        }
    }
    showMainStock(rows, sessionStock);
}

void RemoveAccountRow(std::vector<AccountRow>& rows, const std::string& user, int sessionStock)
{
    std::erase_if(rows, [&](const AccountRow& row) { return row.user == user && row.user != kMainUser; });
    showMainStock(rows, sessionStock);
}

} // namespace telvora
