#include "CliApplication.h"

#include "CardsCommand.h"
#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/AutoStart.h"
#include "app/PasswordVault.h"
#include "db/DatabaseMaintenance.h"
#include "db/DateTime.h"
#include "records/ReceivedMessageStore.h"
#include "records/RecordSearch.h"
#include "records/RecordTexts.h"
#include "records/ScheduledCanceller.h"
#include "records/SendHistory.h"
#include "records/SendLedger.h"
#include "records/SendStatistics.h"
#include "remind/LunarCalendar.h"
#include "send/CustomSendCheck.h"
#include "send/CustomSheet.h"
#include "send/NumberFileLoader.h"
#include "send/SendEngine.h"
#include "send/SendObserver.h"
#include "send/SmsRules.h"
#include "service/DiagnosticLog.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/LoginService.h"
#include "session/Session.h"
#include "tools/NumberDivision.h"
#include "tools/NumberTextFile.h"
#include "tools/PhraseLibrary.h"
#include "tools/RegionTable.h"
#include "tools/UnsentExtraction.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <ostream>

namespace telvora::cli {

namespace {

// One line per record: tabs and line breaks of the content would break the columns.
std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

// "YYYY-MM-DD", with a mark in front of the month (the leap month of a lunar date).
std::string dayText(int year, const char* monthMark, int month, int day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%s%02d-%02d", year, monthMark, month, day);
    return text;
}

std::string programDirectory()
{
    std::error_code error;
    const auto binary = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : binary.parent_path().string();
}

} // namespace

// Waits for the end of the engine's worker: the engine reports from its own thread.
class CWaitingObserver final : public CSendObserver
{
public:
    explicit CWaitingObserver(std::ostream& err)
        : m_err(err)
    { }

    void numbersWritten(int, int) override { }
    void sendFinished(int, const std::string& note) override { finish(false, note); }
    void sendFailed(int, const std::string& message) override { finish(true, message); }
    void recordWriteRetrying(int) override
    {
        const std::lock_guard lock(m_mutex);
        m_err << "发送记录暂时无法写入（数据库忙），正在重试……\n";
    }

    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
    }
    bool failed() const { return m_failed; }
    const std::string& message() const { return m_message; }

private:
    void finish(bool failed, const std::string& message)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
            m_failed = failed;
            m_message = message;
        }
        m_changed.notify_all();
    }

    std::ostream& m_err;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    bool m_failed = false;
    std::string m_message;
};

CCliApplication::CCliApplication(std::ostream& out, std::ostream& err)
    : m_out(out)
    , m_err(err)
{ }

CCliApplication::~CCliApplication() = default;

int CCliApplication::Run(const CommandLine& line)
{
    if (line.command == Command::Help) {
        m_out << HelpText();
        return kExitOk;
    }
    if (line.command == Command::Unsent) {
        return runUnsent(line); // works on files alone
    }
    if (line.command == Command::Lunar) {
        return runLunar(line);
    }
    if (!setUp(line)) {
        return kExitLocalFailure;
    }
    switch (line.command) {
    case Command::Login:
        return runLogin(line);
    case Command::Send:
        return runSend(line);
    case Command::CustomSend:
        return runCustomSend(line);
    case Command::Resume:
        return runResume(line);
    case Command::Replies:
        return runReplies(line);
    case Command::Records:
        return runRecords(line);
    case Command::Stats:
        return runStats(line);
    case Command::Cancel:
        return runCancel(line);
    case Command::Cards:
        return runCards(line);
    case Command::Backup:
    case Command::Restore:
    case Command::Compact:
        return runMaintenance(line);
    case Command::Divide:
        return runDivide(line);
    case Command::Region:
        return runRegion(line);
    case Command::Phrases:
        return runPhrases(line);
    default:
        m_err << HelpText();
        return kExitRefused;
    }
}

bool CCliApplication::setUp(const CommandLine& line)
{
    DataDirectoryInputs inputs = DataDirectoryInputs::FromProcess();
    if (!line.home.empty()) {
        std::error_code ignored;
        const auto absolute = std::filesystem::absolute(line.home, ignored);
        inputs.telvoraHome = absolute.empty() ? line.home : absolute.string();
    }
    CDataDirectory directory(inputs);
    if (!directory.Prepare()) {
        m_err << directory.GetLastError() << "\n";
        return false;
    }
    m_app = std::make_unique<CAppContext>(directory);
    m_log = std::make_unique<CDiagnosticLog>(directory.GetPath());
    m_web = std::make_unique<CWebClient>(m_log.get());
    m_service = std::make_unique<CServiceClient>(*m_web);
    // The autostart entry starts the desktop program, never this one.
    m_autoStart = std::make_unique<CAutoStart>(programDirectory() + "/telvora");
    m_session = std::make_unique<CSession>();
    return true;
}

