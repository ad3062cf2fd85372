#include "SimService.h"

#include "SimText.h"
#include "service/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace telvora {

using sim::xmlEscape;

namespace {

using Form = std::map<std::string, std::string>;

constexpr const char* kFailed = "Failed";
constexpr const char* kBadToken = "InvalidToken";

std::string el(const std::string& name, const std::string& value)
{
    return "<" + name + ">" + xmlEscape(value) + "</" + name + ">";
}

std::string el(const std::string& name, std::int64_t value)
{
    return el(name, std::to_string(value));
}

SimOutcome success(std::string fields = {})
{
    return SimOutcome {true, std::move(fields), {}, {}};
}

SimOutcome failure(std::string message, std::string code = kFailed)
{
    return SimOutcome {false, {}, std::move(code), std::move(message)};
}

// Raw form value, percent-decoded; empty when missing.
std::string field(const Form& form, const std::string& name)
{
    const auto found = form.find(name);
    return found == form.end() ? std::string() : DecodeFormValue(found->second);
}

std::string joined(const std::vector<std::string>& pieces, const char* sep)
{
    std::string out;
    for (const auto& piece : pieces) {
        if (!out.empty())
            out += sep;
        out += piece;
    }
    return out;
}

std::string localText(std::chrono::system_clock::time_point time, const char* format)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts {};
    localtime_r(&seconds, &parts);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, format, &parts);
    return buffer;
}

// "2026-5-7" or "2026-05-07" -> "2026-05-07".
std::optional<std::string> normaliseDay(const std::string& text)
{
    int year = 0;
    int month = 0;
    int day = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &day, &tail) != 3)
        return std::nullopt;
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return std::string(buffer);
}

// "2026-5-7 9:05:00" (seconds optional) as local time.
std::optional<std::chrono::system_clock::time_point> parseSendTime(const std::string& text)
{
    std::tm parts {};
    int second = 0;
    char tail = 0;
    const int read = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
        &parts.tm_hour, &parts.tm_min, &second, &tail);
    if (read != 5 && read != 6)
        return std::nullopt;
    if (parts.tm_year < 1970 || parts.tm_mon < 1 || parts.tm_mon > 12 || parts.tm_mday < 1 || parts.tm_mday > 31
        || parts.tm_hour < 0 || parts.tm_hour > 23 || parts.tm_min < 0 || parts.tm_min > 59 || second < 0
        || second > 59)
        return std::nullopt;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&parts);
    if (seconds == static_cast<std::time_t>(-1))
        return std::nullopt;
    return std::chrono::system_clock::from_time_t(seconds);
}

} // namespace

SimService::SimService(SimConfig config)
    : m_config(std::move(config))
    , m_random(std::random_device {}())
{ }

SimService::Handler SimService::handlerOf(const std::string& method)
{
    static const std::map<std::string, Handler> kHandlers = {{"UserLogOff", &SimService::userLogOff},
        {"HeartBeating", &SimService::heartBeating}, {"FetchSMS", &SimService::fetchSms},
        {"GetStockDetails", &SimService::getStockDetails}, {"GetUserInfo", &SimService::getUserInfo},
        {"AddSubAccount", &SimService::addSubAccount}, {"RemoveSubAccount", &SimService::removeSubAccount},
        {"SubAccountPswModify", &SimService::subAccountPswModify}, {"DistributeStock", &SimService::distributeStock},
        {"PasswordChange", &SimService::passwordChange}, {"GetClientBills", &SimService::getClientBills},
        {"CreateJob", &SimService::createJob}, {"MessSendSMS", &SimService::messSendSms},
        {"CustomSend", &SimService::customSend}, {"CancelJob", &SimService::cancelJob}};
    const auto found = kHandlers.find(method);
    return found == kHandlers.end() ? nullptr : found->second;
}

bool SimService::isServiceMethod(const std::string& method)
{
    return method == "UserLogin" || handlerOf(method) != nullptr;
}

// --- control -----------------------------------------------------------------------------------

void SimService::addAccount(const SimAccount& info)
{
    std::lock_guard lock(m_mutex);
    Account account;
    account.info = info;
    User admin;
    admin.name = "admin";
    admin.password = info.adminPassword;
    admin.stock = info.stock;
    account.users.push_back(std::move(admin));
    m_accounts[info.account] = std::move(account);
    std::erase_if(m_sessions, [&](const auto& entry) { return entry.second.account == info.account; });
}

