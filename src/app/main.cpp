// telvora: the desktop program.
#include "ScreenshotTour.h"
#include "app/QtPrompter.h"
#include "shell/MainFrame.h"
#include "shell/TelvoraApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

namespace {

// For unattended runs (screenshots): prints what a message box would show and answers
// every question with Cancel; file dialogs are cancelled.
class LoggingPrompter final : public telvora::Prompter
{
public:
    bool message(QWidget*, telvora::PromptKind kind, const QString& caption, const QString& text) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
        return kind != telvora::PromptKind::Question;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Telvora"));
    // Closing the main window ends the program; hidden to the tray it keeps running.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Telvora, a desktop client for a bulk SMS service."));
    parser.addHelpOption();
    const QCommandLineOption account(QStringLiteral("login-account"),
        QStringLiteral("Log in at once with this account (for demonstrations)."), QStringLiteral("account"));
    const QCommandLineOption user(
        QStringLiteral("login-user"), QStringLiteral("Sub-account for --login-account."), QStringLiteral("user"));
    const QCommandLineOption password(
        QStringLiteral("login-password"), QStringLiteral("Password for --login-account."), QStringLiteral("password"));
    const QCommandLineOption screenshots(QStringLiteral("screenshot-dir"),
        QStringLiteral("Save pictures of the login dialog and of every page into this directory, then quit."),
        QStringLiteral("directory"));
    parser.addOptions({account, user, password, screenshots});
    parser.process(application);

    telvora::ShellOptions options;
    options.loginAccount = parser.value(account);
    options.loginUser = parser.value(user);
    options.loginPassword = parser.value(password);

    // Unattended runs must not stop at a message box.
    telvora::QtPrompter interactive;
    LoggingPrompter unattended;
    telvora::Prompter& prompter = parser.isSet(screenshots) ? static_cast<telvora::Prompter&>(unattended) : interactive;
    telvora::CTelvoraApp app(prompter, options);
    switch (app.Start()) {
    case telvora::CTelvoraApp::StartResult::Running:
        break;
    case telvora::CTelvoraApp::StartResult::AlreadyRunning:
        return 0;
    case telvora::CTelvoraApp::StartResult::Failed:
        return 1;
    }
    telvora::CMainFrame* frame = app.mainFrame();
    QObject::connect(
        frame, &telvora::CMainFrame::frameClosing, &application, &QApplication::quit, Qt::QueuedConnection);

    std::unique_ptr<telvora::ScreenshotTour> tour;
    if (parser.isSet(screenshots)) {
        tour = std::make_unique<telvora::ScreenshotTour>(*frame, parser.value(screenshots));
        tour->start();
    }
    return application.exec();
}
