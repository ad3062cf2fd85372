#include "shell/AboutDlg.h"

#include "shell/ShellIcons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace telvora {

CAboutDlg::CAboutDlg(const QString& version, QWidget* parent)
    : QDialog(parent)
    , m_version(new QLabel(QStringLiteral("版本信息       %1").arg(version), this))
{
    setWindowTitle(QStringLiteral("关于Telvora"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ShellIcons::application().pixmap(48, 48));
    auto* title = new QLabel(QStringLiteral("Telvora 短信群发客户端"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(m_version, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::versionText() const
{
    return m_version->text();
}

} // namespace telvora
