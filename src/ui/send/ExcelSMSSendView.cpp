#include "send/ExcelSMSSendView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/Prompter.h"
#include "db/DateTime.h"
#include "records/SendLedger.h"
#include "send/ColumnMappingGrid.h"
#include "send/CustomSendCheck.h"
#include "send/ExcelPreviewDlg.h"
#include "send/SendEngine.h"
#include "send/SendProgressAdapter.h"
#include "session/Session.h"
#include "widgets/ListExport.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

const QString kImport = QStringLiteral("导入数据");
const QString kClear = QStringLiteral("清空");
const QString kExport = QStringLiteral("导出");
const QString kPreview = QStringLiteral("短信预览");
const QString kSend = QStringLiteral("发送");

} // namespace

CExcelSMSSendView::CExcelSMSSendView(ViewServices dependencies, CSendProgressAdapter& progress, QWidget* parent)
    : QWidget(parent)
    , m_app(dependencies.app)
    , m_session(dependencies.session)
    , m_engine(dependencies.engine)
    , m_prompter(dependencies.prompter)
    , m_frame(dependencies.frame)
{
    buildLayout();
    connect(&progress, &CSendProgressAdapter::finished, this, [this](int recordId) { onSendEnded(recordId); });
    connect(&progress, &CSendProgressAdapter::failed, this, [this](int recordId) { onSendEnded(recordId); });
    clearView();
}

CExcelSMSSendView::~CExcelSMSSendView() = default;

void CExcelSMSSendView::buildLayout()
{
    const auto makeButton = [this](const QString& caption, void (CExcelSMSSendView::*slot)()) {
        auto* button = new QPushButton(caption, this);
        m_buttons.append(button);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    m_demo = new QCheckBox(QStringLiteral("加载演示数据"), this);
    connect(m_demo, &QCheckBox::toggled, this, &CExcelSMSSendView::onDemoToggled);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("请先选择要导入的文件："), this));
    fileRow->addWidget(m_path, 1);
    fileRow->addWidget(makeButton(kImport, &CExcelSMSSendView::onImportClicked));
    fileRow->addWidget(makeButton(kClear, &CExcelSMSSendView::onClearClicked));
    fileRow->addWidget(makeButton(kExport, &CExcelSMSSendView::onExportClicked));
    fileRow->addWidget(m_demo);

    auto* previewBox = new QGroupBox(QStringLiteral("文件预览"), this);
    auto* splitter = new QSplitter(previewBox);
    m_mapping = new CColumnMappingGrid(splitter);
    m_report = new ReportView(splitter);
    m_report->setCheckColumn(0);
    splitter->addWidget(m_mapping);
    splitter->addWidget(m_report);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 600});
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(splitter);
    connect(m_mapping, &CColumnMappingGrid::phoneColumnChosen, this, &CExcelSMSSendView::onPhoneColumnChosen);
    connect(m_mapping, &CColumnMappingGrid::columnToggled, this, &CExcelSMSSendView::onColumnToggled);
    connect(m_report, &ReportView::rowCheckToggled, this,
        [this](int row, bool checked) { m_sheet.SetTicked(static_cast<std::size_t>(row), checked); });

    auto* templateBox = new QGroupBox(QStringLiteral("短信模板"), this);
    m_template = new QPlainTextEdit(templateBox);
    m_timed = new QCheckBox(QStringLiteral("定时发送"), templateBox);
    m_date = new QDateEdit(QDate::currentDate(), templateBox);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_time = new QTimeEdit(QTime::currentTime(), templateBox);
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    connect(m_timed, &QCheckBox::toggled, this, &CExcelSMSSendView::onTimedToggled);
    onTimedToggled(false);
    auto* options = new QHBoxLayout;
    options->addWidget(m_timed);
    options->addWidget(m_date);
    options->addWidget(m_time);
    options->addStretch(1);
    options->addWidget(makeButton(kPreview, &CExcelSMSSendView::onPreviewClicked));
    options->addWidget(makeButton(kSend, &CExcelSMSSendView::onSendClicked));
    auto* templateLayout = new QVBoxLayout(templateBox);
    templateLayout->addWidget(m_template, 1);
    templateLayout->addLayout(options);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(previewBox, 3);
    layout->addWidget(templateBox, 1);
}

