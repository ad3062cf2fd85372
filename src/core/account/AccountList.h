#pragma once

#include "account/AccountAdmin.h"

#include <string>
#include <vector>

namespace telvora {

/// One row of the account-management list: "序号", "帐号", "帐号类型", "短信余量", "备注".
struct AccountRow
{
    std::string number;
    std::string user;
    std::string kind; // "管理员" or "子帐号"
    std::string stock;
    std::string memo;
};

/// The rows of the account-management list: the main user first with the session's stock,
/// then every other user of info in reply order, numbered from 2.
std::vector<AccountRow> BuildAccountRows(const AccountInfo& info, int sessionStock);

/// The row of a sub-account just added: the next number, no stock yet.
void AppendAddedAccount(std::vector<AccountRow>& rows, const std::string& name, const std::string& memo);

/// The users the distribution dialog offers: every row's user from the last row to the
/// first, the main user left out.
std::vector<std::string> DistributionCandidates(const std::vector<AccountRow>& rows);

/// After a distribution: the user's stock moves by amount, the main user's row shows the
/// session's refreshed stock.
void ApplyDistribution(std::vector<AccountRow>& rows, const std::string& user, int amount, int sessionStock);

/// After a removal: the row goes, the others keep their numbers.
void RemoveAccountRow(std::vector<AccountRow>& rows, const std::string& user, int sessionStock);

} // namespace telvora
