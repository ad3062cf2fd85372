#include "send/SendEngine.h"

#include "app/AppContext.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"
#include "db/SqlText.h"
#include "records/SendHistory.h"
#include "records/UnsubscribedFilter.h"
#include "send/SendObserver.h"
#include "service/ServiceClient.h"
#include "service/TextCodec.h"
#include "service/XmlReader.h"
#include "session/Session.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

namespace telvora {

namespace {

// Splits a ";"-separated list of the service, dropping blanks and empty entries.
std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(';', start), text.size());
        const std::string_view item = TrimAscii(std::string_view(text).substr(start, end - start));
        if (!item.empty()) {
            items.emplace_back(item);
        }
        start = end + 1;
    }
    return items;
}

// A Details entry holding one value: the inserted name or title, or a stored personalised text.
std::string singleDetail(const std::string& entry)
{
    std::string value = entry;
    if (!EscapeFormValue(value)) {
        value.clear();
    }
    return "{" + value + "};";
}

// Orders rows and numbers by number text.
struct NumberLess
{
    bool operator()(const SendRow& row, const std::string& number) const { return row.number < number; }
    bool operator()(const std::string& number, const SendRow& row) const { return number < row.number; }
};

// Resuming a personalised send posts each stored text whole, as the one value of this pattern.
constexpr const char* kStoredTextPattern = "{内容}";

} // namespace

ServiceCall MakeServiceCall(CServiceClient& service)
{
    return [&service](const std::string& method, const std::string& body, std::string& reply) {
        return service.Call(method, body, reply, true);
    };
}

SmsRuleValues RuleValuesOf(const CSession& session, const CParameterStore& parameters)
{
    SmsRuleValues values;
    values.longSmsLen = session.longSmsLen;
    values.segmentUpperLimit = session.segmentUpperLimit;
    values.fetchSendStat = session.fetchSendStat;
    values.signName = session.signName;
    values.smsStock = session.stock > 0 ? static_cast<std::uint32_t>(session.stock) : 0U;
    values.addSmsTail = IsSmsTailEnabled(parameters.Get("AddSMSTail"));
    values.smsTail = parameters.Get("SMSTail");
    return values;
}

ResumeOffer ResumeOfferOf(const std::vector<InterruptedSend>& interrupted)
{
    ResumeOffer offer;
    long numbers = 0;
    long unknown = 0;
    // Records with only numbers of unknown outcome have nothing a resume would send.
    for (auto it = interrupted.rbegin(); it != interrupted.rend(); ++it) {
        if (it->notPosted > 0) {
            offer.recordIds.push_back(it->recordId);
            numbers += it->notPosted;
            unknown += it->unknown;
        }
    }
    if (offer.recordIds.empty()) {
        return offer;
    }
    offer.question = "有" + std::to_string(offer.recordIds.size()) + "条发送记录尚未完成（剩余"
        + std::to_string(numbers) + "个号码），是否继续发送？";
    if (unknown > 0) {
        offer.unknownNote = "有" + std::to_string(unknown) + "个号码已提交但结果未知，没有重发。";
    }
    return offer;
}

// Everything the worker needs, copied out of the engine so that the caller's thread may
// prepare nothing else while it runs and the worker never reads shared state.
struct CSendEngine::Job
{
    int recordId = 0;
    int sendMode = SendViewMode;
    bool silent = false; // birthday greetings report nothing
    int insertionMode = PlainSend;
    bool scheduled = false;
    int segments = 1;
    std::string content;
    std::string sendTime;
    std::string escapedSendTime; // empty for a send made at once
    std::string pattern;
    std::string defaultDetail = "{};";
    std::string token;
    std::string databasePath;
    std::string jobIds; // the record's job ids before this run
    std::vector<SendRow> rows;
    std::vector<std::string> details; // per row, for CustomSend
    std::vector<std::string> customJobIds;
};

// The worker's own connection to the account database.
struct CSendEngine::WorkerDatabase
{
    CADODataBase database;
    CSendLedger ledger {database};

