#include "remind/AddHolidayDlg.h"

#include "app/Prompter.h"
#include "remind/HolidayStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace telvora {

CAddHolidayDlg::CAddHolidayDlg(CADODataBase& database, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_database(database)
    , m_prompter(prompter)
    , m_name(new QLineEdit(this))
    , m_kind(new QComboBox(this))
    , m_month(new QComboBox(this))
    , m_day(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("新增节日"));
    m_kind->addItems({QStringLiteral("阳历"), QStringLiteral("农历")});
    m_month->addItem(QStringLiteral("月"));
    for (int month = 1; month <= 12; ++month)
        m_month->addItem(QStringLiteral("%1月").arg(month));
    m_day->addItem(QStringLiteral("日"));
    for (int day = 1; day <= 31; ++day)
        m_day->addItem(QString::number(day));
    auto* date = new QHBoxLayout;
    date->addWidget(m_kind);
    date->addWidget(m_month);
    date->addWidget(m_day);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddHolidayDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddHolidayDlg::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("节日名称"), m_name);
    layout->addRow(QStringLiteral("节日日期"), date);
    layout->addRow(buttons);
}

CAddHolidayDlg::~CAddHolidayDlg() = default;

void CAddHolidayDlg::accept()
{
    // The index of each list is its month or day; 0 is the placeholder.
    const std::string refusal
        = CHolidayStore(m_database)
              .AddCustom(m_name->text().toStdString(), m_month->currentIndex(), m_day->currentIndex());
    if (!refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    QDialog::accept();
}

} // namespace telvora
