#include "send/SMSTestDlg.h"

#include "app/Prompter.h"
#include "send/NumberHistory.h"
#include "send/SmsRules.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace telvora {

CSMSTestDlg::CSMSTestDlg(Prompter& prompter, CNumberHistory& history, bool loggedIn, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_history(history)
    , m_loggedIn(loggedIn)
{
    setWindowTitle(QStringLiteral("短信测试"));
    m_number = new QComboBox(this);
    m_number->setEditable(true);
    m_number->setInsertPolicy(QComboBox::NoInsert);
    m_number->lineEdit()->setMaxLength(11);
    for (const std::string& number : m_history.numbers()) {
        m_number->addItem(QString::fromStdString(number));
    }
    m_number->setCurrentIndex(-1);
    m_number->setEditText({});
    m_send = new QPushButton(QStringLiteral("立即发送"), this);
    m_send->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("手机号码"), this));
    layout->addWidget(m_number, 1);
    layout->addWidget(m_send);

    connect(m_number->lineEdit(), &QLineEdit::returnPressed, this, &CSMSTestDlg::onNumberEntered);
    connect(m_send, &QPushButton::clicked, this, &CSMSTestDlg::onSendClicked);
}

CSMSTestDlg::~CSMSTestDlg() = default;

QString CSMSTestDlg::testMessage(const QString& account, const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    const QString stamp = QString::asprintf(
        "%d-%.2d-%.2d %d:%d:%d", date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    return QStringLiteral("尊敬的客户：您当前获取的帐号为[%1]，当前时间:%2，感谢您的使用！【Telvora】")
        .arg(account, stamp);
}

void CSMSTestDlg::keep(const std::string& number)
{
    m_history.add(number);
    if (std::find(m_numbers.begin(), m_numbers.end(), number) == m_numbers.end()) {
        m_numbers.push_back(number);
    }
}

void CSMSTestDlg::onNumberEntered()
{
    const std::string number(TrimAscii(m_number->currentText().toStdString()));
    if (ClassifyMobileNumber(number) != Carrier::Invalid) {
        keep(number);
    }
}

void CSMSTestDlg::onSendClicked()
{
    if (!m_loggedIn) {
        m_prompter.information(this, QStringLiteral("您尚未在线登录，不可以发送测试短信!"));
        return;
    }
    const std::string number(TrimAscii(m_number->currentText().toStdString()));
    if (number.empty()) {
        m_prompter.information(this, QStringLiteral("请先输入要测试的手机号码!"));
        return;
    }
    if (ClassifyMobileNumber(number) == Carrier::Invalid) {
        m_prompter.information(this, QStringLiteral("手机号码格式不正确，请输入正确的手机号码!"));
        return;
    }
    keep(number);
    accept();
}

} // namespace telvora