    bool open(const std::string& path) { return database.Open(path) && ledger.Prepare(); }
};

CSendEngine::CSendEngine(CAppContext& app, const CSession& session, CServiceClient& service, CSendObserver* observer)
    : CSendEngine(app, session, MakeServiceCall(service), observer)
{ }

CSendEngine::CSendEngine(CAppContext& app, const CSession& session, ServiceCall call, CSendObserver* observer)
    : m_app(app)
    , m_session(session)
    , m_call(std::move(call))
    , m_observer(observer)
{ }

CSendEngine::~CSendEngine()
{
    RequestStop();
    joinWorker();
}

void CSendEngine::RequestStop()
{
    {
        const std::lock_guard lock(m_stopMutex);
        m_stop.store(true);
    }
    m_stopChanged.notify_all();
}

bool CSendEngine::pause(std::chrono::milliseconds time)
{
    std::unique_lock lock(m_stopMutex);
    return !m_stopChanged.wait_for(lock, time, [this] { return m_stop.load(); });
}

void CSendEngine::joinWorker()
{
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) {
        m_worker.join();
    }
}

void CSendEngine::Wait()
{
    joinWorker();
}

bool CSendEngine::PrepareSend(
    const std::vector<std::string>& numbers, const std::string& text, int sendMode, int insertionMode)
{
    // The running send's state is the worker's: a refused request must not touch it.
    if (m_busy.load()) {
        return false;
    }
    resetPrepared(sendMode);
    if (text.empty()) {
        return false;
    }
    m_rules = RuleValuesOf(m_session, m_app.GetParameters());
    m_content = MessageWithTail(text, m_rules);

    m_recipients.reserve(numbers.size());
    for (const auto& number : numbers) {
        const std::string_view trimmed = TrimAscii(number);
        // Anything else would break the ";"-joined list the service reads.
        if (!trimmed.empty() && IsAllDigits(trimmed)) {
            m_recipients.emplace_back(trimmed);
        }
    }
    std::sort(m_recipients.begin(), m_recipients.end());
    m_recipients.erase(std::unique(m_recipients.begin(), m_recipients.end()), m_recipients.end());
    m_excluded = CUnsubscribedFilter(m_app.GetDatabase(), m_app.GetParameters()).Apply(m_recipients);
    if (m_excluded > 0 && m_recipients.empty()) {
        m_lastError = CUnsubscribedFilter::ExcludedMessage(m_excluded);
        return false;
    }
    if (!CheckNumberBlockLimit(m_recipients, m_rules.segmentUpperLimit)) {
        m_recipients.clear();
        return false;
    }
    m_sendTime = DateTime::now().toString();
    m_ready = !m_recipients.empty();
    if (m_ready && (insertionMode == InsertName || insertionMode == InsertTitle)) {
        buildDetails(insertionMode);
    }
    return m_ready;
}

void CSendEngine::resetPrepared(int sendMode)
{
    joinWorker();
    m_ready = false;
    m_scheduled = 0;
    m_sendMode = sendMode;
    m_insertionMode = PlainSend;
    m_details.clear();
    m_pattern.clear();
    m_recipients.clear();
    m_personal.clear();
    m_placeholders = 0;
    m_lastError.clear();
    m_excluded = 0;
}

