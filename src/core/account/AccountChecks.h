#pragma once

#include <optional>
#include <string>
#include <vector>

namespace telvora {

// The checks of the account dialogs, in the order the dialogs apply them. Each returns the
// message to show ("提示"), or an empty text when the input may go to the service.

/// Whether user (the parameter "User") is the account's main user; an empty name is.
bool IsAdministrator(const std::string& user);

std::string CheckAccountManagementAccess(bool loggedIn, const std::string& user);
std::string CheckBillQueryAccess(const std::string& user);

std::string CheckNewSubAccount(const std::string& name, const std::string& password, const std::string& confirmation);

/// selectedUser is empty when no row is selected.
std::string CheckPasswordResetTarget(const std::optional<std::string>& selectedUser);
std::string CheckResetPassword(const std::string& password);

/// Before the question "您确认要删除此该用户？".
std::string CheckRemovalSelected(const std::optional<std::string>& selectedUser);
/// After it.
std::string CheckRemovalTarget(const std::string& user);

/// name as typed, names the users offered, amountText the amount field, adding the
/// direction, stock the session's. On success amount is the signed amount to send.
std::string CheckStockDistribution(const std::string& name, const std::vector<std::string>& names,
    const std::string& amountText, bool adding, int stock, int& amount);

/// currentPassword is the parameter "Password".
std::string CheckPasswordChange(const std::string& oldPassword, const std::string& newPassword,
    const std::string& confirmation, const std::string& currentPassword);

} // namespace telvora
