#pragma once

#include <QDialog>

class QLabel;

namespace telvora {

// "关于Telvora": the product and the installed version ("CurVersion").
class CAboutDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

public:
    explicit CAboutDlg(const QString& version, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    QString versionText() const;

private:
    QLabel* m_version;
};

} // namespace telvora
