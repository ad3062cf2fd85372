#include "contacts/ImportGuideDlg.h"

#include "app/Prompter.h"
#include "contacts/CardImporter.h"
#include "contacts/SpreadsheetReader.h"
#include "db/DateTime.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr int kPreviewRows = 100;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CImportGuideDlg::CImportGuideDlg(CADODataBase& database, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_fields(CFieldCatalogue(database).Load(true))
    , m_reader(std::make_unique<CSpreadsheetReader>())
    , m_columns(m_fields.size(), -1)
    , m_file(new QLineEdit(this))
    , m_sheets(new QComboBox(this))
    , m_mapping(new QTableWidget(this))
    , m_preview(new QTableWidget(this))
    , m_target(new QComboBox(this))
    , m_duplicates(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("客户导入向导"));
    m_file->setReadOnly(true);
    auto* browse = new QPushButton(QStringLiteral("浏览"), this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("文件名称"), fileRow);
    form->addRow(QStringLiteral("表格名称"), m_sheets);
    m_target->addItems({QStringLiteral("导入为这个目录的子目录"), QStringLiteral("合并到这个目录")});
    m_duplicates->addItems({QStringLiteral("对重复的手机号码建立副本"), QStringLiteral("对重复的手机号码替换"),
        QStringLiteral("对重复的手机号码忽略")});
    form->addRow(QString(), m_target);
    form->addRow(QString(), m_duplicates);

    m_mapping->setColumnCount(2);
    m_mapping->setHorizontalHeaderLabels({QStringLiteral("系统默认"), QStringLiteral("表格列")});
    m_mapping->horizontalHeader()->setStretchLastSection(true);
    m_mapping->setRowCount(static_cast<int>(m_fields.size()));
    QStringList captions;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* caption = new QTableWidgetItem(qs(m_fields[i].caption));
        caption->setFlags(Qt::ItemIsEnabled);
        m_mapping->setItem(row, 0, caption);
        auto* box = new QComboBox(m_mapping);
        m_mapping->setCellWidget(row, 1, box);
        connect(box, &QComboBox::currentIndexChanged, this, [this, row](int index) {
            m_columns[static_cast<std::size_t>(row)] = index - 1;
            fillPreview();
        });
        captions.append(caption->text());
    }
    m_preview->setColumnCount(static_cast<int>(m_fields.size()));
    m_preview->setHorizontalHeaderLabels(captions);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_mapping);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, [this]() {
        const QString path = m_prompter.getOpenFileName(this,
            FileRequest {QStringLiteral("选择要导入的文件名"), QString(),
                QStringLiteral("Excel Files (*.xls *.xlsx *.ods *.csv)"), {}});
        if (!path.isEmpty())
            openFile(path);
    });
    connect(m_sheets, &QComboBox::currentIndexChanged, this, &CImportGuideDlg::selectSheet);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportGuideDlg::finish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CImportGuideDlg::~CImportGuideDlg() = default;

bool CImportGuideDlg::openFile(const QString& path)
{
    if (!m_reader->Open(path.toStdString())) {
        m_prompter.information(this, qs(m_reader->GetLastError()));
        return false;
    }
    m_path = path;
    m_file->setText(path);
    const QSignalBlocker blocker(m_sheets);
    m_sheets->clear();
    for (const std::string& name : m_reader->GetSheetNames())
        m_sheets->addItem(qs(name));
    selectSheet(0);
    return true;
}

void CImportGuideDlg::selectSheet(int index)
{
    if (index < 0 || !m_reader->SelectSheet(static_cast<std::size_t>(index)))
        return;
    fillMapping();
}

void CImportGuideDlg::fillMapping()
{
    const std::vector<std::string> header = m_reader->GetHeader();
    const std::vector<ColumnMapping> matched = CCardImporter::MatchHeaders(m_fields, header);
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        auto* box = static_cast<QComboBox*>(m_mapping->cellWidget(static_cast<int>(i), 1));
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(QString());
        for (const std::string& caption : header)
            box->addItem(qs(caption));
        m_columns[i] = matched[i].column;
        box->setCurrentIndex(matched[i].column + 1);
    }
    fillPreview();
}

void CImportGuideDlg::mapField(int row, int column)
{
    static_cast<QComboBox*>(m_mapping->cellWidget(row, 1))->setCurrentIndex(column + 1);
}

void CImportGuideDlg::fillPreview()
{
    const int rows = qMin(kPreviewRows, static_cast<int>(m_reader->GetRowCount()) - 1);
    m_preview->setRowCount(qMax(rows, 0));
    for (int r = 0; r < rows; ++r) {
        for (std::size_t f = 0; f < m_fields.size(); ++f) {
            const int column = m_columns[f];
            QString text;
            if (column >= 0) {
                const std::string& cell
                    = m_reader->GetCell(static_cast<std::size_t>(r + 1), static_cast<std::size_t>(column));
                if (m_fields[f].isDate()) {
                    const DateTime date = DateTime::parse(cell);
                    text = date.valid ? QStringLiteral("%1-%2-%3").arg(date.year).arg(date.month).arg(date.day)
                                      : QStringLiteral("NULL");
                } else {
                    text = qs(cell);
                }
            }
            m_preview->setItem(r, static_cast<int>(f), new QTableWidgetItem(text));
        }
    }
}

void CImportGuideDlg::finish()
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].fieldName == "phone" && m_columns[i] >= 0) {
            accept();
            return;
        }
    }
    m_prompter.information(this, QStringLiteral("[手机]列不能为空!"));
}

CImportGuideDlg::Choice CImportGuideDlg::choice() const
{
    Choice choice {m_path.toStdString(), m_reader->GetCurrentSheet(), {}, m_target->currentIndex() == 0,
        QFileInfo(m_path).completeBaseName().toStdString(), DuplicateRule::Copy};
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        choice.mapping.push_back({m_fields[i], m_columns[i]});
    const DuplicateRule rules[] = {DuplicateRule::Copy, DuplicateRule::Replace, DuplicateRule::Ignore};
    choice.rule = rules[qBound(0, m_duplicates->currentIndex(), 2)];
    return choice;
}

} // namespace telvora