bool SimService::addUser(const std::string& accountName, const std::string& user, const std::string& password,
    std::int64_t stock, const std::string& memo)
{
    std::lock_guard lock(m_mutex);
    Account* account = findAccount(accountName);
    if (account == nullptr || user.empty())
        return false;
    User* existing = findUser(*account, user);
    if (existing == nullptr) {
        account->users.push_back(User {user, password, stock, memo, {}});
        return true;
    }
    existing->password = password;
    existing->stock = stock;
    existing->memo = memo;
    return true;
}

bool SimService::setStock(const std::string& account, const std::string& user, std::int64_t stock)
{
    std::lock_guard lock(m_mutex);
    Account* found = findAccount(account);
    User* target = found == nullptr ? nullptr : findUser(*found, user);
    if (target == nullptr)
        return false;
    target->stock = stock;
    return true;
}

std::optional<std::int64_t> SimService::stock(const std::string& account, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const Account* found = findAccount(account);
    const User* target = found == nullptr ? nullptr : findUser(*found, user);
    if (target == nullptr)
        return std::nullopt;
    return target->stock;
}

std::optional<std::string> SimService::password(const std::string& account, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const Account* found = findAccount(account);
    const User* target = found == nullptr ? nullptr : findUser(*found, user);
    if (target == nullptr)
        return std::nullopt;
    return target->password;
}

std::vector<std::string> SimService::users(const std::string& account) const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> names;
    if (const Account* found = findAccount(account)) {
        for (const auto& user : found->users)
            names.push_back(user.name);
    }
    return names;
}

bool SimService::queueReply(const std::string& account, const std::string& user, SimReply reply)
{
    std::lock_guard lock(m_mutex);
    Account* found = findAccount(account);
    User* target = found == nullptr ? nullptr : findUser(*found, user);
    if (target == nullptr)
        return false;
    if (reply.recDateTime.empty())
        reply.recDateTime = nowText();
    target->replies.push_back(std::move(reply));
    return true;
}

std::size_t SimService::pendingReplies(const std::string& account, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const Account* found = findAccount(account);
    const User* target = found == nullptr ? nullptr : findUser(*found, user);
    return target == nullptr ? 0 : target->replies.size();
}

std::vector<SimJob> SimService::jobs() const
{
    std::lock_guard lock(m_mutex);
    return m_jobs;
}

std::map<std::string, int> SimService::deliveries() const
{
    std::lock_guard lock(m_mutex);
    std::map<std::string, int> delivered;
    for (const SimJob& job : m_jobs) {
        if (job.cancelled)
            continue;
        for (const SimMessage& message : job.messages)
            ++delivered[message.phone];
    }
    return delivered;
}

std::optional<SimJob> SimService::job(const std::string& jobId) const
{
    std::lock_guard lock(m_mutex);
    for (const auto& job : m_jobs) {
        if (job.jobId == jobId)
            return job;
    }
    return std::nullopt;
}

bool SimService::addConsumption(
    const std::string& account, const std::string& user, const std::string& day, std::int64_t segments)
{
    std::lock_guard lock(m_mutex);
    const Account* found = findAccount(account);
    const User* target = found == nullptr ? nullptr : findUser(*found, user);
    const auto normalised = normaliseDay(day);
    if (target == nullptr || !normalised)
        return false;
    m_ledgers[account].push_back(LedgerEntry {*normalised, user, segments, target->stock});
    return true;
}

std::optional<std::string> SimService::backup(const std::string& account, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_backups.find(account);
    if (found == m_backups.end())
        return std::nullopt;
    const auto data = found->second.find(user);
    if (data == found->second.end())
        return std::nullopt;
    return data->second;
}

void SimService::setBackup(const std::string& account, const std::string& user, std::string data)
{
    std::lock_guard lock(m_mutex);
    m_backups[account][user] = std::move(data);
}

void SimService::setTokenIdleTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(m_mutex);
    m_config.tokenIdleTimeout = timeout;
}

void SimService::advanceClock(std::chrono::milliseconds by)
{
    std::lock_guard lock(m_mutex);
    m_clockOffset += by;
}

