#include "send/SMSSendView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "send/LoadSendFileDlg.h"
#include "send/MessageEditLimit.h"
#include "send/RecipientHandOver.h"
#include "send/SMSTestDlg.h"
#include "send/SendEngine.h"
#include "session/Session.h"
#include "tools/PhoneDivisionDlg.h"
#include "tools/RegionTable.h"
#include "tools/ShortMessageDlg.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCursor>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CSMSSendView::CSMSSendView(ViewServices dependencies, QWidget* parent)
    : QWidget(parent)
    , m_app(dependencies.app)
    , m_session(dependencies.session)
    , m_engine(dependencies.engine)
    , m_prompter(dependencies.prompter)
    , m_handOver(dependencies.handOver)
    , m_frame(dependencies.frame)
    , m_history(dependencies.app.GetDatabase())
{
    buildLayout();
    dependencies.hints.listen(this, &CSMSSendView::onHint);
    reloadHistory();
    onMessageChanged();
    updateCounters();
}

CSMSSendView::~CSMSSendView() = default;

void CSMSSendView::buildLayout()
{
    m_contentBox = new QGroupBox(this);
    m_message = new QPlainTextEdit(m_contentBox);
    m_message->setPlaceholderText(fromStd(std::string(kSmsPlaceholder)));
    m_timed = new QCheckBox(QStringLiteral("定时发送"), m_contentBox);
    m_date = new QDateEdit(QDate::currentDate(), m_contentBox);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // The size hint leaves no room for the popup arrow in some styles.
    m_date->setMinimumWidth(m_date->sizeHint().width() + m_date->fontMetrics().horizontalAdvance(QStringLiteral("00")));
    m_time = new QTimeEdit(QTime::currentTime(), m_contentBox);
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_date->setEnabled(false);
    m_time->setEnabled(false);
    m_insertName = new QCheckBox(QStringLiteral("插入姓名"), m_contentBox);
    m_insertTitle = new QCheckBox(QStringLiteral("插入称呼"), m_contentBox);

    auto* options = new QHBoxLayout;
    options->addWidget(m_timed);
    options->addWidget(m_date);
    options->addWidget(m_time);
    options->addStretch(1);
    options->addWidget(m_insertName);
    options->addWidget(m_insertTitle);
    auto* content = new QVBoxLayout(m_contentBox);
    content->addWidget(m_message, 1);
    content->addLayout(options);

    m_numberBox = new QComboBox(this);
    m_numberBox->setEditable(true);
    m_numberBox->setInsertPolicy(QComboBox::NoInsert);
    m_numberBox->lineEdit()->setMaxLength(11);
    m_numberBox->setToolTip(QStringLiteral("输入完成后,按回车添加到发送列表"));

    m_listView = new ReportView(this);
    m_listView->setColumns(
        {{QStringLiteral("序号"), 50, false, true}, {QStringLiteral("类型"), 80}, {QStringLiteral("发送状态"), 80},
            {QStringLiteral("号码个数"), 70, false, true}, {QStringLiteral("号码资源"), 200}});

    m_mobileLabel = new QLabel(this);
    m_unicomLabel = new QLabel(this);
    m_telecomLabel = new QLabel(this);
    m_totalLabel = new QLabel(this);

    const auto makeButton = [this](const QString& caption, void (CSMSSendView::*slot)()) {
        auto* button = new QPushButton(caption, this);
        m_buttons.append(button);
        if (slot) {
            connect(button, &QPushButton::clicked, this, slot);
        }
        return button;
    };
    QPushButton* send = makeButton(QStringLiteral("发送"), &CSMSSendView::onSendClicked);
    QPushButton* test = makeButton(QStringLiteral("短信测试"), &CSMSSendView::onTestClicked);
    QPushButton* phrase = makeButton(QStringLiteral("插入短语"), &CSMSSendView::onInsertPhraseClicked);
    QPushButton* customers = makeButton(QStringLiteral("添加客户"), nullptr);
    connect(customers, &QPushButton::clicked, this, [this]() { m_frame.showLeftPane(true); });
    QPushButton* load = makeButton(QStringLiteral("加载文件"), &CSMSSendView::onLoadFileClicked);
    QPushButton* exportButton = makeButton(QStringLiteral("导出号码"), &CSMSSendView::onExportClicked);
    QPushButton* remove = makeButton(QStringLiteral("删除"), &CSMSSendView::onDeleteClicked);
    QPushButton* clear = makeButton(QStringLiteral("清空"), nullptr);
    QPushButton* split = makeButton(QStringLiteral("号码分离"), &CSMSSendView::onSplitClicked);

    m_clearMenu = new QMenu(clear);
    m_clearMenu->addAction(QStringLiteral("清空所有号码"), this, &CSMSSendView::onClearAll);
    m_clearMenu->addSeparator();
    m_clearMenu->addAction(
        QStringLiteral("清空移动号码"), this, [this]() { onClearCarrier(static_cast<int>(Carrier::ChinaMobile)); });
    m_clearMenu->addAction(
        QStringLiteral("清空联通号码"), this, [this]() { onClearCarrier(static_cast<int>(Carrier::ChinaUnicom)); });
    m_clearMenu->addAction(
        QStringLiteral("清空电信号码"), this, [this]() { onClearCarrier(static_cast<int>(Carrier::ChinaTelecom)); });
    clear->setMenu(m_clearMenu);

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("输入号码"), this));
    numberRow->addWidget(m_numberBox, 1);
    numberRow->addWidget(customers);
    numberRow->addWidget(load);
    numberRow->addWidget(exportButton);
    numberRow->addWidget(remove);
    numberRow->addWidget(clear);
    numberRow->addWidget(split);

    auto* counters = new QHBoxLayout;
    counters->setSpacing(12);
    counters->addWidget(m_mobileLabel);
    counters->addWidget(m_unicomLabel);
    counters->addWidget(m_telecomLabel);
    counters->addWidget(m_totalLabel);
    counters->addStretch(1);
    counters->addWidget(phrase);
    counters->addWidget(test);
    counters->addWidget(send);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_contentBox, 2);
    layout->addLayout(numberRow);
    layout->addWidget(m_listView, 3);
    layout->addLayout(counters);

    connect(m_message, &QPlainTextEdit::textChanged, this, &CSMSSendView::onMessageChanged);
    connect(m_insertName, &QCheckBox::toggled, this, &CSMSSendView::onInsertionToggled);
    connect(m_insertTitle, &QCheckBox::toggled, this, &CSMSSendView::onInsertionToggled);
    connect(m_timed, &QCheckBox::toggled, this, &CSMSSendView::onTimedToggled);
    connect(m_numberBox->lineEdit(), &QLineEdit::returnPressed, this, &CSMSSendView::onNumberEntered);
}