bool CSendEngine::PreparePersonalisedSend(const PersonalisedSend& send)
{
    if (m_busy.load()) {
        return false;
    }
    resetPrepared(PersonalisedMode);
    if (TrimAscii(send.pattern).empty()) {
        return false;
    }
    m_rules = RuleValuesOf(m_session, m_app.GetParameters());
    m_content = send.pattern;
    m_pattern = send.pattern;
    m_placeholders = std::max(send.placeholders, 0);
    m_insertionMode = PersonalisedText;
    for (const auto& recipient : send.recipients) {
        const std::string_view number = TrimAscii(recipient.number);
        if (!number.empty() && IsAllDigits(number)) {
            m_personal.push_back({std::string(number), recipient.text, recipient.details});
        }
    }
    // Opted-out customers get no personalised text either.
    std::vector<std::string> kept;
    for (const auto& recipient : m_personal) {
        kept.push_back(recipient.number);
    }
    m_excluded = CUnsubscribedFilter(m_app.GetDatabase(), m_app.GetParameters()).Apply(kept);
    if (m_excluded > 0) {
        std::sort(kept.begin(), kept.end());
        std::erase_if(m_personal, [&kept](const PersonalisedRecipient& recipient) {
            return !std::binary_search(kept.begin(), kept.end(), recipient.number);
        });
        if (m_personal.empty()) {
            m_lastError = CUnsubscribedFilter::ExcludedMessage(m_excluded);
        }
    }
    // Refused numbers are looked up by halving, and rows of one number stay together.
    std::stable_sort(m_personal.begin(), m_personal.end(),
        [](const PersonalisedRecipient& a, const PersonalisedRecipient& b) { return a.number < b.number; });
    m_sendTime = DateTime::now().toString();
    m_ready = !m_personal.empty();
    return m_ready;
}

std::string CSendEngine::GetExcludedNote() const
{
    return m_excluded > 0 ? CUnsubscribedFilter::ExcludedMessage(m_excluded) : std::string();
}

bool CSendEngine::buildDetails(int insertionMode)
{
    CADORecordset cards(&m_app.GetDatabase());
    const char* sql = insertionMode == InsertName ? "SELECT phone, name  FROM tbl_card order by id"
                                                  : "SELECT phone, title  FROM tbl_card order by id";
    if (!cards.Open(sql) || cards.IsEOF()) {
        return false;
    }
    const std::size_t recipients = m_recipients.size();
    if (recipients > 1000 && static_cast<std::size_t>(cards.GetRecordCount()) < 100) {
        return false;
    }
    std::map<std::string, std::string> details;
    std::size_t named = 0;
    for (; !cards.IsEOF(); cards.MoveNext()) {
        std::string phone;
        std::string value;
        cards.GetFieldValue(0, phone);
        cards.GetFieldValue(1, value);
        if (!TrimAscii(value).empty()) {
            ++named;
        }
        // Only recipients are looked up; a later card of the same phone wins.
        if (std::binary_search(m_recipients.begin(), m_recipients.end(), phone)) {
            details[phone] = std::move(value);
        }
    }
    if (named == 0 || (recipients > 1000 && named < 100)) {
        return false;
    }
    m_details = std::move(details);
    m_pattern = "{zf}：" + m_content;
    m_insertionMode = insertionMode;
    return true;
}

bool CSendEngine::SetSendTime(const std::string& time)
{
    if (!m_ready || m_busy.load()) {
        return false;
    }
    const DateTime moment = DateTime::parse(time);
    if (!moment.valid) {
        return false;
    }
    m_sendTime = moment.toString();
    m_scheduled = 1;
    return true;
}

bool CSendEngine::CreateSendRecord(Job& job)
{
    CADODataBase& database = m_app.GetDatabase();
    CSendLedger ledger(database);
    NewSendRecord record;
    record.content = job.content;
    record.sendTime = job.sendTime;
    record.sendMode = job.sendMode;
    record.scheduled = job.scheduled;
    job.recordId = ledger.Prepare() ? ledger.CreateRecord(record, job.rows) : 0;
    if (job.recordId == 0) {
        // Nothing is posted without its rows: the whole send stays with the caller.
        m_lastError
            = "有" + std::to_string(job.rows.size()) + "个号码无法写入发送记录，未能发送!" + ledger.GetLastError();
        return false;
    }
    m_recordId = job.recordId;
    // A template is no phrase to pick again.
    if (job.sendMode == PersonalisedMode) {
        return true;
    }
    // The used-phrase store keeps each sent text once; a failure here does not stop the send.
    const std::string text = SqlQuote(job.content);
    CADORecordset known(&database);
    if (known.Open("SELECT Title FROM tbl_message WHERE Message = " + text + " AND ClassName='已发送短语'")
        && known.IsEOF()) {
        CADORecordset next(&database);
        long id = 0;
        if (next.Open("SELECT COALESCE(MAX(ID), 0) + 1 FROM tbl_message") && !next.IsEOF()
            && next.GetFieldValue(0, id)) {
            database.Execute("INSERT INTO tbl_message ( id, Title,Message,ClassName) VALUES (" + std::to_string(id)
                + ", '已发短语'," + text + ",'已发送短语')");
        }
    }
    return true;
}

