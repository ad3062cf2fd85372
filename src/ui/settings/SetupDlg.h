#pragma once

#include <QDialog>

class QTabWidget;

namespace telvora {

class CAppContext;
class CBasicSetupView;
class CSecuritySetupView;
class Prompter;
struct CSession;

// "系统设置": the basic parameters and the birthday greetings on two pages. "确定" checks
// and stores the first page, then the second, then writes every parameter back.
class CSetupDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetupDlg)

public:
    CSetupDlg(CAppContext& app, const CSession& session, Prompter& prompter, QWidget* parent = nullptr);
    ~CSetupDlg() override;

    CBasicSetupView* basicPage() const { return m_basic; }
    CSecuritySetupView* birthdayPage() const { return m_birthday; }
    QTabWidget* tabs() const { return m_tabs; }

public slots:
    void accept() override;

private:
    bool refuse(int page, const std::string& message);

    CAppContext& m_app;
    Prompter& m_prompter;
    QTabWidget* m_tabs;
    CBasicSetupView* m_basic;
    CSecuritySetupView* m_birthday;
};

} // namespace telvora