bool CCliApplication::logIn(const CommandLine& line)
{
    if (!m_app->OpenWorkDatabase(kOfflineDatabase)) {
        m_err << m_app->GetLastError() << m_app->GetErrorDetail() << "\n";
        return false;
    }
    m_app->GetParameters().Load(m_app->GetDatabase(), m_app->GetSetupFile());
    m_vault = std::make_unique<CPasswordVault>();
    CLoginService login(*m_app, *m_service, *m_session, *m_autoStart, m_vault.get());
    m_service->SetAddress(line.server.empty() ? login.InitialServiceAddress() : line.server);

    LoginRequest request;
    request.account = line.account;
    request.user = line.user;
    request.password = line.password;
    request.rememberPassword = line.remember;
    // The command line leaves the start-at-logon choice as the desktop program set it.
    request.startAtLogon = m_autoStart->IsEnabled();
    const LoginOutcome outcome = login.LogIn(request);
    if (outcome.result != LoginOutcome::Result::LoggedIn) {
        m_err << outcome.message << "\n";
        return false;
    }
    return true;
}

int CCliApplication::runLogin(const CommandLine& line)
{
    if (!logIn(line)) {
        return kExitRefused;
    }
    m_out << "在线登录成功\n"
          << "account=" << line.account << "\n"
          << "user=" << line.user << "\n"
          << "user_type=" << m_session->userType << "\n"
          << "stock=" << m_session->stock << "\n"
          << "database=" << m_app->DatabasePathFor(m_app->GetWorkDatabaseName()) << "\n";
    return kExitOk;
}

bool CCliApplication::parseSendTime(const CommandLine& line, DateTime& at)
{
    if (!line.at.empty()) {
        at = DateTime::parse(line.at);
        if (!at.valid) {
            m_err << "--at takes \"YYYY-MM-DD HH:MM[:SS]\": " << line.at << "\n";
            return false;
        }
    }
    return true;
}

int CCliApplication::runSend(const CommandLine& line)
{
    DateTime at;
    if (!parseSendTime(line, at)) {
        return kExitRefused;
    }
    if (!logIn(line)) {
        return kExitRefused;
    }

    // The send list: file rows first, then the numbers typed by hand (each once).
    CollectedNumbers list;
    for (const auto& path : line.numberFiles) {
        if (NumberFileKindOf(path) != NumberFileKind::Text) {
            m_err << "只能从文本文件(*.txt)加载号码: " << path << "\n";
            return kExitRefused;
        }
        const NumberFileResult loaded = CNumberFileLoader().loadTextFile(path);
        if (loaded.status == NumberFileResult::Status::OpenFailed) {
            m_err << loaded.message << "\n";
            return kExitRefused;
        }
        if (loaded.status != NumberFileResult::Status::Loaded) {
            m_err << path << ": " << loaded.message << "\n";
            continue;
        }
        list.append(loaded.found);
    }
    CollectedNumbers typed;
    for (const auto& number : line.numbers) {
        const std::string_view trimmed = TrimAscii(number);
        if (std::find(typed.numbers.begin(), typed.numbers.end(), trimmed) != typed.numbers.end()) {
            continue;
        }
        if (!typed.addIfMobile(trimmed)) {
            m_err << "忽略无效号码: " << number << "\n";
        }
    }
    list.append(typed);

    const SmsRuleValues rules = RuleValuesOf(*m_session, m_app->GetParameters());
    SendCheckInput input;
    input.loggedIn = m_session->loggedIn;
    input.scheduled = at.valid;
    input.scheduleInFuture = !at.valid || at > DateTime::now();
    input.content = line.text;
    input.numberCount = list.numbers.size();
    input.carrierNumbers = list.counts.total();
    input.multiSegmentConfirmed = line.yes;
    const SendCheckResult check = CheckSendRequest(input, rules);
    if (check.outcome == SendCheckResult::Outcome::Confirm) {
        m_err << check.text << "\n(没有发送；确认请加 --yes)\n";
        return kExitRefused;
    }
    if (check.outcome != SendCheckResult::Outcome::Go) {
        m_err << check.text << "\n";
        return kExitRefused;
    }

    int insertion = CSendEngine::PlainSend;
    if (!line.insert.empty()) {
        if (m_session->userType == "会员用户") {
            m_err << "会员用户不能插入姓名或称呼，按普通短信发送。\n";
        } else {
            insertion = line.insert == "name" ? CSendEngine::InsertName : CSendEngine::InsertTitle;
        }
    }

    CWaitingObserver observer(m_err);
    CSendEngine engine(*m_app, *m_session, *m_service, &observer);
    if (!engine.PrepareSend(list.numbers, check.content, CSendEngine::SendViewMode, insertion)) {
        m_err << (engine.GetExcludedCount() > 0 ? engine.GetLastError()
                                                : "现有的短信发送任务尚未完成,或您选择的号码包含号段,本次发送非法!")
              << "\n";
        return kExitRefused;
    }
    if (engine.GetExcludedCount() > 0) {
        m_err << engine.GetExcludedNote() << "\n";
    }
    // The moment checked above is the one scheduled, seconds included.
    if (at.valid) {
        engine.SetSendTime(at.toString());
    }
    if (!engine.StartSend()) {
        m_err << engine.GetLastError() << "\n";
        return kExitSendFailed;
    }
    return awaitSend(engine, observer);
}

