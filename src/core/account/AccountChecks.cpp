#include "account/AccountChecks.h"

#include "account/PasswordStrength.h"
#include "app/AppConstants.h"
#include "service/TextCodec.h"
#include "session/Session.h"

#include <algorithm>
#include <charconv>

namespace telvora {

namespace {

constexpr const char* kTooShort = "密码长度不能少于6位!";
constexpr const char* kNotConfirmed = "密码未被确认,请确保密码与确认密码完全相符!";
constexpr const char* kTooSimple = "系统检查到您的密码过于简单，为保障您的帐号安全，请修改为强密码!";

} // namespace

bool IsAdministrator(const std::string& user)
{
    return AccountUserName(user) == kMainUser;
}

std::string CheckAccountManagementAccess(bool loggedIn, const std::string& user)
{
    if (!loggedIn) {
        return "您尚未在线登录!";
    }
    return IsAdministrator(user) ? std::string() : "您不是管理员帐号，没有帐号管理权限!";
}

std::string CheckBillQueryAccess(const std::string& user)
{
    return IsAdministrator(user) ? std::string() : "您不是管理员帐号，没有帐单查询权限!";
}

std::string CheckNewSubAccount(const std::string& name, const std::string& password, const std::string& confirmation)
{
    if (Utf16Length(name) < 5) {
        return "子帐户名称不能少于5位!";
    }
    if (Utf16Length(password) < 6) {
        return kTooShort;
    }
    if (password != confirmation) {
        return kNotConfirmed;
    }
    if (PasswordStrengthScore(password) < kStrongPasswordScore) {
        return kTooSimple;
    }
    return {};
}

std::string CheckPasswordResetTarget(const std::optional<std::string>& selectedUser)
{
    if (!selectedUser) {
        return "请选择要初始化密码的用户!";
    }
    return IsAdministrator(*selectedUser) ? "请选中子帐号，不能在此修改admin帐号的密码!" : std::string();
}

std::string CheckResetPassword(const std::string& password)
{
    const int length = static_cast<int>(Utf16Length(password));
    return length < 6 || length > 10 ? "密码的长度不能小于6位，或大于10位!" : std::string();
}

std::string CheckRemovalSelected(const std::optional<std::string>& selectedUser)
{
    return selectedUser ? std::string() : "请选择要删除的用户!";
}

std::string CheckRemovalTarget(const std::string& user)
{
    return IsAdministrator(user) ? "不能删除admin管理员用户!" : std::string();
}

std::string CheckStockDistribution(const std::string& name, const std::vector<std::string>& names,
    const std::string& amountText, bool adding, int stock, int& amount)
{
    if (name.empty()) {
        return "分配的用户名称不能为空!";
    }
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        return "您输入的子帐号不存在，请重新选择或录入!";
    }
    int value = 0;
    const char* end = amountText.data() + amountText.size();
    const auto parsed = std::from_chars(amountText.data(), end, value);
    if (amountText.empty() || parsed.ec != std::errc() || parsed.ptr != end) {
        return "请输入一个整数。";
    }
    // A negative or zero amount would silently turn the chosen direction around.
    if (value < 1) {
        return "分配的数量必须大于0!";
    }
    if (adding && value > stock) {
        return "分配的数量不能大于可分配数量!";
    }
    amount = adding ? value : -value;
    return {};
}

std::string CheckPasswordChange(const std::string& oldPassword, const std::string& newPassword,
    const std::string& confirmation, const std::string& currentPassword)
{
    if (Utf16Length(newPassword) < 6) {
        return kTooShort;
    }
    if (newPassword != confirmation) {
        return kNotConfirmed;
    }
    if (oldPassword != currentPassword) {
        return "输入的旧密码验证失败!";
    }
    if (PasswordStrengthScore(newPassword) < kStrongPasswordScore) {
        return kTooSimple;
    }
    return {};
}

} // namespace telvora