void SimService::setUpdateInfo(const std::string& version, const std::string& serverIp)
{
    std::lock_guard lock(m_mutex);
    m_config.updateVersion = version;
    m_config.updateServerIp = serverIp;
}

SimConfig SimService::config() const
{
    std::lock_guard lock(m_mutex);
    return m_config;
}

int SimService::callCount(const std::string& method) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_calls.find(method);
    return found == m_calls.end() ? 0 : found->second;
}

std::map<std::string, int> SimService::callCounts() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void SimService::injectFault(const std::string& method, SimFault fault, int nthCall)
{
    std::lock_guard lock(m_mutex);
    const int target = nthCall <= 0 ? 0 : m_calls[method] + nthCall;
    m_faults[method].push_back(FaultRule {std::move(fault), target});
}

void SimService::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

// --- service -----------------------------------------------------------------------------------

std::optional<SimFault> SimService::beginCall(const std::string& method)
{
    std::lock_guard lock(m_mutex);
    const int number = ++m_calls[method];
    const auto rules = m_faults.find(method);
    if (rules == m_faults.end())
        return std::nullopt;
    const FaultRule* everyCall = nullptr;
    for (const auto& rule : rules->second) {
        if (rule.targetCall == number)
            return rule.fault;
        if (rule.targetCall == 0 && everyCall == nullptr)
            everyCall = &rule;
    }
    if (everyCall != nullptr)
        return everyCall->fault;
    return std::nullopt;
}

bool SimService::waitFor(std::chrono::milliseconds time)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, time, [this] { return m_interrupted; });
}

void SimService::interruptWaits()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_wake.notify_all();
}

void SimService::resumeWaits()
{
    std::lock_guard lock(m_mutex);
    m_interrupted = false;
}

void SimService::setOwnAddress(const std::string& address)
{
    std::lock_guard lock(m_mutex);
    m_ownAddress = address;
}

std::string SimService::updateListXml() const
{
    std::lock_guard lock(m_mutex);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><UpdateFileList>" + el("Version", m_config.updateVersion)
        + el("ServerIP", m_config.updateServerIp) + "</UpdateFileList>";
}

SimOutcome SimService::upload(const std::string& token, const std::string& base64)
{
    std::lock_guard lock(m_mutex);
    SimOutcome outcome;
    Session* session = authenticate(Form {{"Token", token}}, outcome);
    if (session == nullptr)
        return outcome;
    auto data = sim::base64Decode(base64);
    if (!data)
        return failure("备份数据格式不正确");
    m_backups[session->account][session->user] = std::move(*data);
    return success();
}

SimOutcome SimService::call(const std::string& method, const Form& form)
{
    std::lock_guard lock(m_mutex);
    if (method == "UserLogin")
        return userLogin(form);
    SimOutcome outcome;
    Session* session = authenticate(form, outcome);
    if (session == nullptr)
        return outcome;
    if (const Handler handler = handlerOf(method))
        return (this->*handler)(*session, form);
    return failure("未知的服务方法" + method);
}

// --- helpers -----------------------------------------------------------------------------------

SimService::Account* SimService::findAccount(const std::string& account)
{
    const auto found = m_accounts.find(account);
    return found == m_accounts.end() ? nullptr : &found->second;
}

const SimService::Account* SimService::findAccount(const std::string& account) const
{
    const auto found = m_accounts.find(account);
    return found == m_accounts.end() ? nullptr : &found->second;
}

SimService::User* SimService::findUser(Account& account, const std::string& user)
{
    for (auto& candidate : account.users) {
        if (candidate.name == user)
            return &candidate;
    }
    return nullptr;
}

const SimService::User* SimService::findUser(const Account& account, const std::string& user)
{
    for (const auto& candidate : account.users) {
        if (candidate.name == user)
            return &candidate;
    }
    return nullptr;
}

SimService::Clock::time_point SimService::steadyNow() const
{
    return Clock::now() + m_clockOffset;
}

std::chrono::system_clock::time_point SimService::wallNow() const
{
    return std::chrono::system_clock::now() + m_clockOffset;
}

std::string SimService::today() const
{
    return localText(wallNow(), "%Y-%m-%d");
}

std::string SimService::nowText() const
{
    return localText(wallNow(), "%Y-%m-%d %H:%M:%S");
}