QPushButton* CSMSSendView::button(const QString& caption) const
{
    for (QPushButton* button : m_buttons) {
        if (button->text() == caption) {
            return button;
        }
    }
    return nullptr;
}

void CSMSSendView::onMessageChanged()
{
    if (m_editing) {
        return;
    }
    const SmsRuleValues rules = RuleValuesOf(m_session, m_app.GetParameters());
    const bool insertion = m_insertName->isChecked() || m_insertTitle->isChecked();
    m_editing = true;
    const SmsEditState state = EnforceMessageLimit(m_message, insertion, rules);
    m_editing = false;
    m_contentBox->setTitle(fromStd(state.caption));
}

void CSMSSendView::onInsertionToggled()
{
    m_insertTitle->setEnabled(!m_insertName->isChecked());
    m_insertName->setEnabled(!m_insertTitle->isChecked());
    onMessageChanged();
}

void CSMSSendView::onTimedToggled(bool checked)
{
    m_date->setEnabled(checked);
    m_time->setEnabled(checked);
}

void CSMSSendView::refreshList()
{
    QVector<ReportRow> rows;
    rows.reserve(static_cast<int>(m_list.rows().size()));
    for (const CSendList::Row& row : m_list.rows()) {
        ReportRow out;
        out.cells = {QString::number(row.serial), fromStd(row.type), QStringLiteral("未发送"),
            QString::number(row.count), fromStd(row.resource)};
        out.data = row.key;
        rows.append(std::move(out));
    }
    m_listView->setRows(std::move(rows));
    updateCounters();
}

