#include "tools/PhoneQueryDlg.h"

#include "app/Prompter.h"
#include "tools/RegionTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvora {

CPhoneQueryDlg::CPhoneQueryDlg(Prompter& prompter, const std::string& regionDatabase, QWidget* parent)
    : QDialog(parent)
    , m_number(new QLineEdit(this))
    , m_province(new QLineEdit(this))
    , m_city(new QLineEdit(this))
    , m_query(new QPushButton(QStringLiteral("查询"), this))
{
    setWindowTitle(QStringLiteral("手机归属地查询"));
    m_number->setMaxLength(11);
    m_province->setReadOnly(true);
    m_city->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("手机号码"), m_number);
    form->addRow(QStringLiteral("归属地所在省"), m_province);
    form->addRow(QStringLiteral("归属地所在市"), m_city);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_query, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_query, &QPushButton::clicked, this, &CPhoneQueryDlg::onQueryClicked);
    connect(m_number, &QLineEdit::returnPressed, this, &CPhoneQueryDlg::onQueryClicked);
    m_query->setDefault(true);

    if (regionDatabase.empty() || !m_database.OpenReadOnly(regionDatabase)) {
        prompter.information(this, QStringLiteral("打开号码查询数据库失败！"));
        m_query->setEnabled(false);
    }
}

CPhoneQueryDlg::~CPhoneQueryDlg() = default;

void CPhoneQueryDlg::onQueryClicked()
{
    const std::string number = m_number->text().toStdString();
    std::string province;
    std::string city;
    // A shorter number, or an unknown segment, leaves the fields as they were.
    if (!m_database.IsOpen() || m_number->text().size() <= 6
        || !QuerySegmentRegion(m_database, number, province, city)) {
        return;
    }
    m_province->setText(QString::fromStdString(province));
    m_city->setText(QString::fromStdString(city));
}

} // namespace telvora
