#include "session/ServerBackup.h"

#include "app/AppConstants.h"
#include "db/ADODataBase.h"
#include "service/Base64.h"
#include "service/ServiceClient.h"
#include "session/Session.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace telvora {

namespace {

constexpr const char* kNotLoggedIn = "您尚未在线登录，不可以操作远程服务器备份！";
constexpr const char* kCopyFailed = "创建临时备份文件失败!";
constexpr const char* kUploadFailed = "备份数据到服务器失败，可能网络繁忙，请稍后重试!";
constexpr const char* kUploaded = "备份数据到服务器成功完成!";
constexpr const char* kRestoreNotLoggedIn = "您尚未在线登陆,不可以远程恢复数据!";
constexpr const char* kDownloadFailed = "从服务器下载备份文件失败,请确认您是否已做过服务器备份!";
constexpr const char* kRestored = "数据资料恢复成功!";

// A name for a file of our own next to base; empty when none can be made.
std::string temporaryName(const std::string& base)
{
    std::string name = base + ".tmp-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    return name;
}

} // namespace

CServerBackup::CServerBackup(CServiceClient& service, const CSession& session, std::string soapNamespace)
    : m_service(service)
    , m_session(session)
    , m_namespace(std::move(soapNamespace))
{ }

bool CServerBackup::fail(std::string message)
{
    m_message = std::move(message);
    return false;
}

std::string CServerBackup::BuildEnvelope(
    const std::string& soapNamespace, const std::string& token, std::string_view bytes)
{
    static constexpr std::string_view kTail = "</BinaryDatas></UploadFile></soap:Body></soap:Envelope>";
    std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                       "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                       "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
                       "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                       "<soap:Body><UploadFile xmlns=\""
        + soapNamespace + "\"><Token>" + token + "</Token><BinaryDatas>";
    body.reserve(body.size() + (bytes.size() + 2) / 3 * 4 + kTail.size());
    AppendBase64(body, bytes);
    body += kTail;
    return body;
}

std::string CServerBackup::BackupPath(const std::string& account, const std::string& user)
{
    return "/" + account + "_" + AccountUserName(user) + ".dat";
}

bool CServerBackup::Upload(const std::string& databasePath, const TransferProgress& progress)
{
    m_message.clear();
    if (!m_session.loggedIn) {
        return fail(kNotLoggedIn);
    }
    // A compacted copy made through SQLite: it holds what the write-ahead log holds too.
    const std::string copy = temporaryName(databasePath);
    if (copy.empty()) {
        return fail(kCopyFailed);
    }
    ::unlink(copy.c_str());
    if (!CompactDatabase(databasePath, copy)) {
        return fail(kCopyFailed);
    }
    const bool uploaded = UploadFile(copy, progress);
    ::unlink(copy.c_str());
    return uploaded;
}

bool CServerBackup::UploadFile(const std::string& path, const TransferProgress& progress)
{
    m_message.clear();
    if (!m_session.loggedIn) {
        return fail(kNotLoggedIn);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return fail(kCopyFailed);
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string body = BuildEnvelope(m_namespace, m_session.token, bytes);
    bytes = {};
    std::string reply;
    const int result = m_service.webClient().PostLarge(m_service.Url(kUploadPath),
        {"Content-Type: text/xml; charset=utf-8", "SOAPAction: \"" + m_namespace + "UploadFile\""}, body, reply,
        progress);
    if (result != CWebClient::kResultOk || reply.find(CServiceClient::kSuccessMark) == std::string::npos) {
        return fail(kUploadFailed);
    }
    m_message = kUploaded;
    return true;
}

bool CServerBackup::Download(const std::string& account, const std::string& user, const std::string& destination,
    const TransferProgress& progress)
{
    m_message.clear();
    if (!m_session.loggedIn) {
        return fail(kRestoreNotLoggedIn);
    }
    if (m_service.webClient().Download(m_service.Url(BackupPath(account, user)), destination, progress)
        != CWebClient::kResultOk) {
        return fail(kDownloadFailed);
    }
    return true;
}

CDatabaseMaintenance::Result CServerBackup::Restore(CDatabaseMaintenance& maintenance, const std::string& directory,
    const std::string& account, const std::string& user, const std::vector<TableGroup>& groups,
    const TransferProgress& progress)
{
    using Result = CDatabaseMaintenance::Result;
    const std::string file = temporaryName(directory + "/restore-download");
    if (file.empty()) {
        fail(kDownloadFailed);
        return Result::Failed;
    }
    Result result = Result::Failed;
    if (Download(account, user, file, progress)) {
        result = maintenance.Restore(file, groups);
        m_message = result == Result::Done ? kRestored
            : result == Result::NotABackup ? CDatabaseMaintenance::kCannotOpenBackup
                                           : maintenance.GetLastError();
    }
    ::unlink(file.c_str());
    return result;
}

} // namespace telvora