std::string SimService::newToken()
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string token;
    do {
        token.clear();
        for (int i = 0; i < 32; ++i)
            token += kHex[m_random() % 16];
    } while (m_sessions.count(token) != 0);
    return token;
}

std::string SimService::newJobId()
{
    return std::to_string(m_nextJob++);
}

void SimService::recordConsumption(Account& account, const User& user, std::int64_t segments)
{
    m_ledgers[account.info.account].push_back(LedgerEntry {today(), user.name, segments, user.stock});
}

SimService::Session* SimService::authenticate(const Form& form, SimOutcome& outcome)
{
    const std::string token = field(form, "Token");
    const auto found = m_sessions.find(token);
    if (token.empty() || found == m_sessions.end()) {
        outcome = failure("登录已失效，请重新登录", kBadToken);
        return nullptr;
    }
    const auto now = steadyNow();
    if (now - found->second.lastUsed > m_config.tokenIdleTimeout) {
        m_sessions.erase(found);
        outcome = failure("登录已超时，请重新登录", kBadToken);
        return nullptr;
    }
    Account* account = findAccount(found->second.account);
    if (account == nullptr || findUser(*account, found->second.user) == nullptr) {
        m_sessions.erase(found);
        outcome = failure("帐号已不存在，请重新登录", kBadToken);
        return nullptr;
    }
    found->second.lastUsed = now;
    return &found->second;
}

SimService::User* SimService::adminsSubAccount(
    const Session& session, const Form& form, const char* notAdmin, SimOutcome& outcome)
{
    if (session.user != "admin") {
        outcome = failure(notAdmin);
        return nullptr;
    }
    const std::string name = field(form, "AccountName");
    User* user = name == "admin" ? nullptr : findUser(*findAccount(session.account), name);
    if (user == nullptr)
        outcome = failure("子帐号[" + name + "]不存在");
    return user;
}

bool SimService::checkSendTime(const std::string& text, bool& scheduled, SimOutcome& outcome) const
{
    scheduled = false;
    if (text.empty())
        return true;
    const auto time = parseSendTime(text);
    if (!time) {
        outcome = failure("定时时间格式不正确");
        return false;
    }
    scheduled = *time > wallNow();
    return true;
}

// --- methods -----------------------------------------------------------------------------------

SimOutcome SimService::userLogin(const Form& form)
{
    const std::string accountName = field(form, "UserID");
    std::string userName = field(form, "Account");
    if (userName.empty())
        userName = "admin";
    Account* account = findAccount(accountName);
    const User* user = account == nullptr ? nullptr : findUser(*account, userName);
    if (user == nullptr || user->password != field(form, "Password"))
        return failure("帐号或密码错误");

    const std::string token = newToken();
    m_sessions[token] = Session {accountName, userName, steadyNow()};
    const SimAccount& info = account->info;
    const std::string server = m_config.smsServerAddress.empty() ? m_ownAddress : m_config.smsServerAddress;
    return success(el("Token", token) + el("Version", m_config.serviceVersion) + el("SmsServerAddress", server)
        + el("UserType", info.userType) + el("UserRight", info.userRight)
        + el("SegmentUpperLimit", m_config.segmentUpperLimit) + el("LongSmsLen", m_config.longSmsLen)
        + el("ShortSmsLen", m_config.shortSmsLen) + el("FetchSendStat", m_config.fetchSendStat)
        + el("SmsStock", user->stock) + el("SignName", info.signName));
}

SimOutcome SimService::userLogOff(Session&, const Form& form)
{
    m_sessions.erase(field(form, "Token"));
    return success();
}

SimOutcome SimService::heartBeating(Session&, const Form&)
{
    return success();
}

SimOutcome SimService::fetchSms(Session& session, const Form&)
{
    User* user = findUser(*findAccount(session.account), session.user);
    std::string nodes;
    for (const auto& reply : user->replies) {
        nodes += "<SMSGroup Phone=\"" + xmlEscape(reply.phone) + "\" RecDateTime=\"" + xmlEscape(reply.recDateTime)
            + "\" PostFixNumber=\"" + xmlEscape(reply.postFixNumber) + "\">" + xmlEscape(reply.content) + "</SMSGroup>";
    }
    const auto count = static_cast<std::int64_t>(user->replies.size());
    user->replies.clear();
    return success(el("Count", count) + "<Nodes>" + nodes + "</Nodes>");
}