void CSMSSendView::updateCounters()
{
    const CarrierCounts& counts = m_list.counts();
    m_mobileLabel->setText(QStringLiteral("移动[%1]").arg(counts.mobile));
    m_unicomLabel->setText(QStringLiteral("联通[%1]").arg(counts.unicom));
    m_telecomLabel->setText(QStringLiteral("电信[%1]").arg(counts.telecom));
    m_totalLabel->setText(QStringLiteral("合计[%1]").arg(counts.total()));
}

void CSMSSendView::reloadHistory()
{
    m_history.load();
    const QString typed = m_numberBox->currentText();
    m_numberBox->clear();
    for (const std::string& number : m_history.numbers()) {
        m_numberBox->addItem(fromStd(number));
    }
    m_numberBox->setCurrentIndex(-1);
    m_numberBox->setEditText(typed);
}

void CSMSSendView::onNumberEntered()
{
    const std::string number(TrimAscii(m_numberBox->currentText().toStdString()));
    switch (m_list.addManual(number)) {
    case CSendList::AddResult::Invalid:
        return;
    case CSendList::AddResult::Duplicate:
        m_prompter.information(this, QStringLiteral("您录入的号码已经添加到发送列表!"));
        return;
    case CSendList::AddResult::Added:
        break;
    }
    if (m_history.add(number)) {
        m_numberBox->addItem(fromStd(number));
    }
    m_numberBox->setCurrentIndex(-1);
    m_numberBox->setEditText({});
    refreshList();
}

void CSMSSendView::onHint(int hint)
{
    if (hint == HintBroadcaster::NumbersHandedOver) {
        takeHandOver();
    } else if (hint == HintBroadcaster::AddressBookChanged) {
        reloadHistory();
    }
}

void CSMSSendView::takeHandOver()
{
    for (const std::string& number : m_handOver.takeSingleNumbers()) {
        if (m_list.addManual(number) == CSendList::AddResult::Added && m_history.add(std::string(TrimAscii(number)))) {
            m_numberBox->addItem(fromStd(std::string(TrimAscii(number))));
        }
    }
    CarrierCounts counts;
    std::vector<std::string> recipients = m_handOver.takeRecipients(counts);
    if (!recipients.empty()) {
        m_list.addSource("短信发送", "短信发送", {counts, std::move(recipients)});
    }
    refreshList();
}

void CSMSSendView::onDeleteClicked()
{
    const QVector<int> selected = m_listView->selectedRows();
    m_list.removeRows(std::vector<int>(selected.begin(), selected.end()));
    refreshList();
}

void CSMSSendView::onClearAll()
{
    if (!m_prompter.question(this, QStringLiteral("您确认要清除所有添加的手机号码？"))) {
        return;
    }
    m_list.clear();
    refreshList();
}

void CSMSSendView::onClearCarrier(int carrier)
{
    const auto which = static_cast<Carrier>(carrier);
    if (m_list.countOf(which) == 0) {
        return;
    }
    const QString question
        = QStringLiteral("您确认要清除所有添加的[%1]手机号码？").arg(fromStd(std::string(CarrierCaption(which))));
    if (!m_prompter.question(this, question)) {
        return;
    }
    m_list.clearCarrier(which);
    refreshList();
}

void CSMSSendView::onInsertPhraseClicked()
{
    auto* dialog = new CShortMessageDlg(m_prompter, m_app.GetDatabase(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        if (result == QDialog::Accepted) {
            insertPhrase(dialog->chosenText());
        }
    });
    dialog->open();
    emit toolDialogOpened(dialog);
}

