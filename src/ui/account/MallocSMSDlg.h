#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace telvora {

class CAccountAdmin;
class CServiceTask;
class Prompter;

// "短信分配": moves message stock to a sub-account ("新增") or back from it ("减少").
class CMallocSMSDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMallocSMSDlg)

public:
    // users are the names of the management list, the main user already left out; stock
    // is the main user's.
    CMallocSMSDlg(
        Prompter& prompter, CAccountAdmin& admin, std::vector<std::string> users, int stock, QWidget* parent = nullptr);
    ~CMallocSMSDlg() override;

    QComboBox* userBox() const { return m_user; }
    QLineEdit* amountEdit() const { return m_amount; }
    QRadioButton* addButton() const { return m_add; }
    QRadioButton* takeBackButton() const { return m_takeBack; }
    QLabel* stockLabel() const { return m_stock; }
    bool isBusy() const;

    // After OK: who got how much (negative when taken back).
    const std::string& chosenUser() const { return m_chosenUser; }
    int signedAmount() const { return m_amountSent; }

signals:
    void callFinished();

public slots:
    void onOkClicked();

private:
    Prompter& m_prompter;
    CAccountAdmin& m_admin;
    std::vector<std::string> m_users;
    int m_available;
    QComboBox* m_user;
    QLineEdit* m_amount;
    QRadioButton* m_add;
    QRadioButton* m_takeBack;
    QLabel* m_stock;
    CServiceTask* m_task = nullptr;
    std::string m_chosenUser;
    int m_amountSent = 0;
};

} // namespace telvora