bool CSendEngine::StartSend()
{
    if (!m_ready || m_busy.load()) {
        return false;
    }
    joinWorker();
    m_ready = false;
    m_lastError.clear();

    auto job = std::make_unique<Job>();
    job->sendMode = m_sendMode;
    job->silent = m_sendMode == BirthdayMode;
    job->insertionMode = m_insertionMode;
    job->scheduled = m_scheduled != 0;
    job->segments = CountSmsSegments(m_content, m_rules);
    job->content = m_content;
    job->sendTime = m_sendTime;
    if (job->scheduled) {
        job->escapedSendTime = m_sendTime;
        EscapeFormValue(job->escapedSendTime);
    }
    job->pattern = m_pattern;
    if (m_sendMode == PersonalisedMode) {
        job->defaultDetail.clear();
        for (int i = 0; i < m_placeholders; ++i) {
            job->defaultDetail += "{}";
        }
        job->defaultDetail += ';';
        job->rows.reserve(m_personal.size());
        for (auto& recipient : m_personal) {
            SendRow& row = job->rows.emplace_back();
            row.number = std::move(recipient.number);
            row.entry = std::move(recipient.text);
            row.segments = CountSmsSegments(row.entry, m_rules);
            job->details.push_back(std::move(recipient.details));
        }
    } else {
        job->rows.reserve(m_recipients.size());
        for (auto& number : m_recipients) {
            SendRow& row = job->rows.emplace_back();
            const auto entry = m_details.find(number);
            if (entry != m_details.end()) {
                row.entry = entry->second;
            }
            row.number = std::move(number);
            row.segments = job->segments;
            if (job->insertionMode != PlainSend) {
                job->details.push_back(singleDetail(row.entry));
            }
        }
    }
    m_details.clear();
    m_recipients.clear();
    m_personal.clear();
    if (!CreateSendRecord(*job)) {
        return false;
    }
    return launch(std::move(job));
}

bool CSendEngine::ResumeSend(int recordId, bool includeUnknown, bool sendNow)
{
    if (m_busy.load()) {
        m_lastError = "现有的短信发送任务尚未完成";
        return false;
    }
    joinWorker();
    m_ready = false;
    CSendLedger ledger(m_app.GetDatabase());
    std::optional<ResumableRecord> record = ledger.LoadResumable(recordId, includeUnknown);
    if (!record) {
        m_lastError = ledger.GetLastError();
        return false;
    }
    if (record->rows.empty()) {
        m_lastError = "发送记录[" + std::to_string(recordId) + "]没有尚未发送的号码";
        return false;
    }
    auto job = std::make_unique<Job>();
    job->recordId = recordId;
    job->sendMode = record->sendMode;
    job->content = record->content;
    job->sendTime = record->sendTime;
    job->jobIds = record->jobIds;
    const DateTime moment = DateTime::parse(record->sendTime);
    const bool ahead = moment.valid && moment > DateTime::now();
    if (record->scheduled && !ahead && !sendNow) {
        m_lastError = "定时发送的时间[" + record->sendTime + "]已过，需要立即发送";
        return false;
    }
    // A time still ahead is kept whatever the caller allowed.
    job->scheduled = record->scheduled && ahead;
    if (job->scheduled) {
        job->escapedSendTime = record->sendTime;
        EscapeFormValue(job->escapedSendTime);
    }
    if (record->sendMode == PersonalisedMode) {
        job->insertionMode = PersonalisedText;
        job->pattern = kStoredTextPattern;
    } else if (std::any_of(
                   record->rows.begin(), record->rows.end(), [](const SendRow& row) { return !row.entry.empty(); })) {
        // The names or titles stored with the rows tell a send with insertion.
        job->insertionMode = InsertName;
        job->pattern = "{zf}：" + record->content;
    }
    job->rows = std::move(record->rows);
    if (job->insertionMode != PlainSend) {
        for (const SendRow& row : job->rows) {
            job->details.push_back(singleDetail(row.entry));
        }
    }
    m_recordId = recordId;
    return launch(std::move(job));
}