int CCliApplication::runCustomSend(const CommandLine& line)
{
    DateTime at;
    if (!parseSendTime(line, at)) {
        return kExitRefused;
    }
    if (!logIn(line)) {
        return kExitRefused;
    }
    CCustomSheet sheet;
    if (!sheet.LoadFile(line.file)) {
        m_err << sheet.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    sheet.SetPhoneColumn(sheet.ColumnOf(line.phoneColumn));

    CustomSendInput input;
    input.loggedIn = m_session->loggedIn;
    input.templateText = line.templateText;
    input.userType = m_session->userType;
    input.scheduled = at.valid;
    input.sendTime = at;
    input.now = DateTime::now();
    const SmsRuleValues rules = RuleValuesOf(*m_session, m_app->GetParameters());
    const CustomSendCheck check = CheckCustomSend(sheet, input, rules);
    if (!check.go) {
        m_err << check.refusal << "\n";
        return kExitRefused;
    }
    const auto& recipients = check.send.recipients;
    const auto longTexts = std::count_if(recipients.begin(), recipients.end(),
        [&rules](const PersonalisedRecipient& recipient) { return CountSmsSegments(recipient.text, rules) > 1; });
    if (longTexts > 0 && !line.yes) {
        m_err << "有" << longTexts << "条短信超长，本次发送共需" << check.neededStock
              << "条短信，您确认要发送吗？\n(没有发送；确认请加 --yes)\n";
        return kExitRefused;
    }

    CWaitingObserver observer(m_err);
    CSendEngine engine(*m_app, *m_session, *m_service, &observer);
    if (!engine.PreparePersonalisedSend(check.send)) {
        m_err << (engine.GetExcludedCount() > 0 ? engine.GetLastError() : std::string("现有的短信发送任务尚未完成"))
              << "\n";
        return kExitRefused;
    }
    if (engine.GetExcludedCount() > 0) {
        m_err << engine.GetExcludedNote() << "\n";
    }
    if (!check.sendTime.empty()) {
        engine.SetSendTime(check.sendTime);
    }
    if (!engine.StartSend()) {
        m_err << engine.GetLastError() << "\n";
        return kExitSendFailed;
    }
    const int exitCode = awaitSend(engine, observer);
    m_out << CustomSendOutcomeOf(CSendLedger(m_app->GetDatabase()).CountOf(engine.GetRecordId())).message << "\n";
    return exitCode;
}

int CCliApplication::awaitSend(CSendEngine& engine, CWaitingObserver& observer)
{
    observer.wait();
    engine.Wait();
    printRecord(engine.GetRecordId());
    if (!observer.message().empty()) {
        m_err << observer.message() << "\n";
    }
    return observer.failed() ? kExitSendFailed : kExitOk;
}

int CCliApplication::runResume(const CommandLine& line)
{
    if (!logIn(line)) {
        return kExitRefused;
    }
    CWaitingObserver observer(m_err);
    CSendEngine engine(*m_app, *m_session, *m_service, &observer);
    const std::vector<InterruptedSend> interrupted = engine.FindInterrupted();
    const auto chosen = std::find_if(interrupted.begin(), interrupted.end(),
        [&line](const InterruptedSend& send) { return line.record == 0 || send.recordId == line.record; });
    if (chosen == interrupted.end()) {
        m_err << (line.record == 0 ? std::string("没有尚未完成的发送记录。")
                                   : "发送记录[" + std::to_string(line.record) + "]不是尚未完成的发送记录。")
              << "\n";
        return kExitRefused;
    }
    const long numbers = chosen->notPosted + (line.includeUnknown ? chosen->unknown : 0);
    if (numbers == 0) {
        m_err << "发送记录[" << chosen->recordId << "]没有未发送的号码；有" << chosen->unknown
              << "个号码结果未知（重发请加 --include-unknown）。\n";
        return kExitRefused;
    }
    const SmsRuleValues rules = RuleValuesOf(*m_session, m_app->GetParameters());
    const int segments = CountSmsSegments(chosen->content, rules);
    if (segments > 1 && !line.yes) {
        m_err << "短信内容超长，移动联通电信号码将按" << segments
              << "条收费，您确认要发送吗？\n(没有发送；确认请加 --yes)\n";
        return kExitRefused;
    }
    const std::uint64_t needed = static_cast<std::uint64_t>(numbers) * static_cast<std::uint64_t>(segments);
    if (rules.smsStock < needed) {
        m_err << "本次发送所需短信条数[" << needed << "]，您的短信余量不足!\n";
        return kExitRefused;
    }
    if (!engine.ResumeSend(chosen->recordId, line.includeUnknown, line.now)) {
        m_err << engine.GetLastError() << (line.now ? "" : "（立即发送请加 --now）") << "\n";
        return kExitRefused;
    }
    if (chosen->unknown > 0 && !line.includeUnknown) {
        m_err << "有" << chosen->unknown << "个号码结果未知，没有重发。\n";
    }
    return awaitSend(engine, observer);
}

void CCliApplication::printRecord(int recordId)
{
    m_out << "record=" << recordId << "\n";
    const std::optional<SendRecord> record = CSendHistory(m_app->GetDatabase()).Find(recordId);
    if (!record)
        return;
    m_out << "status=" << record->status << "\n"
          << "scheduled=" << (record->scheduled ? 1 : 0) << "\n"
          << "success_count=" << record->successCount << "\n"
          << "fail_count=" << record->failCount << "\n"
          << "jobid=" << record->jobIds << "\n";
    const DetailCounts count = CSendLedger(m_app->GetDatabase()).CountOf(recordId);
    m_out << "accepted=" << count.accepted << "\n"
          << "refused=" << count.refused << "\n"
          << "unknown=" << count.unknown << "\n"
          << "not_posted=" << count.notPosted << "\n";
}

int CCliApplication::runReplies(const CommandLine& line)
{
    if (!logIn(line)) {
        return kExitRefused;
    }
    if (!m_session->mayFetchReplies()) {
        m_err << "当前帐号没有接收回复短信的权限（用户权限 " << m_session->userRight << "）。\n";
        return kExitRefused;
    }
    CReceivedMessageStore store(m_app->GetDatabase(), m_app->GetNextCardId());
    ReceivedMessagesStored stored;
    std::string message;
    if (!store.FetchAndStore(*m_service, *m_session, m_app->GetParameters(), stored, message)) {
        m_err << message << "\n";
        return kExitSendFailed;
    }
    for (const auto& received : stored.added) {
        m_out << received.phone << "\t" << received.receiveTime << "\t" << oneLine(received.content) << "\n";
    }
    m_out << "new=" << stored.added.size() << "\n";
    return kExitOk;
}

bool CCliApplication::openUserDatabase(const CommandLine& line)
{
    const std::string user
        = line.userGiven ? line.user : m_app->GetSetupFile().GetString(kSetupSection, "CurUser", line.user);
    const std::string name = user + ".db";
    std::error_code error;
    // Reading must not create a database for a user who never logged in here.
    if (!std::filesystem::exists(m_app->DatabasePathFor(name), error)) {
        m_err << "没有用户[" << user << "]的数据库: " << m_app->DatabasePathFor(name) << "\n";
        return false;
    }
    if (!m_app->OpenWorkDatabase(name)) {
        m_err << m_app->GetLastError() << m_app->GetErrorDetail() << "\n";
        return false;
    }
    return true;
}

int CCliApplication::runCards(const CommandLine& line)
{
    if (!openUserDatabase(line)) {
        return kExitLocalFailure;
    }
    return CCardsCommand(*m_app, m_out, m_err).Run(line);
}

int CCliApplication::runRecords(const CommandLine& line)
{
    if (!openUserDatabase(line)) {
        return kExitLocalFailure;
    }
    if (line.detail != 0) {
        return runRecordDetail(line);
    }
    if (line.from.valid) {
        return runRecordSearch(line);
    }
    CSendHistory history(m_app->GetDatabase());
    const std::vector<SendRecord> records = history.List(line.scheduledOnly);
    if (!history.GetLastError().empty()) {
        m_err << history.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    const std::map<int, DetailCounts> counts = CSendLedger(m_app->GetDatabase()).CountByRecord();
    const DateTime now = DateTime::now();
    m_out << "id\ttime\tmode\tstatus\tsuccess\tfail\taccepted\trefused\tunknown\tnot_posted\tstate\tcontent\n";
    for (const SendRecord& record : records) {
        // A scheduled send shows what the scheduled list shows: sent once its time has come.
        const std::string status = record.scheduled ? ScheduledStatusText(record, now) : record.status;
        const auto found = counts.find(static_cast<int>(record.id));
        const DetailCounts count = found == counts.end() ? DetailCounts {} : found->second;
        // No send runs in this process: a record with rows left is interrupted.
        m_out << record.id << "\t" << (record.sendTime.valid ? record.sendTime.format("%Y-%m-%d %H:%M") : std::string())
              << "\t" << SendModeText(record.sendMode) << "\t" << status << "\t" << record.successCount << "\t"
              << record.failCount << "\t" << count.accepted << "\t" << count.refused << "\t" << count.unknown << "\t"
              << count.notPosted << "\t" << (count.unfinished() ? "中断" : "") << "\t" << oneLine(record.content)
              << "\n";
    }
    return kExitOk;
}

int CCliApplication::runMaintenance(const CommandLine& line)
{
    if (!openUserDatabase(line)) {
        return kExitLocalFailure;
    }
    using Result = CDatabaseMaintenance::Result;
    CDatabaseMaintenance maintenance(m_app->GetDatabase(), m_app->GetDataDirectory().FilePath(kTemplateDatabase));
    Result result = Result::Failed;
    if (line.command == Command::Backup) {
        result = maintenance.Backup(line.file);
        if (result == Result::Done) {
            m_out << "数据备份到本地目录[" << line.file << "]成功!\n";
        }
    } else if (line.command == Command::Compact) {
        result = maintenance.Compact();
        if (result == Result::Done) {
            m_out << "压缩数据库成功完成\n";
        }
    } else {
        result = maintenance.Restore(line.file, line.groups);
        for (const auto& copied : maintenance.GetCopiedTables()) {
            m_out << copied.table << "=" << copied.rows << "\n";
        }
        if (result == Result::Done) {
            m_out << "数据资料恢复成功!\n";
        }
    }
    if (result == Result::NotABackup) {
        m_err << CDatabaseMaintenance::kCannotOpenBackup << "\n" << maintenance.GetLastError() << "\n";
        return kExitNotABackup;
    }
    if (result != Result::Done) {
        m_err << maintenance.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    return kExitOk;
}

bool CCliApplication::loadRegions(CRegionTable& regions)
{
    std::string path;
    if (!PrepareRegionDatabase(m_app->GetDataDirectory(), path) || !regions.LoadFile(path)) {
        m_err << "打开号码查询数据库失败！\n";
        return false;
    }
    return true;
}

int CCliApplication::runDivide(const CommandLine& line)
{
    CRegionTable regions;
    if (!loadRegions(regions)) {
        return kExitLocalFailure;
    }
    CNumberDivision division(regions);
    const NumberFileResult loaded = division.LoadFile(line.arguments[0]);
    if (loaded.status == NumberFileResult::Status::OpenFailed) {
        m_err << loaded.message << "\n";
        return kExitLocalFailure;
    }
    const auto mode = static_cast<DivisionMode>(line.divideMode);
    const std::string name(TrimAscii(line.regionName));
    if (const std::string refusal = division.CheckStart(mode, name); !refusal.empty()) {
        m_err << refusal << "\n";
        return kExitRefused;
    }
    const DivisionOutcome outcome = division.WriteFiles(mode, name, line.arguments[1]);
    for (const DividedFile& file : outcome.files) {
        m_out << file.path << "\t" << file.count << "\n";
    }
    if (!outcome.ok) {
        m_err << outcome.message << "\n";
        return kExitLocalFailure;
    }
    return kExitOk;
}

int CCliApplication::runUnsent(const CommandLine& line)
{
    CUnsentExtraction extraction;
    const CUnsentExtraction::List lists[] = {CUnsentExtraction::List::All, CUnsentExtraction::List::Sent};
    for (int i = 0; i < 2; ++i) {
        const NumberFileResult loaded = extraction.LoadFile(lists[i], line.arguments[static_cast<std::size_t>(i)]);
        if (loaded.status == NumberFileResult::Status::OpenFailed) {
            m_err << loaded.message << "\n";
            return kExitLocalFailure;
        }
    }
    const std::vector<std::string_view> unsent = extraction.Extract();
    if (!AppendNumberLines(line.arguments[2], unsent)) {
        m_err << "创建导出文件失败!\n";
        return kExitLocalFailure;
    }
    m_out << line.arguments[2] << "\t" << unsent.size() << "\n";
    return kExitOk;
}

int CCliApplication::runRegion(const CommandLine& line)
{
    CRegionTable regions;
    if (!loadRegions(regions)) {
        return kExitLocalFailure;
    }
    for (const std::string& number : line.arguments) {
        const Region region = regions.Lookup(number);
        const std::string_view carrier = CarrierCaption(ClassifyMobileNumber(number));
        m_out << number << "\t" << region.province << "\t" << region.city << "\t"
              << (carrier.empty() ? std::string_view("-") : carrier) << "\n";
    }
    return kExitOk;
}

int CCliApplication::runPhrases(const CommandLine& line)
{
    if (!openUserDatabase(line)) {
        return kExitLocalFailure;
    }
    CPhraseLibrary library(m_app->GetDatabase());
    if (line.phraseAction == "import") {
        std::size_t imported = 0;
        if (!library.ImportSpreadsheet(line.arguments[0], imported)) {
            m_err << library.GetMessage() << "\n";
            return kExitLocalFailure;
        }
        m_out << "imported=" << imported << "\n";
        return kExitOk;
    }
    if (line.phraseAction == "add") {
        if (!library.EnsureGroup(line.group) || !library.AddPhrase(line.title, line.text, line.group)) {
            m_err << library.GetMessage() << "\n";
            return kExitRefused;
        }
        return kExitOk;
    }
    std::vector<std::string> groups;
    if (line.groupGiven) {
        groups.push_back(line.group);
    } else {
        groups.emplace_back(CPhraseLibrary::kSentGroup);
        for (const PhraseGroup& group : library.ListGroups()) {
            groups.push_back(group.name);
        }
    }
    m_out << "id\tgroup\ttitle\ttext\n";
    for (const std::string& group : groups) {
        for (const Phrase& phrase : library.ListPhrases(group)) {
            m_out << phrase.id << "\t" << oneLine(phrase.group) << "\t" << oneLine(phrase.title) << "\t"
                  << oneLine(phrase.message) << "\n";
        }
    }
    return kExitOk;
}

int CCliApplication::runRecordDetail(const CommandLine& line)
{
    CSendHistory history(m_app->GetDatabase());
    const std::optional<SendRecord> record = history.Find(line.detail);
    if (!record) {
        m_err << (history.GetLastError().empty() ? "没有该记录: " + std::to_string(line.detail)
                                                 : history.GetLastError())
              << "\n";
        return history.GetLastError().empty() ? kExitRefused : kExitLocalFailure;
    }
    const std::vector<SendDetail> details = history.Details(line.detail);
    if (!history.GetLastError().empty()) {
        m_err << history.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    m_out << "序号\t发送状态\t发送时间\t拆分条数\t姓名\t手机号码\t短信内容\n";
    int number = 0;
    for (const SendDetail& detail : details) {
        const DetailShown shown = ShowDetail(record->sendMode, detail.content, record->content);
        m_out << ++number << "\t" << DetailStatusText(detail.status) << "\t"
              << (detail.sendTime.valid ? detail.sendTime.toString() : std::string()) << "\t" << detail.splitCount
              << "\t" << oneLine(shown.name) << "\t" << detail.phone << "\t" << oneLine(shown.message) << "\n";
    }
    return kExitOk;
}

int CCliApplication::runRecordSearch(const CommandLine& line)
{
    RecordSearchQuery query = RecordSearchQuery::Range(line.from, line.to);
    query.phone = line.phone;
    query.text = line.text;
    CRecordSearch search(m_app->GetDatabase());
    if (!search.Run(query)) {
        m_err << search.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    m_out << "序号\t发送时间\t手机号码\t发送状态\t拆分条数\t短信内容\n";
    int number = 0;
    for (const RecordSearchRow& row : search.Rows()) {
        m_out << ++number << "\t" << row.sendTime.format("%Y-%m-%d %H:%M") << "\t" << row.phone << "\t"
              << DetailStatusText(row.status) << "\t" << row.splitCount << "\t" << oneLine(row.message) << "\n";
    }
    m_out << search.Totals().Text() << "\n";
    return kExitOk;
}

int CCliApplication::runStats(const CommandLine& line)
{
    if (!openUserDatabase(line)) {
        return kExitLocalFailure;
    }
    CSendStatistics statistics(m_app->GetDatabase());
    const std::vector<StatisticsRow> rows
        = line.statsMonth == 0 ? statistics.ByMonth(line.statsYear) : statistics.ByDay(line.statsYear, line.statsMonth);
    if (!statistics.GetLastError().empty()) {
        m_err << statistics.GetLastError() << "\n";
        return kExitLocalFailure;
    }
    m_out << "序号\t发送时间\t发送总条数\t成功合计\t异常合计\n";
    int number = 0;
    for (const StatisticsRow& row : rows) {
        m_out << ++number << "\t" << row.period << "\t" << row.total << "\t" << row.success << "\t" << row.fail << "\n";
    }
    return kExitOk;
}

int CCliApplication::runCancel(const CommandLine& line)
{
    if (!logIn(line)) {
        return kExitRefused;
    }
    CSendHistory history(m_app->GetDatabase());
    CScheduledCanceller canceller(m_app->GetDatabase(), *m_service, m_session->token);
    int exitCode = kExitOk;
    for (long id : line.recordIds) {
        const std::optional<SendRecord> record = history.Find(id);
        if (!record || !record->scheduled) {
            m_err << id << "\t" << (record ? "不是定时记录" : "没有该记录") << "\n";
            exitCode = kExitRefused;
            continue;
        }
        const DateTime now = DateTime::now();
        switch (canceller.Cancel(*record, now)) {
        case CScheduledCanceller::Outcome::Skipped:
            m_out << id << "\t" << ScheduledStatusText(*record, now) << "\n";
            break;
        case CScheduledCanceller::Outcome::Cancelled:
            m_out << id << "\t" << kCancelledStatus << "\n";
            if (!canceller.GetLastError().empty()) {
                m_err << id << "\t" << canceller.GetLastError() << "\n";
            }
            break;
        case CScheduledCanceller::Outcome::Failed:
            m_err << id << "\t"
                  << (CScheduledCanceller::JobIdBatches(record->jobIds).empty()
                             ? "没有任务编号，无法取消"
                             : "定时短信取消失败，请与我们客服及时联系!")
                  << "\n";
            if (exitCode == kExitOk) {
                exitCode = kExitSendFailed;
            }
            break;
        }
    }
    return exitCode;
}

int CCliApplication::runLunar(const CommandLine& line)
{
    const CLunarCalendar calendar;
    int exitCode = kExitOk;
    const auto print = [&](const DateTime& day) {
        const SystemTime solar = SystemTimeOf(day);
        m_out << dayText(solar.year, "", solar.month, solar.day) << "\t";
        SystemTime lunar;
        int leap = 0;
        if (!calendar.SolarToLunar(&solar, &lunar, &leap)) {
            m_out << "-\n";
            exitCode = kExitOutsideLunarTable;
            return;
        }
        m_out << dayText(lunar.year, leap != 0 ? "L" : "", lunar.month, lunar.day) << "\t"
              << calendar.FormatLunarDate(lunar, leap) << "\n";
    };
    if (line.from.valid) {
        // Past 9999-12-31 the next day is the null date, which would sort before --to.
        for (DateTime day = line.from; day.valid && day <= line.to; day = day.addDays(1)) {
            print(day);
        }
    } else if (line.days.empty()) {
        print(DateTime::now());
    }
    for (const DateTime& day : line.days) {
        print(day);
    }
    return exitCode;
}

} // namespace telvora::cli