SimOutcome SimService::getStockDetails(Session& session, const Form&)
{
    const User* user = findUser(*findAccount(session.account), session.user);
    return success(el("StockRemain", user->stock));
}

SimOutcome SimService::getUserInfo(Session& session, const Form&)
{
    const Account* account = findAccount(session.account);
    const SimAccount& info = account->info;
    std::string items;
    for (const auto& user : account->users) {
        // A sub-account only sees itself.
        if (session.user != "admin" && user.name != session.user)
            continue;
        items += "<AccountItem CurRemain=\"" + std::to_string(user.stock) + "\" Memo=\"" + xmlEscape(user.memo) + "\">"
            + xmlEscape(user.name) + "</AccountItem>";
    }
    return success(el("TotalAccounts", info.totalAccounts) + el("CompanyName", info.companyName)
        + el("Address", info.address) + el("Contact", info.contact) + el("Phone", info.phone) + "<AccountList>" + items
        + "</AccountList>");
}

SimOutcome SimService::addSubAccount(Session& session, const Form& form)
{
    if (session.user != "admin")
        return failure("只有管理员帐号可以管理子帐号");
    Account* account = findAccount(session.account);
    // Kept exactly as received: the client sends names as typed.
    const std::string name = field(form, "AccountName");
    const std::string password = field(form, "Password");
    if (sim::trim(name).empty() || name == "admin")
        return failure("子帐号名称无效");
    if (password.empty())
        return failure("密码不能为空");
    if (findUser(*account, name) != nullptr)
        return failure("子帐号[" + name + "]已存在");
    if (static_cast<int>(account->users.size()) - 1 >= account->info.totalAccounts)
        return failure("子帐号数量已达上限");
    account->users.push_back(User {name, password, 0, field(form, "Memo"), {}});
    return success();
}

SimOutcome SimService::removeSubAccount(Session& session, const Form& form)
{
    if (session.user != "admin")
        return failure("只有管理员帐号可以管理子帐号");
    Account* account = findAccount(session.account);
    const std::string name = field(form, "AccountName");
    if (name == "admin")
        return failure("不能删除管理员帐号");
    const auto found = std::find_if(
        account->users.begin(), account->users.end(), [&](const User& user) { return user.name == name; });
    if (found == account->users.end())
        return failure("子帐号[" + name + "]不存在");
    // The stock of a removed sub-account goes back to the main user.
    account->users.front().stock += found->stock;
    account->users.erase(found);
    const std::string accountName = session.account;
    std::erase_if(m_sessions,
        [&](const auto& entry) { return entry.second.account == accountName && entry.second.user == name; });
    return success();
}

SimOutcome SimService::subAccountPswModify(Session& session, const Form& form)
{
    SimOutcome outcome;
    User* user = adminsSubAccount(session, form, "只有管理员帐号可以管理子帐号", outcome);
    if (user == nullptr)
        return outcome;
    const std::string password = field(form, "NewPsw");
    if (password.empty())
        return failure("密码不能为空");
    user->password = password;
    return success();
}

SimOutcome SimService::distributeStock(Session& session, const Form& form)
{
    SimOutcome outcome;
    User* target = adminsSubAccount(session, form, "只有管理员帐号可以分配短信", outcome);
    if (target == nullptr)
        return outcome;
    const auto amount = sim::parseInt(field(form, "Amount"));
    if (!amount || *amount == 0)
        return failure("分配数量无效");
    User& admin = findAccount(session.account)->users.front();
    if (*amount > 0 && *amount > admin.stock)
        return failure("可分配数量不足，剩余" + std::to_string(admin.stock) + "条");
    if (*amount < 0 && -*amount > target->stock)
        return failure("子帐号余量不足，剩余" + std::to_string(target->stock) + "条");
    admin.stock -= *amount;
    target->stock += *amount;
    return success();
}

SimOutcome SimService::passwordChange(Session& session, const Form& form)
{
    User* user = findUser(*findAccount(session.account), session.user);
    if (user->password != field(form, "oldPSW"))
        return failure("旧密码错误");
    const std::string password = field(form, "newPSW");
    if (password.empty())
        return failure("新密码不能为空");
    user->password = password;
    return success();
}