QPushButton* CExcelSMSSendView::button(const QString& caption) const
{
    for (QPushButton* button : m_buttons) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

void CExcelSMSSendView::showSheet()
{
    QStringList captions;
    for (const std::string& caption : m_sheet.GetHeaders())
        captions.append(fromStd(caption));
    QVector<ReportColumn> columns {{QStringLiteral("手机号码"), 100}};
    for (const QString& caption : captions)
        columns.append({caption, 100});
    m_report->setColumns(columns);
    m_mapping->setColumns(captions, m_sheet.GetPhoneColumn());
    showRows();
    updateButtons();
}

void CExcelSMSSendView::showRows()
{
    const auto& rows = m_sheet.GetRows();
    QVector<ReportRow> shown;
    shown.reserve(static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QStringList cells {fromStd(std::string(m_sheet.PhoneOf(i)))};
        for (const std::string& cell : rows[i].cells)
            cells.append(fromStd(cell));
        ReportRow row(cells);
        row.checked = rows[i].ticked;
        shown.append(std::move(row));
    }
    m_report->setRows(std::move(shown));
}

void CExcelSMSSendView::clearView()
{
    m_sheet.Clear();
    m_path->clear();
    m_template->clear();
    m_mapping->clearColumns();
    m_report->setColumns({{QStringLiteral("手机号码"), 100}, {QString(), 300}});
    m_report->clear();
    {
        const QSignalBlocker blocker(m_demo);
        m_demo->setChecked(false);
    }
    updateButtons();
}

void CExcelSMSSendView::updateButtons()
{
    const bool loaded = m_sheet.IsLoaded();
    button(kPreview)->setEnabled(loaded);
    button(kExport)->setEnabled(loaded);
    button(kClear)->setEnabled(loaded);
    button(kSend)->setEnabled(loaded && !m_sheet.IsDemo());
    m_path->setEnabled(!m_sheet.IsDemo());
}

void CExcelSMSSendView::onImportClicked()
{
    const QString path = m_prompter.getOpenFileName(this,
        FileRequest {QStringLiteral("选择要导入的文件名"), QString(),
            QStringLiteral("Excel Files (*.xls *.xlsx *.ods *.csv)"), QString()});
    if (path.isEmpty())
        return;
    CCustomSheet loaded;
    if (!loaded.LoadFile(path.toStdString())) {
        m_prompter.information(this, QStringLiteral("读取表格失败!") + fromStd(loaded.GetLastError()));
        return;
    }
    const QString before = m_sheet.IsDemo() ? QString() : m_template->toPlainText();
    {
        const QSignalBlocker blocker(m_demo);
        m_demo->setChecked(false);
    }
    m_sheet = std::move(loaded);
    m_path->setText(path);
    m_template->setPlainText(fromStd(m_sheet.TemplateWithPlaceholders(before.toStdString())));
    showSheet();
}

void CExcelSMSSendView::onClearClicked()
{
    if (m_prompter.question(this, QStringLiteral("您确认要否清空所有EXCEL导入数据？")))
        clearView();
}

void CExcelSMSSendView::onDemoToggled(bool checked)
{
    if (!checked) {
        clearView();
        return;
    }
    m_sheet.LoadDemo();
    m_path->setText(QStringLiteral("excel发送模板.xls"));
    m_template->setPlainText(fromStd(std::string(kCustomDemoTemplate)));
    showSheet();
}

void CExcelSMSSendView::onTimedToggled(bool checked)
{
    m_date->setEnabled(checked);
    m_time->setEnabled(checked);
}

void CExcelSMSSendView::onPhoneColumnChosen(int column)
{
    m_sheet.SetPhoneColumn(column);
    showRows();
}

void CExcelSMSSendView::onColumnToggled(int column, bool ticked)
{
    const std::string text
        = m_sheet.SetShown(static_cast<std::size_t>(column), ticked, m_template->toPlainText().toStdString());
    m_template->setPlainText(fromStd(text));
    m_report->setColumnHidden(column + 1, !ticked);
}

void CExcelSMSSendView::onExportClicked()
{
    if (m_sheet.GetRows().empty()) {
        m_prompter.information(this, QStringLiteral("没有可导出的EXCEL发送数据!"));
        return;
    }
    ExportTable table;
    const QVector<int> columns = m_report->visibleColumns();
    for (int column : columns)
        table.headers.push_back(m_report->column(column).caption.toStdString());
    for (int row = 0; row < m_report->rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column : columns)
            cells.push_back(m_report->cell(row, column).toStdString());
        table.rows.push_back(std::move(cells));
    }
    const ListExportResult result = ExportTableToFile(m_prompter, this, "EXCEL发送数据", table);
    if (result.outcome == ListExportResult::Outcome::Done)
        m_prompter.information(this, QStringLiteral("导出EXCEL发送数据到[%1]完成！").arg(result.path));
    else if (result.outcome == ListExportResult::Outcome::Failed)
        m_prompter.information(this, QStringLiteral("导出EXCEL发送数据失败!"));
}

