#include "send/ExcelPreviewDlg.h"

#include "send/CustomSendCheck.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

CExcelPreviewDlg::CExcelPreviewDlg(const CustomPreview& preview, QWidget* parent)
    : QDialog(parent)
    , m_messages(new QTreeWidget(this))
    , m_totals(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("自定义短信发送预览"));
    resize(860, 520);

    m_messages->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("手机号码"), QStringLiteral("短信内容")});
    m_messages->setColumnWidth(0, 60);
    m_messages->setColumnWidth(1, 110);
    m_messages->setUniformRowHeights(true);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(preview.rows.size()));
    int number = 0;
    for (const CustomPreviewRow& row : preview.rows) {
        auto* item = new QTreeWidgetItem(
            {QString::number(++number), QString::fromStdString(row.number), QString::fromStdString(row.text)});
        for (const std::string& part : row.parts)
            new QTreeWidgetItem(item, {QString(), QString(), QString::fromStdString(part)});
        items.append(item);
    }
    m_messages->addTopLevelItems(items);

    m_totals->setHeaderHidden(true);
    const auto addTotal = [this](QTreeWidgetItem* parent, const QString& text) {
        return parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(m_totals, {text});
    };
    addTotal(nullptr, QStringLiteral("本次接收者数量:%1").arg(preview.rows.size()));
    addTotal(nullptr, QStringLiteral("本次发送短信总条数:%1").arg(preview.totalSegments));
    addTotal(nullptr, QStringLiteral("本次发送短信的最大长度:%1").arg(preview.longestText));
    QTreeWidgetItem* bySegments = addTotal(nullptr, QStringLiteral("分段发送信息"));
    for (const auto& [segments, texts] : preview.textsBySegments)
        addTotal(bySegments, QStringLiteral("分%1段发送的数据:%2").arg(segments).arg(texts));
    m_totals->expandAll();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_messages, 3);
    lists->addWidget(m_totals, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
}

CExcelPreviewDlg::~CExcelPreviewDlg() = default;

} // namespace telvora