SimOutcome SimService::getClientBills(Session& session, const Form& form)
{
    const Account* account = findAccount(session.account);
    const auto start = normaliseDay(field(form, "DayStart"));
    const auto end = normaliseDay(field(form, "DayEnd"));
    if (!start || !end)
        return failure("日期格式不正确");

    struct Row
    {
        std::int64_t sent = 0;
        std::int64_t remain = 0;
    };
    // (day, position of the user in the account) -> row; users removed since sort last.
    std::map<std::pair<std::string, std::size_t>, Row> rows;
    std::vector<std::string> names;
    for (const auto& user : account->users)
        names.push_back(user.name);
    const auto position = [&names](const std::string& user) {
        const auto found = std::find(names.begin(), names.end(), user);
        if (found != names.end())
            return static_cast<std::size_t>(found - names.begin());
        names.push_back(user);
        return names.size() - 1;
    };
    const auto ledger = m_ledgers.find(session.account);
    if (ledger != m_ledgers.end()) {
        for (const auto& entry : ledger->second) {
            if (entry.day < *start || entry.day > *end)
                continue;
            if (session.user != "admin" && entry.user != session.user)
                continue;
            const std::size_t index = position(entry.user);
            Row& row = rows[{entry.day, index}];
            row.sent += entry.sent;
            row.remain = entry.remainAfter;
        }
    }
    std::string bills;
    std::map<std::size_t, std::int64_t> totals;
    for (const auto& [key, row] : rows) {
        const std::int64_t sent = std::max<std::int64_t>(0, row.sent);
        totals[key.second] += sent;
        bills += "<Bill BillDay=\"" + key.first + "\" Account=\"" + xmlEscape(names[key.second]) + "\" CurRemain=\""
            + std::to_string(row.remain) + "\" CurDaySend=\"" + std::to_string(sent) + "\" CurTotal=\""
            + std::to_string(totals[key.second]) + "\"/>";
    }
    return success(el("CompanyName", account->info.companyName) + "<BillDetail>" + bills + "</BillDetail>");
}

SimOutcome SimService::createJob(Session& session, const Form& form)
{
    const std::string content = field(form, "Content");
    if (sim::trim(content).empty())
        return failure("短信内容不能为空");
    SimJob job;
    job.jobId = newJobId();
    job.account = session.account;
    job.user = session.user;
    job.method = "MessSendSMS";
    job.content = content;
    job.smsType = static_cast<int>(sim::parseInt(field(form, "SmsType")).value_or(0));
    m_jobs.push_back(job);
    return success(el("JobID", job.jobId));
}

SimOutcome SimService::messSendSms(Session& session, const Form& form)
{
    const std::string jobId = sim::trim(field(form, "JobID"));
    const auto found = std::find_if(m_jobs.begin(), m_jobs.end(), [&](const SimJob& job) {
        return job.jobId == jobId && job.account == session.account && job.method == "MessSendSMS";
    });
    if (jobId.empty() || found == m_jobs.end())
        return failure("任务[" + jobId + "]不存在");
    if (found->cancelled)
        return failure("任务[" + jobId + "]已取消");
    const std::vector<std::string> phones = sim::splitList(field(form, "Phones"), ';');
    if (phones.empty())
        return failure("号码不能为空");
    SimOutcome outcome;
    bool scheduled = false;
    const std::string sendTime = sim::trim(field(form, "SendTime"));
    if (!checkSendTime(sendTime, scheduled, outcome))
        return outcome;

    std::vector<std::string> valid;
    std::vector<std::string> refused;
    for (const auto& phone : phones)
        (sim::isMobileNumber(phone) ? valid : refused).push_back(phone);
    const int segments = sim::countSegments(found->content, m_config.longSmsLen);
    const auto needed = static_cast<std::int64_t>(valid.size()) * segments;
    User* user = findUser(*findAccount(session.account), session.user);
    if (needed > user->stock)
        return failure(
            "短信余量不足，本次需要" + std::to_string(needed) + "条，剩余" + std::to_string(user->stock) + "条");

    user->stock -= needed;
    found->charged += needed;
    if (!sendTime.empty())
        found->sendTime = sendTime;
    found->scheduled = found->scheduled || scheduled;
    for (const auto& phone : valid)
        found->messages.push_back(SimMessage {phone, found->content, segments});
    found->refused.insert(found->refused.end(), refused.begin(), refused.end());
    if (needed > 0)
        recordConsumption(*findAccount(session.account), *user, needed);
    return success(
        el("OKPhoneCounts", static_cast<std::int64_t>(valid.size())) + el("ErrPhones", joined(refused, ";")));
}