void CExcelSMSSendView::onPreviewClicked()
{
    const CustomPreview preview = BuildCustomPreview(
        m_sheet, m_template->toPlainText().toStdString(), RuleValuesOf(m_session, m_app.GetParameters()));
    if (!preview.refusal.empty()) {
        m_prompter.information(this, fromStd(preview.refusal));
        return;
    }
    auto* dialog = new CExcelPreviewDlg(preview, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    emit previewOpened(dialog);
}

void CExcelSMSSendView::onSendClicked()
{
    CustomSendInput input;
    input.loggedIn = m_session.loggedIn;
    input.templateText = m_template->toPlainText().toStdString();
    input.userType = m_session.userType;
    input.scheduled = m_timed->isChecked();
    const QDate day = m_date->date();
    input.sendTime
        = DateTime::fromFields(day.year(), day.month(), day.day(), m_time->time().hour(), m_time->time().minute());
    input.now = DateTime::now();
    const CustomSendCheck check = CheckCustomSend(m_sheet, input, RuleValuesOf(m_session, m_app.GetParameters()));
    if (!check.go) {
        m_prompter.information(this, fromStd(check.refusal));
        return;
    }
    if (!m_engine.PreparePersonalisedSend(check.send)) {
        m_prompter.information(this,
            m_engine.GetExcludedCount() > 0 ? fromStd(m_engine.GetLastError())
                                            : QStringLiteral("现有的短信发送任务尚未完成,请稍后再发送!"));
        return;
    }
    if (m_engine.GetExcludedCount() > 0)
        m_prompter.information(this, fromStd(m_engine.GetExcludedNote()));
    if (!check.sendTime.empty())
        m_engine.SetSendTime(check.sendTime);
    if (!m_engine.StartSend()) {
        // Nothing went out: the data stays for another try.
        m_prompter.information(this, QStringLiteral("创建EXCEL发送记录失败！") + fromStd(m_engine.GetLastError()));
        return;
    }
    m_sentRecord = m_engine.GetRecordId();
    m_frame.setStatusText(QStringLiteral("短信正在发送，请不要退出软件!"));
}

void CExcelSMSSendView::onSendEnded(int recordId)
{
    if (recordId == 0 || recordId != m_sentRecord)
        return;
    m_sentRecord = 0;
    // Numbers the service took are gone: the view starts afresh. Otherwise the data stays.
    if (!CustomSendOutcomeOf(CSendLedger(m_app.GetDatabase()).CountOf(recordId)).accepted)
        return;
    clearView();
    m_timed->setChecked(false);
}

} // namespace telvora
