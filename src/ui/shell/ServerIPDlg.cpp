#include "shell/ServerIPDlg.h"

#include "service/WebClient.h"
#include "service/XmlReader.h"
#include "session/LoginService.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

namespace telvora {

CServerIPDlg::CServerIPDlg(
    const QString& address, bool locked, CWebClient& web, const QString& updateServer, QWidget* parent)
    : QDialog(parent)
    , m_web(web)
    , m_updateServer(updateServer)
    , m_address(new QLineEdit(address, this))
    , m_lock(new QCheckBox(QStringLiteral("锁定地址"), this))
    , m_fetch(new QPushButton(QStringLiteral("获取最新IP"), this))
{
    setWindowTitle(QStringLiteral("服务器登录地址设置"));
    m_address->setMaxLength(kMaxAddressLength);
    m_lock->setChecked(locked);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("登录地址："), this), 0, 0);
    layout->addWidget(m_address, 0, 1, 1, 2);
    layout->addWidget(m_lock, 1, 1);
    layout->addWidget(m_fetch, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 3);
    resize(380, sizeHint().height());

    connect(m_lock, &QCheckBox::toggled, this, &CServerIPDlg::onLockToggled);
    connect(m_fetch, &QPushButton::clicked, this, &CServerIPDlg::onFetchClicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &CServerIPDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CServerIPDlg::reject);
    connect(&m_fetchWatcher, &QFutureWatcher<QString>::finished, this, [this]() {
        m_address->setText(m_fetchWatcher.result());
        emit latestAddressFetched(m_address->text());
        QDialog::accept();
    });
    onLockToggled(locked);
}

CServerIPDlg::~CServerIPDlg()
{
    m_fetchWatcher.waitForFinished();
}

QString CServerIPDlg::address() const
{
    return m_address->text().trimmed();
}

bool CServerIPDlg::isLocked() const
{
    return m_lock->isChecked();
}

void CServerIPDlg::onLockToggled(bool locked)
{
    m_address->setEnabled(!locked);
    m_fetch->setEnabled(!locked && !m_fetchWatcher.isRunning());
}

void CServerIPDlg::onFetchClicked()
{
    m_fetch->setEnabled(false);
    CWebClient& web = m_web;
    const std::string url = m_updateServer.toStdString() + CLoginService::kUpdateListPath;
    m_fetchWatcher.setFuture(QtConcurrent::run([&web, url]() {
        std::string reply;
        std::string address;
        if (web.Fetch(url, reply) == CWebClient::kResultOk) {
            CXmlReader list(reply);
            if (list.FindChildElem("ServerIP"))
                address = list.GetChildData();
        }
        const QString found = QString::fromStdString(address).trimmed();
        return found.isEmpty() ? QString::fromStdString(CLoginService::DefaultServiceAddress()) : found;
    }));
}

void CServerIPDlg::accept()
{
    // An address is a host name, never SQL: it is taken as typed (trimmed), not escaped.
    m_address->setText(address());
    QDialog::accept();
}

} // namespace telvora
