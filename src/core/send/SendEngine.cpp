#include "send/SendEngine.h"

#include "app/AppContext.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"
#include "db/PreparedStatement.h"
#include "db/SqlText.h"
#include "send/SendObserver.h"
#include "service/ServiceClient.h"
#include "service/TextCodec.h"
#include "service/XmlReader.h"
#include "session/Session.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace telvora {

namespace {

constexpr const char* kNoConnection = "通讯错误，无法连接到服务器";

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

std::string joinList(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) {
            text += ';';
        }
        text += item;
    }
    return text;
}

} // namespace

ServiceCall MakeServiceCall(CServiceClient& service)
{
    return [&service](const std::string& method, const std::string& body, std::string& reply) {
        return service.CallService(method, body, reply, true);
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

// Everything the worker needs, copied out of the engine so that the caller's thread may
// prepare nothing else while it runs and the worker never reads shared state.
struct CSendEngine::Job
{
    int recordId = 0;
    int sendMode = SendViewMode;
    int insertionMode = PlainSend;
    bool scheduled = false;
    int segments = 1;
    std::string content;
    std::string sendTime;
    std::string escapedSendTime; // empty for a send made at once
    std::string pattern;
    std::string token;
    std::string databasePath;
    std::map<std::string, std::string> details;
    std::vector<std::string> recipients;
    std::vector<std::string> customJobIds;
};

// The worker's own connection and the statements it runs over and over.
struct CSendEngine::WorkerDatabase
{
    CADODataBase database;
    CPreparedStatement nextId {&database};
    CPreparedStatement insertDetail {&database};
    CPreparedStatement markRange {&database};
    CPreparedStatement markOne {&database};
    CPreparedStatement addSuccess {&database};
    CPreparedStatement addFail {&database};
    CPreparedStatement setJobIds {&database};

    bool open(const std::string& path)
    {
        return database.Open(path) && nextId.Prepare("SELECT COALESCE(MAX(id), 0) + 1 FROM tbl_sendsms_detail")
            && insertDetail.Prepare("INSERT INTO tbl_sendsms_detail (id, jobid, phones, send_time, status, group_id, "
                                    "split_count, content) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
            && markRange.Prepare("UPDATE tbl_sendsms_detail SET status=-1 WHERE group_id=? AND id BETWEEN ? AND ?")
            && markOne.Prepare("UPDATE tbl_sendsms_detail SET status=-1 WHERE id=?")
            && addSuccess.Prepare("UPDATE tbl_sendsms SET success_count = success_count + ? WHERE id=?")
            && addFail.Prepare("UPDATE tbl_sendsms SET fail_count = fail_count + ? WHERE id=?")
            && setJobIds.Prepare("UPDATE tbl_sendsms SET jobid = ? WHERE id=?");
    }

    // Writes the detail rows of recipients[begin, begin + count) in one transaction; with a
    // status of -1 their segments are added to the failure counter in the same transaction.
    // firstId is the id of the first row; the rows' ids follow without gaps.
    bool writeRows(
        const Job& job, std::size_t begin, std::size_t count, int status, const std::string& jobId, long long& firstId)
    {
        if (!database.BeginTransaction()) {
            return false;
        }
        bool ok = nextId.Reset() && nextId.Step();
        firstId = ok ? nextId.GetInt(0) : 0;
        nextId.Reset();
        for (std::size_t i = 0; ok && i < count; ++i) {
            const std::string& number = job.recipients[begin + i];
            const auto entry = job.details.find(number);
            ok = insertDetail.BindInt(1, firstId + static_cast<long long>(i)) && insertDetail.BindText(2, jobId)
                && insertDetail.BindText(3, number) && insertDetail.BindText(4, job.sendTime)
                && insertDetail.BindInt(5, status) && insertDetail.BindInt(6, job.recordId)
                && insertDetail.BindInt(7, job.segments)
                && insertDetail.BindText(8, entry == job.details.end() ? std::string_view() : entry->second)
                && insertDetail.Execute();
        }
        if (ok && status == -1) {
            ok = addCount(addFail, job, count);
        }
        if (ok && database.CommitTransaction()) {
            return true;
        }
        database.RollbackTransaction();
        return false;
    }

    // A write that failed (the file locked past the busy time-out, say) is tried once more.
    bool writeRowsRetrying(
        const Job& job, std::size_t begin, std::size_t count, int status, const std::string& jobId, long long& firstId)
    {
        return writeRows(job, begin, count, status, jobId, firstId)
            || writeRows(job, begin, count, status, jobId, firstId);
    }

    // Numbers that have no detail row are not posted; the failure counter still owns them.
    void countUnwritten(const Job& job, std::size_t count)
    {
        if (!addCount(addFail, job, count)) {
            addCount(addFail, job, count);
        }
    }

    bool addCount(CPreparedStatement& statement, const Job& job, std::size_t numbers)
    {
        return statement.BindInt(1, static_cast<long long>(numbers) * job.segments)
            && statement.BindInt(2, job.recordId) && statement.Execute();
    }

    // The outcome of one posted batch: its segments counted, and its failed numbers marked.
    void recordBatch(const Job& job, std::size_t begin, std::size_t count, long long firstId, bool posted,
        const std::vector<std::string>& refused)
    {
        if (!database.BeginTransaction()) {
            return;
        }
        // A batch the service took counts whole as success even when it refused some numbers.
        bool ok = addCount(posted ? addSuccess : addFail, job, count);
        if (ok && !posted) {
            ok = markRange.BindInt(1, job.recordId) && markRange.BindInt(2, firstId)
                && markRange.BindInt(3, firstId + static_cast<long long>(count) - 1) && markRange.Execute();
        }
        const auto first = job.recipients.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = first + static_cast<std::ptrdiff_t>(count);
        for (const auto& number : refused) {
            if (!ok || !posted) {
                break;
            }
            // Only numbers of this batch: the batch is sorted, so its rows follow its order.
            const auto found = std::lower_bound(first, last, number);
            if (found != last && *found == number) {
                ok = markOne.BindInt(1, firstId + (found - first)) && markOne.Execute();
            }
        }
        if (!ok || !database.CommitTransaction()) {
            database.RollbackTransaction();
        }
    }
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
    joinWorker();
    m_ready = false;
    m_scheduled = 0;
    m_sendMode = sendMode;
    m_insertionMode = PlainSend;
    m_details.clear();
    m_pattern.clear();
    m_recipients.clear();
    m_lastError.clear();
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

bool CSendEngine::CreateSendRecord()
{
    CADODataBase& database = m_app.GetDatabase();
    {
        CADORecordset next(&database);
        long id = 0;
        if (!next.Open("SELECT COALESCE(MAX(ID), 0) + 1 FROM tbl_sendsms") || next.IsEOF()
            || !next.GetFieldValue(0, id)) {
            m_lastError = next.GetLastError();
            return false;
        }
        m_recordId = static_cast<int>(id);
    }
    const std::string text = SqlQuote(m_content);
    const std::string status = m_scheduled ? "'已发送'" : "'已提交'";
    if (!database.Execute("INSERT INTO tbl_sendsms ( id, content, send_time, send_mode, status, success_count, "
                          "fail_count, is_idle ) VALUES ("
            + std::to_string(m_recordId) + ", " + text + ", " + SqlQuote(m_sendTime) + ", " + std::to_string(m_sendMode)
            + ", " + status + ", 0, 0, " + std::to_string(m_scheduled) + " )")) {
        m_lastError = database.GetLastError();
        return false;
    }
    // The used-phrase store keeps each sent text once; a failure here does not stop the send.
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
    m_busy.store(true);
    m_stop.store(false);
    m_ready = false;
    if (!CreateSendRecord()) {
        m_busy.store(false);
        return false;
    }

    auto job = std::make_unique<Job>();
    job->recordId = m_recordId;
    job->sendMode = m_sendMode;
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
    job->token = m_session.token;
    job->databasePath = m_app.DatabasePathFor(m_app.GetWorkDatabaseName());
    job->details = std::move(m_details);
    job->recipients = std::move(m_recipients);
    m_details.clear();
    m_recipients.clear();

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
    if (m_observer != nullptr && job.sendMode != BirthdayMode) {
        call(*m_observer);
    }
}

void CSendEngine::SendWorker(Job& job)
{
    const std::size_t total = job.recipients.size();
    const int totalNumbers = static_cast<int>(total);
    WorkerDatabase db;
    if (!db.open(job.databasePath)) {
        const std::string message = "打开数据库失败！" + db.database.GetLastError();
        report(job, [&](CSendObserver& observer) { observer.noJobCreated(job.recordId, message); });
        return;
    }

    std::string jobId;
    std::size_t done = 0;
    std::size_t unwritten = 0; // numbers left without a detail row, hence not posted
    long long firstId = 0;
    // Numbers that will not be posted still get their rows, marked failed, so that none is lost.
    const auto failRest = [&](const std::string& rowJobId) {
        if (done >= total) {
            return;
        }
        if (db.writeRowsRetrying(job, done, total - done, -1, rowJobId, firstId)) {
            report(job, [&](CSendObserver& observer) { observer.numbersWritten(totalNumbers, totalNumbers); });
        } else {
            db.countUnwritten(job, total - done);
            unwritten += total - done;
        }
        done = total;
    };

    while (done < total) {
        if (m_stop.load()) {
            failRest(jobId);
            break;
        }
        if (job.insertionMode == PlainSend && jobId.empty()) {
            std::string message;
            jobId = CreateJobOnService(job, job.content, kSmsType, message);
            if (jobId.empty()) {
                failRest({});
                report(job, [&](CSendObserver& observer) { observer.noJobCreated(job.recordId, message); });
                return;
            }
        }
        const std::size_t count = std::min(kBatchSize, total - done);
        const std::string& rowJobId = job.insertionMode == PlainSend ? jobId : std::string();
        if (!db.writeRowsRetrying(job, done, count, 1, rowJobId, firstId)) {
            // Without its rows the batch would go out unrecorded; it is not posted.
            db.countUnwritten(job, count);
            unwritten += count;
            done += count;
            continue;
        }
        const std::size_t begin = done;
        done += count;
        report(job, [&](CSendObserver& observer) { observer.numbersWritten(static_cast<int>(done), totalNumbers); });

        std::string numbers;
        std::string details;
        numbers.reserve(count * 12);
        for (std::size_t i = begin; i < done; ++i) {
            const std::string& number = job.recipients[i];
            numbers += number;
            numbers += ';';
            if (job.insertionMode != PlainSend) {
                const auto entry = job.details.find(number);
                std::string value = entry == job.details.end() ? std::string() : entry->second;
                if (!EscapeFormValue(value)) {
                    value.clear();
                }
                details += '{';
                details += value;
                details += "};";
            }
        }
        std::vector<std::string> refused;
        const bool posted = SendBatch(job, jobId, numbers, details, kSmsType, refused);
        db.recordBatch(job, begin, count, firstId, posted, refused);
    }

    const std::string jobIds = job.insertionMode == PlainSend ? jobId : joinList(job.customJobIds);
    db.setJobIds.BindText(1, std::string(TrimAscii(jobIds)));
    db.setJobIds.BindInt(2, job.recordId);
    db.setJobIds.Execute();
    if (unwritten > 0) {
        const std::string message = "有" + std::to_string(unwritten) + "个号码无法写入发送记录，未能发送!";
        report(job, [&](CSendObserver& observer) { observer.noJobCreated(job.recordId, message); });
        return;
    }
    report(job, [&](CSendObserver& observer) { observer.sendFinished(job.recordId); });
}

bool CSendEngine::SendBatch(Job& job, const std::string& jobId, const std::string& numbers, const std::string& details,
    int smsType, std::vector<std::string>& refused)
{
    refused.clear();
    std::string reply;
    if (job.insertionMode == PlainSend) {
        const std::string body
            = "Token=" + job.token + "&Phones=" + numbers + "&JobID=" + jobId + "&SendTime=" + job.escapedSendTime;
        if (!m_call("MessSendSMS", body, reply)) {
            return false;
        }
        CXmlReader reader(reply);
        reader.FindChildElem("OKPhoneCounts");
        if (reader.FindChildElem("ErrPhones")) {
            refused = splitList(reader.GetChildData());
        }
        return true;
    }

    std::string pattern = job.pattern;
    if (!EscapeFormValue(pattern)) {
        return false;
    }
    const std::string body = "Token=" + job.token + "&Pattern=" + pattern + "&DefaultDetail={};&Details=" + details
        + "&Phones=" + numbers + "&SmsType=" + std::to_string(smsType) + "&SendTime=" + job.escapedSendTime
        + "&PostFixNumber=";
    if (!m_call("CustomSend", body, reply)) {
        return false;
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
    return true;
}

std::string CSendEngine::CreateJobOnService(const Job& job, const std::string& text, int smsType, std::string& message)
{
    std::string content = text;
    if (!EscapeFormValue(content)) {
        message = "短信内容过长，无法提交。";
        return {};
    }
    std::string reply;
    if (!m_call("CreateJob",
            "Token=" + job.token + "&Content=" + content + "&SmsType=" + std::to_string(smsType) + "&PostFixNumber=",
            reply)) {
        message = reply.empty() ? kNoConnection : reply;
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
