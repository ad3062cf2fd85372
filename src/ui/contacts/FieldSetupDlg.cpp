#include "contacts/FieldSetupDlg.h"

#include "app/Prompter.h"
#include "widgets/ReportView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString typeCaption(int type)
{
    if (type == 1)
        return QStringLiteral("系统字段");
    return type == 2 ? QStringLiteral("文本字段") : QStringLiteral("日期字段");
}

QString mark(bool on)
{
    return on ? QStringLiteral("√") : QString();
}

} // namespace

CFieldSetupDlg::CFieldSetupDlg(CADODataBase& database, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(database)
    , m_prompter(prompter)
    , m_report(new ReportView(this))
    , m_active(new QPushButton(QStringLiteral("激活字段"), this))
    , m_shown(new QPushButton(QStringLiteral("在列表显示"), this))
{
    setWindowTitle(QStringLiteral("客户字段设置"));
    m_report->setSortingEnabled(false);
    m_report->setColumns(
        {ReportColumn(QStringLiteral("id"), 0, true), ReportColumn(QStringLiteral("序号"), 30, false, true),
            ReportColumn(QStringLiteral("显示名称"), 100), ReportColumn(QStringLiteral("是否激活"), 60),
            ReportColumn(QStringLiteral("列表显示"), 60), ReportColumn(QStringLiteral("字段类型"), 70)});
    auto* rename = new QPushButton(QStringLiteral("修改显示名称"), this);
    auto* quit = new QPushButton(QStringLiteral("退出"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(rename);
    buttons->addWidget(m_active);
    buttons->addWidget(m_shown);
    buttons->addStretch();
    buttons->addWidget(quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_report);
    layout->addLayout(buttons);
    connect(rename, &QPushButton::clicked, this, &CFieldSetupDlg::renameField);
    connect(m_active, &QPushButton::clicked, this, &CFieldSetupDlg::toggleActive);
    connect(m_shown, &QPushButton::clicked, this, &CFieldSetupDlg::toggleShown);
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_report, &ReportView::focusedRowChanged, this, &CFieldSetupDlg::updateButtons);
    reload();
}

void CFieldSetupDlg::reload()
{
    const int focusedRow = m_report->focusedRow();
    m_fields = m_catalogue.Load(false);
    QVector<ReportRow> rows;
    for (const CardField& field : m_fields) {
        rows.append(
            ReportRow({QString::number(field.id), QString::number(field.id), QString::fromStdString(field.caption),
                          mark(field.active), mark(field.shown), typeCaption(field.type)},
                field.id));
    }
    m_report->setRows(std::move(rows));
    if (focusedRow >= 0)
        m_report->setFocusedRow(focusedRow);
    updateButtons();
}

const CardField* CFieldSetupDlg::focused()
{
    const int row = m_report->focusedRow();
    if (row < 0 || row >= static_cast<int>(m_fields.size())) {
        m_prompter.information(this, QStringLiteral("请先选择一个需要修改的字段!"));
        return nullptr;
    }
    return &m_fields[static_cast<std::size_t>(row)];
}

void CFieldSetupDlg::updateButtons()
{
    const int row = m_report->focusedRow();
    const CardField* field
        = row >= 0 && row < static_cast<int>(m_fields.size()) ? &m_fields[static_cast<std::size_t>(row)] : nullptr;
    m_active->setEnabled(field && field->id > CFieldCatalogue::kLastSystemFieldId);
    m_active->setText(field && field->active ? QStringLiteral("不激活字段") : QStringLiteral("激活字段"));
    m_shown->setEnabled(field && field->id != CFieldCatalogue::kPhoneFieldId);
    m_shown->setText(field && field->shown ? QStringLiteral("不在列表显示") : QStringLiteral("在列表显示"));
}

void CFieldSetupDlg::renameField()
{
    const CardField* field = focused();
    if (!field)
        return;
    const QString name
        = m_prompter.getText(this, QStringLiteral("修改字段名称"), QString::fromStdString(field->caption));
    if (name.isNull() || name.trimmed().isEmpty())
        return;
    if (m_catalogue.SetCaption(field->id, name.trimmed().toStdString()))
        m_changed = true;
    reload();
}

void CFieldSetupDlg::toggleActive()
{
    if (const CardField* field = focused(); field && m_catalogue.SetActive(field->id, !field->active))
        m_changed = true;
    reload();
}

void CFieldSetupDlg::toggleShown()
{
    if (const CardField* field = focused(); field && m_catalogue.SetShown(field->id, !field->shown))
        m_changed = true;
    reload();
}

} // namespace telvora