std::vector<InterruptedSend> CSendEngine::FindInterrupted()
{
    std::vector<InterruptedSend> found;
    CSendLedger ledger(m_app.GetDatabase());
    CSendHistory history(m_app.GetDatabase());
    const std::map<int, DetailCounts> counts = ledger.CountByRecord();
    const int running = m_busy.load() ? m_runningRecord.load() : 0;
    for (auto it = counts.rbegin(); it != counts.rend(); ++it) {
        const auto& [recordId, count] = *it;
        if (!count.unfinished() || recordId == running) {
            continue;
        }
        const std::optional<SendRecord> record = history.Find(recordId);
        if (!record) {
            continue; // rows whose record is gone cannot be sent again
        }
        InterruptedSend& send = found.emplace_back();
        send.recordId = recordId;
        send.content = record->content;
        send.sendTime = record->sendTime.toString();
        send.scheduled = record->scheduled;
        send.notPosted = count.notPosted;
        send.unknown = count.unknown;
    }
    return found;
}

bool CSendEngine::launch(std::unique_ptr<Job> job)
{
    job->token = m_session.token;
    job->databasePath = m_app.DatabasePathFor(m_app.GetWorkDatabaseName());
    m_busy.store(true);
    m_stop.store(false);
    m_runningRecord.store(job->recordId);
    try {
        m_worker = std::thread([this, job = std::move(job)]() mutable {
            SendWorker(*job);
            job.reset();
            m_busy.store(false);
        });
    } catch (const std::system_error& error) {
        m_lastError = error.what();
        m_busy.store(false);
        return false;
    }
    return true;
}

void CSendEngine::report(const Job& job, const std::function<void(CSendObserver&)>& call) const
{
    if (m_observer != nullptr && !job.silent) {
        call(*m_observer);
    }
}

bool CSendEngine::persist(const Job& job, const std::function<bool()>& write)
{
    auto wait = m_policy.writePause;
    while (!write()) {
        report(job, [&](CSendObserver& observer) { observer.recordWriteRetrying(job.recordId); });
        if (!pause(wait)) {
            return false;
        }
        wait = std::min(wait * 2, m_policy.maxWritePause);
    }
    return true;
}

CallResult CSendEngine::callRetrying(const std::function<CallResult()>& call)
{
    auto wait = m_policy.firstPause;
    CallResult result = call();
    for (int retry = 0; result == CallResult::NotReached && retry < m_policy.attempts; ++retry) {
        if (!pause(wait)) {
            break;
        }
        wait *= 2;
        result = call();
    }
    return result;
}

