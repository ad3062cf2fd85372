#include "remind/HolidayMgrDlg.h"

#include "app/Prompter.h"
#include "remind/AddHolidayDlg.h"
#include "remind/HolidayStore.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

CHolidayMgrDlg::CHolidayMgrDlg(CADODataBase& database, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_database(database)
    , m_prompter(prompter)
    , m_types(new QButtonGroup(this))
    , m_list(new QTreeWidget(this))
    , m_add(new QPushButton(QStringLiteral("新增"), this))
    , m_delete(new QPushButton(QStringLiteral("删除"), this))
{
    setWindowTitle(QStringLiteral("节日管理"));
    auto* radios = new QHBoxLayout;
    const QStringList names {QStringLiteral("阳历节日"), QStringLiteral("农历节日"), QStringLiteral("西方节日"),
        QStringLiteral("自定义节日")};
    for (int i = 0; i < names.size(); ++i) {
        auto* radio = new QRadioButton(names[i], this);
        m_types->addButton(radio, i + 1);
        radios->addWidget(radio);
    }
    m_list->setHeaderLabels({QStringLiteral("节日名称"), QStringLiteral("月"), QStringLiteral("日")});
    m_list->setRootIsDecorated(false);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(radios);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    connect(m_types, &QButtonGroup::idClicked, this, &CHolidayMgrDlg::showType);
    connect(m_add, &QPushButton::clicked, this, &CHolidayMgrDlg::onAdd);
    connect(m_delete, &QPushButton::clicked, this, &CHolidayMgrDlg::onDelete);
    connect(close, &QPushButton::clicked, this, &CHolidayMgrDlg::accept);
    m_types->button(Holiday::kSolar)->setChecked(true);
    showType(Holiday::kSolar);
}

CHolidayMgrDlg::~CHolidayMgrDlg() = default;

void CHolidayMgrDlg::showType(int type)
{
    m_type = type;
    m_types->button(type)->setChecked(true);
    m_add->setVisible(type == Holiday::kCustom);
    m_delete->setVisible(type == Holiday::kCustom);
    m_list->clear();
    for (const Holiday& holiday : CHolidayStore(m_database).ListByType(type)) {
        auto* item = new QTreeWidgetItem(m_list,
            {QString::fromStdString(holiday.name), QString::fromStdString(holiday.date.format("%m")),
                QString::fromStdString(holiday.date.format("%d"))});
        item->setData(0, kIdRole, holiday.id);
    }
}

void CHolidayMgrDlg::onDelete()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item) {
        m_prompter.information(this, QStringLiteral("请先选中需要删除的节日!"));
        return;
    }
    if (CHolidayStore(m_database).Delete(item->data(0, kIdRole).toInt()))
        showType(m_type);
}

void CHolidayMgrDlg::onAdd()
{
    CAddHolidayDlg dialog(m_database, m_prompter, this);
    emit addDialogOpened(&dialog);
    if (dialog.exec() == QDialog::Accepted)
        showType(m_type);
}

} // namespace telvora
