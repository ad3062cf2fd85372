#pragma once

#include "db/DatabaseMaintenance.h"
#include "service/WebClient.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CServiceClient;
struct CSession;

/// The copy of the working database that the service keeps: the upload as one SOAP 1.1
/// request with the file in Base64, and the download back for a restore. Both transfers
/// run without the POST time-out (a large file on a slow line must get through) but end
/// when they stall; a download lands in a temporary file that is checked before anything
/// is restored from it. GetMessage() is the text to show afterwards.
class CServerBackup final
{
public:
    static constexpr const char* kDefaultNamespace = "http://tempuri.org/";
    static constexpr const char* kUploadPath = "/Services.asmx?op=UploadFile";

    CServerBackup(CServiceClient& service, const CSession& session, std::string soapNamespace = kDefaultNamespace);

    /// The request body: the XML declaration and the envelope around token and bytes.
    static std::string BuildEnvelope(
        const std::string& soapNamespace, const std::string& token, std::string_view bytes);
    /// Where the service keeps the copy of a login: "/<account>_<user>.dat", the main
    /// user's when user is empty.
    static std::string BackupPath(const std::string& account, const std::string& user);

    /// Uploads a compacted copy of the database at databasePath.
    bool Upload(const std::string& databasePath, const TransferProgress& progress = {});
    /// Uploads the file's bytes as they are.
    bool UploadFile(const std::string& path, const TransferProgress& progress = {});
    /// Fetches the service's copy of the login into destination.
    bool Download(const std::string& account, const std::string& user, const std::string& destination,
        const TransferProgress& progress = {});
    /// Fetches the copy into a temporary file of directory and restores groups from it.
    CDatabaseMaintenance::Result Restore(CDatabaseMaintenance& maintenance, const std::string& directory,
        const std::string& account, const std::string& user, const std::vector<TableGroup>& groups,
        const TransferProgress& progress = {});

    const std::string& GetMessage() const { return m_message; }

private:
    bool fail(std::string message);

    CServiceClient& m_service;
    const CSession& m_session;
    std::string m_namespace;
    std::string m_message;
};

} // namespace telvora
