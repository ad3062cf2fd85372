#include "shell/TelvoraApp.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/AutoStart.h"
#include "app/DataDirectory.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "app/PasswordVault.h"
#include "app/Prompter.h"
#include "app/SingleInstance.h"
#include "send/RecipientHandOver.h"
#include "send/SendEngine.h"
#include "send/SendProgressAdapter.h"
#include "service/DiagnosticLog.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/LoginService.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"
#include "shell/LoginDlg.h"
#include "shell/MainFrame.h"
#include "shell/ShellServices.h"

#include <QCoreApplication>
#include <QTimer>

namespace telvora {

CTelvoraApp::CTelvoraApp(Prompter& prompter, ShellOptions options, QObject* parent)
    : QObject(parent)
    , m_prompter(prompter)
    , m_options(std::move(options))
{ }

CTelvoraApp::~CTelvoraApp()
{
    // The window first: its workers use the service client and the database.
    delete m_frame.data();
    // Then the engine, whose worker reports to the adapter.
    m_sendEngine.reset();
}

CTelvoraApp::StartResult CTelvoraApp::Start()
{
    DataDirectoryInputs inputs = DataDirectoryInputs::FromProcess();
    if (!m_options.dataDirectory.isEmpty())
        inputs.telvoraHome = m_options.dataDirectory.toStdString();
    if (!m_options.templateDirectory.isEmpty())
        inputs.templateDirectory = m_options.templateDirectory.toStdString();
    CDataDirectory directory(inputs);
    if (!directory.Prepare()) {
        m_prompter.error(nullptr, QString::fromStdString(directory.GetLastError()));
        return StartResult::Failed;
    }

    m_instance = std::make_unique<CSingleInstance>(directory.GetPath());
    switch (m_instance->Acquire()) {
    case CSingleInstance::Result::Acquired:
        break;
    case CSingleInstance::Result::AlreadyRunning:
        m_prompter.information(nullptr, QStringLiteral("系统已经登录"));
        return StartResult::AlreadyRunning;
    case CSingleInstance::Result::Failed:
        m_prompter.error(nullptr, QString::fromStdString(m_instance->GetLastError()));
        return StartResult::Failed;
    }

    m_context = std::make_unique<CAppContext>(directory);
    m_log = std::make_unique<CDiagnosticLog>(directory.GetPath());
    m_web = std::make_unique<CWebClient>(m_log.get(), m_options.getTimeoutMs, m_options.postTimeoutMs);
    m_service = std::make_unique<CServiceClient>(*m_web);
    m_session = std::make_unique<CSession>();
    m_autoStart = std::make_unique<CAutoStart>(QCoreApplication::applicationFilePath().toStdString());
    m_vault = std::make_unique<CPasswordVault>();
    m_login = std::make_unique<CLoginService>(*m_context, *m_service, *m_session, *m_autoStart, m_vault.get());
    m_keeper = std::make_unique<CSessionKeeper>(*m_service, *m_session);
    m_loginGate = std::make_unique<LoginGate>();
    m_hints = std::make_unique<HintBroadcaster>(*m_loginGate);
    m_sendProgress = std::make_unique<CSendProgressAdapter>();
    m_sendEngine = std::make_unique<CSendEngine>(*m_context, *m_session, *m_service, m_sendProgress.get());
    m_handOver = std::make_unique<RecipientHandOver>();
    m_services = std::make_unique<ShellServices>(
        ShellServices {*m_context, *m_session, *m_web, *m_service, *m_login, *m_keeper, m_prompter, *m_loginGate,
            *m_hints, *m_sendEngine, *m_sendProgress, *m_handOver, m_options, m_vault.get()});
    m_service->SetAddress(m_login->InitialServiceAddress());

    if (!m_context->OpenWorkDatabase(kOfflineDatabase))
        m_prompter.information(nullptr, QString::fromStdString(m_context->GetLastError()));
    m_context->GetParameters().Load(m_context->GetDatabase(), m_context->GetSetupFile());

    m_frame = new CMainFrame(*m_services);
    m_frame->setAttribute(Qt::WA_DeleteOnClose);
    CLoginDlg* login = m_frame->openLoginDialog(true);
    if (m_options.autoLogin()) {
        login->setCredentials(m_options.loginAccount, m_options.loginUser, m_options.loginPassword);
        QTimer::singleShot(0, login, &CLoginDlg::onLoginClicked);
    }
    return StartResult::Running;
}

} // namespace telvora
