#pragma once

#include <QDialog>
#include <QFutureWatcher>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace telvora {

class CWebClient;

// The service address: an address edit, "锁定地址" and "获取最新IP", which asks the update
// server for the address of the day.
class CServerIPDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CServerIPDlg)

public:
    static constexpr int kMaxAddressLength = 60;

    // updateServer is the update server's address (host[:port]).
    CServerIPDlg(
        const QString& address, bool locked, CWebClient& web, const QString& updateServer, QWidget* parent = nullptr);
    ~CServerIPDlg() override;

    // The address as entered, trimmed (valid after OK).
    QString address() const;
    bool isLocked() const;

    QLineEdit* addressEdit() const { return m_address; }
    QCheckBox* lockCheck() const { return m_lock; }
    QPushButton* fetchButton() const { return m_fetch; }

public slots:
    void accept() override;

signals:
    void latestAddressFetched(const QString& address);

private:
    void onLockToggled(bool locked);
    void onFetchClicked();

    CWebClient& m_web;
    QString m_updateServer;
    QLineEdit* m_address;
    QCheckBox* m_lock;
    QPushButton* m_fetch;
    QFutureWatcher<QString> m_fetchWatcher;
};

} // namespace telvora