SimOutcome SimService::customSend(Session& session, const Form& form)
{
    const std::string pattern = field(form, "Pattern");
    if (sim::trim(pattern).empty())
        return failure("短信内容不能为空");
    const std::vector<std::string> phones = sim::splitList(field(form, "Phones"), ';');
    if (phones.empty())
        return failure("号码不能为空");
    SimOutcome outcome;
    bool scheduled = false;
    const std::string sendTime = sim::trim(field(form, "SendTime"));
    if (!checkSendTime(sendTime, scheduled, outcome))
        return outcome;

    const auto names = sim::placeholderNames(pattern);
    const auto details = sim::parseDetails(form.count("Details") ? form.at("Details") : std::string());
    const auto defaults = sim::parseDetails(form.count("DefaultDetail") ? form.at("DefaultDetail") : std::string());
    const std::vector<std::string> noValues;
    const std::vector<std::string>& defaultValues = defaults.empty() ? noValues : defaults.front();

    SimJob job;
    job.account = session.account;
    job.user = session.user;
    job.method = "CustomSend";
    job.content = pattern;
    job.smsType = static_cast<int>(sim::parseInt(field(form, "SmsType")).value_or(0));
    job.sendTime = sendTime;
    job.scheduled = scheduled;
    std::int64_t needed = 0;
    for (std::size_t i = 0; i < phones.size(); ++i) {
        if (!sim::isMobileNumber(phones[i])) {
            job.refused.push_back(phones[i]);
            continue;
        }
        // Details run parallel to Phones; a missing entry takes the default values.
        const auto& values = i < details.size() ? details[i] : defaultValues;
        std::string text = sim::mergePattern(pattern, names, values);
        const int segments = sim::countSegments(text, m_config.longSmsLen);
        needed += segments;
        job.messages.push_back(SimMessage {phones[i], std::move(text), segments});
    }
    User* user = findUser(*findAccount(session.account), session.user);
    if (needed > user->stock)
        return failure(
            "短信余量不足，本次需要" + std::to_string(needed) + "条，剩余" + std::to_string(user->stock) + "条");

    std::string jobId;
    if (!job.messages.empty()) {
        user->stock -= needed;
        job.charged = needed;
        job.jobId = jobId = newJobId();
        recordConsumption(*findAccount(session.account), *user, needed);
    }
    const auto accepted = static_cast<std::int64_t>(job.messages.size());
    const std::string refused = joined(job.refused, ";");
    if (!job.messages.empty())
        m_jobs.push_back(std::move(job));
    return success(el("CommonJobID", jobId) + el("SpecialJobIDs", std::string()) + el("TotalSendCount", accepted)
        + el("ErrorPhones", refused));
}

SimOutcome SimService::cancelJob(Session& session, const Form& form)
{
    const std::vector<std::string> ids = sim::splitList(field(form, "JobIDs"), ';');
    if (ids.empty())
        return failure("没有要取消的任务");
    std::vector<SimJob*> targets;
    const auto now = wallNow();
    // All or nothing: a refused identifier leaves every job of the call as it was.
    for (const auto& id : ids) {
        const auto found = std::find_if(m_jobs.begin(), m_jobs.end(),
            [&](const SimJob& job) { return job.jobId == id && job.account == session.account; });
        if (found == m_jobs.end() || (session.user != "admin" && found->user != session.user))
            return failure("任务[" + id + "]不存在");
        if (found->cancelled)
            return failure("任务[" + id + "]已取消");
        const auto time = parseSendTime(found->sendTime);
        if (!found->scheduled || !time || *time <= now)
            return failure("任务[" + id + "]已发送，不能取消");
        if (std::find(targets.begin(), targets.end(), &*found) == targets.end())
            targets.push_back(&*found);
    }
    Account* account = findAccount(session.account);
    for (SimJob* job : targets) {
        job->cancelled = true;
        User* owner = findUser(*account, job->user);
        if (owner == nullptr)
            owner = &account->users.front();
        owner->stock += job->charged;
        if (job->charged > 0)
            recordConsumption(*account, *owner, -job->charged);
    }
    return success();
}

} // namespace telvora