void CSMSSendView::insertPhrase(const QString& text)
{
    // The placeholder is shown by the box itself, so the text simply goes at the end.
    m_message->moveCursor(QTextCursor::End);
    m_message->insertPlainText(text);
    m_message->ensureCursorVisible();
}

void CSMSSendView::onSplitClicked()
{
    const std::vector<std::string> numbers = m_list.allNumbers();
    if (numbers.empty()) {
        m_prompter.information(this, QStringLiteral("发送列表为空,请先添加需要发送的号码!"));
        return;
    }
    std::string regionDatabase;
    PrepareRegionDatabase(m_app.GetDataDirectory(), regionDatabase);
    auto* dialog = new CPhoneDivisionDlg(m_prompter, regionDatabase, &numbers, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        if (result == QDialog::Accepted) {
            onSplitDialogAccepted(dialog);
        }
    });
    dialog->open();
    emit toolDialogOpened(dialog);
}

void CSMSSendView::onSplitDialogAccepted(CPhoneDivisionDlg* dialog)
{
    const bool extract = dialog->mode() == DivisionMode::Extract;
    const std::vector<std::string>& kept = dialog->result().numbers;
    const QString question = extract
        ? QStringLiteral("从当前发送列表提取到属于 [%1] 的号码有 [%2] 个，是否更新当前发送例表？")
        : QStringLiteral("从当前发送列表分离属于 [%1] 的号码后剩余有 [%2] 个，是否更新当前发送例表？");
    if (!m_prompter.question(this, question.arg(dialog->regionName()).arg(kept.size()))) {
        return;
    }
    if (!m_prompter.question(this, QStringLiteral("您确认要清除所有添加的手机号码？"))) {
        return;
    }
    const std::string label = extract ? "号码提取" : "号码分离";
    m_list.replaceWith(label, label, kept);
    refreshList();
}

void CSMSSendView::onLoadFileClicked()
{
    auto* dialog = new CLoadSendFileDlg(m_prompter, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) { onLoadDialogFinished(dialog, result); });
    dialog->open();
    emit loadDialogOpened(dialog);
}

void CSMSSendView::onLoadDialogFinished(CLoadSendFileDlg* dialog, int result)
{
    const CollectedNumbers& found = dialog->numbers();
    if (result != QDialog::Accepted || found.numbers.empty()) {
        return;
    }
    const std::size_t count = found.numbers.size();
    m_list.addSource("文件加载", dialog->filePath().toStdString(), {found.counts, found.numbers});
    refreshList();
    m_prompter.information(this, QStringLiteral("您已成功加载[%1]个手机号码!").arg(count));
}

void CSMSSendView::onExportClicked()
{
    if (m_list.empty()) {
        m_prompter.information(this, QStringLiteral("没有可导出的手机号码!"));
        return;
    }
    const QDate today = QDate::currentDate();
    FileRequest request;
    request.title = QStringLiteral("请输入要导出的文件名");
    request.path = QString::asprintf("%d-%.2d-%.2d", today.year(), today.month(), today.day())
        + QStringLiteral("待发手机号码列表.txt");
    request.filter = QStringLiteral("txt Files (*.txt)");
    // A list of numbers is text; the old default of "xls" named it wrongly.
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = m_prompter.getSaveFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    std::vector<std::string> numbers = m_list.allNumbers();
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_prompter.information(this, QStringLiteral("创建导出文件失败!"));
        return;
    }
    for (const std::string& number : numbers) {
        file.write(number.data(), static_cast<qint64>(number.size()));
        file.write("\n", 1);
    }
    if (!file.commit()) {
        m_prompter.information(this, QStringLiteral("创建导出文件失败!"));
        return;
    }
    m_prompter.information(this, QStringLiteral("导出手机号码列表完成!"));
}