void CSendEngine::SendWorker(Job& job)
{
    const std::size_t total = job.rows.size();
    const int totalNumbers = static_cast<int>(total);
    WorkerDatabase db;
    if (!db.open(job.databasePath)) {
        const std::string message = "打开数据库失败！" + db.database.GetLastError();
        report(job, [&](CSendObserver& observer) { observer.sendFailed(job.recordId, message); });
        return;
    }
    const std::span<SendRow> rows(job.rows);
    const bool plain = job.insertionMode == PlainSend;
    const bool personalised = job.sendMode == PersonalisedMode;
    std::string jobId;
    std::size_t done = 0;
    bool interrupted = false;
    while (done < total) {
        if (m_stop.load()) {
            interrupted = true;
            break;
        }
        if (plain && jobId.empty()) {
            std::string message;
            jobId = CreateJobOnService(job, job.content, kSmsType, message);
            if (jobId.empty() && !message.empty()) {
                // The service refused the text: none of these numbers can go out.
                persist(job, [&] { return db.ledger.SetStatus(job.recordId, rows.subspan(done), kDetailRefused); });
                report(job, [&](CSendObserver& observer) { observer.sendFailed(job.recordId, message); });
                return;
            }
            if (jobId.empty()) {
                interrupted = true;
                break;
            }
            job.jobIds = AppendJobId(job.jobIds, jobId);
            if (!persist(job, [&] { return db.ledger.SetJobIds(job.recordId, job.jobIds); })) {
                interrupted = true;
                break;
            }
        }
        std::size_t size = kBatchSize;
        if (personalised) {
            // A stop ends the pause, and the numbers after it stay to resume.
            if (done > 0 && !pause(m_policy.customPause)) {
                interrupted = true;
                break;
            }
            size = done == 0 ? kFirstCustomBatch : kCustomBatch;
        }
        const std::size_t count = std::min(size, total - done);
        const int handed = static_cast<int>(done + count);
        report(job, [&](CSendObserver& observer) { observer.numbersWritten(handed, totalNumbers); });
        if (postBatch(job, db, done, count, jobId) == CallResult::NotReached) {
            interrupted = true;
            break;
        }
        done += count;
    }

    const auto countAt = [&](int status) {
        return std::count_if(
            job.rows.begin(), job.rows.end(), [status](const SendRow& row) { return row.status == status; });
    };
    const auto unknown = countAt(kDetailUnknown);
    if (interrupted) {
        const auto left = countAt(kDetailNotPosted);
        const std::string message = "发送中断：已提交" + std::to_string(static_cast<long>(total) - left)
            + "个号码，尚有" + std::to_string(left) + "个号码未发送，可在发送记录中继续发送。";
        report(job, [&](CSendObserver& observer) { observer.sendFailed(job.recordId, message); });
        return;
    }
    const std::string note = unknown == 0
        ? std::string()
        : "有" + std::to_string(unknown) + "个号码已提交但没有收到服务器的答复，发送结果未知，没有重发。";
    report(job, [&](CSendObserver& observer) { observer.sendFinished(job.recordId, note); });
}

// Posts one batch with the accounting around it: the rows go to 2 first, then to 1 or -1
// when the service answers; when the request never reached it they go back to where they were.
CallResult CSendEngine::postBatch(
    Job& job, WorkerDatabase& db, std::size_t first, std::size_t count, const std::string& jobId)
{
    const std::span<SendRow> batch = std::span<SendRow>(job.rows).subspan(first, count);
    std::vector<int> before(batch.size());
    std::transform(batch.begin(), batch.end(), before.begin(), [](const SendRow& row) { return row.status; });
    std::string numbers;
    std::string details;
    numbers.reserve(batch.size() * 12);
    for (const SendRow& row : batch) {
        numbers += row.number;
        numbers += ';';
    }
    if (job.insertionMode != PlainSend) {
        for (std::size_t i = first; i < first + count; ++i) {
            details += job.details[i];
        }
    }
    const std::string* rowJobId = job.insertionMode == PlainSend ? &jobId : nullptr;
    std::vector<std::string> refused;
    const CallResult result = callRetrying([&] {
        if (!persist(job, [&] { return db.ledger.SetStatus(job.recordId, batch, kDetailUnknown, rowJobId); })) {
            return CallResult::NotReached; // stopped before the post
        }
        const CallResult answer = SendBatch(job, jobId, numbers, details, kSmsType, refused);
        if (answer == CallResult::NotReached) {
            persist(job, [&] { return db.ledger.SetStatus(job.recordId, batch, before); });
        }
        return answer;
    });

    switch (result) {
    case CallResult::Success: {
        std::vector<int> statuses(batch.size(), kDetailAccepted);
        for (const auto& number : refused) {
            // The batch is sorted by number, so a refused one is found by halving; a number
            // a personalised send holds twice is refused in every row.
            const auto [from, to] = std::equal_range(batch.begin(), batch.end(), number, NumberLess {});
            for (auto it = from; it != to; ++it) {
                statuses[static_cast<std::size_t>(it - batch.begin())] = kDetailRefused;
            }
        }
        // The answer is only in memory: it is written before anything else happens.
        persist(job, [&] { return db.ledger.SetStatus(job.recordId, batch, statuses); });
        if (job.insertionMode != PlainSend) {
            std::string ids = job.jobIds;
            for (const auto& id : job.customJobIds) {
                ids = AppendJobId(ids, id);
            }
            job.customJobIds.clear();
            job.jobIds = ids;
            persist(job, [&] { return db.ledger.SetJobIds(job.recordId, job.jobIds); });
        }
        break;
    }
    case CallResult::Refused:
        persist(job, [&] { return db.ledger.SetStatus(job.recordId, batch, kDetailRefused); });
        break;
    case CallResult::NoAnswer:
    case CallResult::NotReached:
        break; // at 2 (counted as failed) or back where they were
    }
    return result;
}

