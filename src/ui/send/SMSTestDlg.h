#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QDateTime;
class QPushButton;

namespace telvora {

class CNumberHistory;
class Prompter;

// "短信测试": one number to send the fixed test message to.
class CSMSTestDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSTestDlg)

public:
    CSMSTestDlg(Prompter& prompter, CNumberHistory& history, bool loggedIn, QWidget* parent = nullptr);
    ~CSMSTestDlg() override;

    // The numbers to send to, valid after the dialog closed with OK.
    const std::vector<std::string>& numbers() const { return m_numbers; }
    QComboBox* numberBox() const { return m_number; }

    // The fixed text: account and current time as "%d-%.2d-%.2d %d:%d:%d".
    static QString testMessage(const QString& account, const QDateTime& now);

public slots:
    void onSendClicked();

private:
    void onNumberEntered();
    void keep(const std::string& number);

    Prompter& m_prompter;
    CNumberHistory& m_history;
    bool m_loggedIn;
    QComboBox* m_number = nullptr;
    QPushButton* m_send = nullptr;
    std::vector<std::string> m_numbers;
};

} // namespace telvora