void CSMSSendView::onSendClicked()
{
    const SmsRuleValues rules = RuleValuesOf(m_session, m_app.GetParameters());
    const QDateTime when(m_date->date(), QTime(m_time->time().hour(), m_time->time().minute()));
    const std::vector<std::string> numbers = m_list.allNumbers();

    SendCheckInput input;
    input.loggedIn = m_session.loggedIn;
    input.scheduled = m_timed->isChecked();
    input.scheduleInFuture = when > QDateTime::currentDateTime();
    input.content = m_message->toPlainText().toStdString();
    input.numberCount = numbers.size();
    input.carrierNumbers = m_list.counts().total();
    SendCheckResult check = CheckSendRequest(input, rules);
    if (check.outcome == SendCheckResult::Outcome::Confirm) {
        if (!m_prompter.question(this, fromStd(check.text))) {
            return;
        }
        input.multiSegmentConfirmed = true;
        check = CheckSendRequest(input, rules);
    }
    if (check.outcome != SendCheckResult::Outcome::Go) {
        m_prompter.information(this, fromStd(check.text));
        return;
    }

    int insertion = CSendEngine::PlainSend;
    if (m_session.userType != "会员用户") {
        insertion = m_insertName->isChecked() ? CSendEngine::InsertName
            : m_insertTitle->isChecked()      ? CSendEngine::InsertTitle
                                              : CSendEngine::PlainSend;
    }
    if (!m_engine.PrepareSend(numbers, check.content, CSendEngine::SendViewMode, insertion)) {
        m_prompter.information(this,
            m_engine.GetExcludedCount() > 0
                ? fromStd(m_engine.GetLastError())
                : QStringLiteral("现有的短信发送任务尚未完成,或您选择的号码包含号段,本次发送非法!"));
        return;
    }
    if (m_engine.GetExcludedCount() > 0) {
        m_prompter.information(this, fromStd(m_engine.GetExcludedNote()));
    }
    if (input.scheduled) {
        const QDate date = when.date();
        const QTime time = when.time();
        m_engine.SetSendTime(QString::asprintf("%d-%.2d-%.2d %.2d:%.2d:%.2d", date.year(), date.month(), date.day(),
            time.hour(), time.minute(), time.second())
                                 .toStdString());
    }
    if (!m_engine.StartSend()) {
        // Nothing went out: keep the list so the user can try again.
        m_prompter.information(this, QStringLiteral("短信发送失败:%1").arg(fromStd(m_engine.GetLastError())));
        return;
    }
    resetAfterSend();
}

void CSMSSendView::resetAfterSend()
{
    m_list.clear();
    refreshList();
    m_insertTitle->setChecked(false);
    m_insertName->setChecked(false);
    m_timed->setChecked(false);
    m_insertTitle->setEnabled(true);
    m_insertName->setEnabled(true);
    m_date->setEnabled(false);
    m_time->setEnabled(false);
    m_frame.setStatusText(QStringLiteral("短信正在发送，请不要退出软件!"));
}

void CSMSSendView::onTestClicked()
{
    auto* dialog = new CSMSTestDlg(m_prompter, m_history, m_session.loggedIn, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) { onTestDialogFinished(dialog, result); });
    dialog->open();
    emit testDialogOpened(dialog);
}

void CSMSSendView::onTestDialogFinished(CSMSTestDlg* dialog, int result)
{
    if (result != QDialog::Accepted || dialog->numbers().empty()) {
        return;
    }
    const QString text
        = CSMSTestDlg::testMessage(fromStd(m_app.GetParameters().Get("Account")), QDateTime::currentDateTime());
    if (!m_engine.PrepareSend(dialog->numbers(), text.toStdString(), CSendEngine::SendViewMode, CSendEngine::PlainSend)
        || !m_engine.StartSend()) {
        m_prompter.information(this,
            m_engine.GetExcludedCount() > 0 ? fromStd(m_engine.GetLastError())
                                            : QStringLiteral("短信发送失败，因为现在的发送任务尚未完成!"));
    }
}

} // namespace telvora