CallResult CSendEngine::SendBatch(Job& job, const std::string& jobId, const std::string& numbers,
    const std::string& details, int smsType, std::vector<std::string>& refused)
{
    refused.clear();
    std::string reply;
    if (job.insertionMode == PlainSend) {
        const std::string body
            = "Token=" + job.token + "&Phones=" + numbers + "&JobID=" + jobId + "&SendTime=" + job.escapedSendTime;
        const CallResult result = m_call("MessSendSMS", body, reply);
        if (result != CallResult::Success) {
            return result;
        }
        CXmlReader reader(reply);
        reader.FindChildElem("OKPhoneCounts");
        if (reader.FindChildElem("ErrPhones")) {
            refused = splitList(reader.GetChildData());
        }
        return result;
    }

    std::string pattern = job.pattern;
    if (!EscapeFormValue(pattern)) {
        return CallResult::Refused;
    }
    const std::string body = "Token=" + job.token + "&Pattern=" + pattern + "&DefaultDetail=" + job.defaultDetail
        + "&Details=" + details + "&Phones=" + numbers + "&SmsType=" + std::to_string(smsType)
        + "&SendTime=" + job.escapedSendTime + "&PostFixNumber=";
    const CallResult result = m_call("CustomSend", body, reply);
    if (result != CallResult::Success) {
        return result;
    }
    CXmlReader reader(reply);
    for (const char* field : {"CommonJobID", "SpecialJobIDs"}) {
        if (reader.FindChildElem(field)) {
            for (auto& id : splitList(reader.GetChildData())) {
                job.customJobIds.push_back(std::move(id));
            }
        }
    }
    if (reader.FindChildElem("ErrorPhones")) {
        refused = splitList(reader.GetChildData());
    }
    return result;
}

// The job id, or empty: with a message when the service refused the text, without one when
// it could not be reached (nothing is delivered by a job alone, so that case is retried).
std::string CSendEngine::CreateJobOnService(Job& job, const std::string& text, int smsType, std::string& message)
{
    std::string content = text;
    if (!EscapeFormValue(content)) {
        message = "短信内容过长，无法提交。";
        return {};
    }
    std::string reply;
    const std::string body
        = "Token=" + job.token + "&Content=" + content + "&SmsType=" + std::to_string(smsType) + "&PostFixNumber=";
    const CallResult result = callRetrying([&] {
        const CallResult answer = m_call("CreateJob", body, reply);
        return answer == CallResult::NoAnswer ? CallResult::NotReached : answer;
    });
    if (result == CallResult::Refused) {
        message = reply.empty() ? "服务器拒绝创建发送任务。" : reply;
        return {};
    }
    if (result != CallResult::Success) {
        return {};
    }
    CXmlReader reader(reply);
    std::string jobId;
    if (reader.FindChildElem("JobID")) {
        jobId = TrimAscii(reader.GetChildData());
    }
    if (jobId.empty()) {
        message = "服务器没有返回发送任务编号。";
    }
    return jobId;
}

} // namespace telvora
