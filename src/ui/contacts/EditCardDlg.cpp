#include "contacts/EditCardDlg.h"

#include "app/AppContext.h"
#include "app/Prompter.h"
#include "contacts/CardStore.h"
#include "contacts/FieldSetupDlg.h"
#include "contacts/SelCopyFolderDlg.h"
#include "widgets/PropertyGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

const QDate kEmptyDate(1900, 1, 1);

// A date picker that may hold no date: its lowest day shows empty.
QDateEdit* dateEdit(QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setMinimumDate(kEmptyDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setCalendarPopup(true);
    edit->setDate(kEmptyDate);
    return edit;
}

DateTime dateOf(const QDate& date)
{
    return !date.isValid() || date == kEmptyDate ? DateTime()
                                                 : DateTime::fromFields(date.year(), date.month(), date.day());
}

QLineEdit* lineEdit(QWidget* parent, int maxLength, bool digitsOnly = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    if (digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
    return edit;
}

struct BasicText
{
    const char* column;
    const char* caption;
    int maxLength;
};
constexpr BasicText kBasicTexts[] = {{"fax", "传  真", 20}, {"tel", "电  话", 20}, {"email", "EMAIL", 50},
    {"qq", "Q  Q", 50}, {"company", "单  位", 150}, {"post", "邮  编", 6}, {"addr", "地  址", 50}};

} // namespace

CEditCardDlg::CEditCardDlg(
    CAppContext& app, Prompter& prompter, long folderId, const QString& folderName, QWidget* parent)
    : QDialog(parent)
    , m_app(app)
    , m_prompter(prompter)
    , m_editor(app.GetDatabase(), app.GetNextCardId())
    , m_folderId(folderId)
{
    setWindowTitle(QStringLiteral("新增名片"));
    build(folderName);
}

CEditCardDlg::CEditCardDlg(CAppContext& app, Prompter& prompter, long cardId, bool readOnly, QWidget* parent)
    : QDialog(parent)
    , m_app(app)
    , m_prompter(prompter)
    , m_editor(app.GetDatabase(), app.GetNextCardId())
    , m_cardId(cardId)
    , m_newCard(false)
{
    setWindowTitle(QStringLiteral("修改客户"));
    CardData card;
    for (const CardField& field : CFieldCatalogue(app.GetDatabase()).Load(true)) {
        if (field.isCustom())
            m_custom.push_back(field);
    }
    const bool found = m_editor.Load(cardId, m_custom, card);
    build(found ? qs(CCardStore(app.GetDatabase()).FolderName(card.folderId)) : QString());
    if (found)
        fill(card);
    m_save->setEnabled(!readOnly);
    m_pickFolders->setEnabled(!readOnly);
    m_fieldSetup->setEnabled(!readOnly);
    m_customGrid->setReadOnly(readOnly);
}

CEditCardDlg::~CEditCardDlg() = default;

void CEditCardDlg::build(const QString& folderName)
{
    if (m_newCard) {
        for (const CardField& field : CFieldCatalogue(m_app.GetDatabase()).Load(true)) {
            if (field.isCustom())
                m_custom.push_back(field);
        }
    }
    auto* tabs = new QTabWidget(this);
    auto* basic = new QWidget(tabs);
    auto* form = new QFormLayout(basic);
    m_phone = lineEdit(basic, 12, true);
    form->addRow(QStringLiteral("手  机"), m_phone);
    auto* folder = new QLineEdit(folderName, basic);
    folder->setReadOnly(true);
    m_pickFolders = new QPushButton(QStringLiteral("..."), basic);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder);
    folderRow->addWidget(m_pickFolders);
    form->addRow(QStringLiteral("组  别"), folderRow);
    m_name = lineEdit(basic, 14);
    form->addRow(QStringLiteral("姓  名"), m_name);
    m_title = lineEdit(basic, 40);
    m_autoTitle = new QPushButton(QStringLiteral("自动"), basic);
    m_autoTitle->setCheckable(true);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_title);
    titleRow->addWidget(m_autoTitle);
    form->addRow(QStringLiteral("称  呼"), titleRow);
    m_male = new QRadioButton(QStringLiteral("男"), basic);
    m_female = new QRadioButton(QStringLiteral("女"), basic);
    m_male->setChecked(true);
    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(m_male);
    sexRow->addWidget(m_female);
    form->addRow(QStringLiteral("性  别"), sexRow);
    m_birthday = dateEdit(basic);
    form->addRow(QStringLiteral("生  日"), m_birthday);
    m_lunar = new QCheckBox(QStringLiteral("农历生日"), basic);
    form->addRow(QString(), m_lunar);
    for (const BasicText& text : kBasicTexts) {
        QLineEdit* edit = lineEdit(basic, text.maxLength, std::string_view(text.column) == "post");
        m_texts.insert(QString::fromLatin1(text.column), edit);
        form->addRow(QString::fromUtf8(text.caption), edit);
    }
    m_status = new QComboBox(basic);
    m_status->addItems({QStringLiteral("订阅"), QStringLiteral("退订"), QStringLiteral("无效")});
    form->addRow(QStringLiteral("状  态"), m_status);
    m_memos = new QPlainTextEdit(basic);
    form->addRow(QStringLiteral("备  注"), m_memos);
    tabs->addTab(basic, QStringLiteral("基本信息"));

    auto* custom = new QWidget(tabs);
    auto* customLayout = new QVBoxLayout(custom);
    m_customGrid = new CPropertyGrid(custom);
    for (const CardField& field : m_custom) {
        if (field.isDate())
            m_customGrid->addDateItem(qs(field.fieldName), qs(field.caption));
        else
            m_customGrid->addTextItem(qs(field.fieldName), qs(field.caption));
    }
    m_fieldSetup = new QPushButton(QStringLiteral("自定义字段管理"), custom);
    customLayout->addWidget(m_customGrid);
    customLayout->addWidget(m_fieldSetup, 0, Qt::AlignLeft);
    tabs->addTab(custom, QStringLiteral("自定义信息"));

    m_repeat = new QCheckBox(QStringLiteral("连续添加"), this);
    m_repeat->setVisible(m_newCard);
    m_save = new QPushButton(QStringLiteral("保存"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_repeat);
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    connect(m_repeat, &QCheckBox::toggled, this,
        [this](bool on) { m_save->setText(on ? QStringLiteral("保存并增加") : QStringLiteral("保存")); });
    connect(m_autoTitle, &QPushButton::toggled, this, [this](bool on) {
        m_autoTitleOn = on;
        m_title->setEnabled(!on);
        updateTitle();
    });
    connect(m_name, &QLineEdit::textChanged, this, &CEditCardDlg::updateTitle);
    connect(m_male, &QRadioButton::clicked, this, &CEditCardDlg::updateTitle);
    connect(m_female, &QRadioButton::clicked, this, &CEditCardDlg::updateTitle);
    connect(m_save, &QPushButton::clicked, this, &CEditCardDlg::save);
    connect(m_pickFolders, &QPushButton::clicked, this, &CEditCardDlg::pickFolders);
    connect(m_fieldSetup, &QPushButton::clicked, this, &CEditCardDlg::setUpFields);
    connect(cancel, &QPushButton::clicked, this, [this]() { m_saved ? accept() : reject(); });
}

void CEditCardDlg::pickFolders()
{
    CSelCopyFolderDlg dialog(m_app.GetDatabase(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_extraFolders = dialog.checkedFolders();
}

void CEditCardDlg::setUpFields()
{
    // The pages keep the fields they were built with until the editor opens again.
    CFieldSetupDlg dialog(m_app.GetDatabase(), m_prompter, this);
    dialog.exec();
    m_fieldsChanged = m_fieldsChanged || dialog.changed();
}

void CEditCardDlg::updateTitle()
{
    if (m_autoTitleOn)
        m_title->setText(qs(CCardEditor::AutoTitle(m_name->text().toStdString(), m_female->isChecked() ? "女" : "男")));
}

void CEditCardDlg::fill(const CardData& card)
{
    m_phone->setText(qs(card.phone));
    m_name->setText(qs(card.name));
    m_title->setText(qs(card.title));
    (card.sex == "女" ? m_female : m_male)->setChecked(true);
    if (card.birthday.valid)
        m_birthday->setDate(QDate(card.birthday.year, card.birthday.month, card.birthday.day));
    m_lunar->setChecked(card.lunarBirthday);
    const std::string* texts[] = {&card.fax, &card.tel, &card.email, &card.qq, &card.company, &card.post, &card.addr};
    for (std::size_t i = 0; i < std::size(kBasicTexts); ++i)
        m_texts.value(QString::fromLatin1(kBasicTexts[i].column))->setText(qs(*texts[i]));
    const int status = m_status->findText(qs(card.status));
    m_status->setCurrentIndex(status < 0 ? 0 : status);
    m_memos->setPlainText(qs(card.memos));
    for (const auto& [name, value] : card.custom) {
        const QString key = qs(name);
        if (!m_customGrid->isDateItem(key)) {
            m_customGrid->setText(key, qs(value));
            continue;
        }
        const QDate date = QDate::fromString(qs(value), QStringLiteral("yyyy-MM-dd"));
        m_customGrid->setDate(key, date == kEmptyDate ? QDate() : date);
    }
}

CardData CEditCardDlg::collect() const
{
    CardData card;
    card.phone = m_phone->text().trimmed().toStdString();
    card.name = m_name->text().toStdString();
    card.title = m_title->text().toStdString();
    card.sex = m_female->isChecked() ? "女" : "男";
    card.status = m_status->currentText().toStdString();
    card.memos = m_memos->toPlainText().toStdString();
    card.birthday = dateOf(m_birthday->date());
    card.lunarBirthday = m_lunar->isChecked();
    std::string* texts[] = {&card.fax, &card.tel, &card.email, &card.qq, &card.company, &card.post, &card.addr};
    for (std::size_t i = 0; i < std::size(kBasicTexts); ++i)
        *texts[i] = m_texts.value(QString::fromLatin1(kBasicTexts[i].column))->text().toStdString();
    card.folderId = m_folderId;
    for (const QString& key : m_customGrid->keys()) {
        if (!m_customGrid->isDateItem(key)) {
            card.custom[key.toStdString()] = m_customGrid->text(key).toStdString();
            continue;
        }
        const DateTime date = dateOf(m_customGrid->date(key));
        card.custom[key.toStdString()] = date.valid ? date.format("%Y-%m-%d") : std::string(CCardEditor::kEmptyDate);
    }
    return card;
}

void CEditCardDlg::save()
{
    const CardData card = collect();
    long id = m_cardId;
    const CCardEditor::Result result
        = m_newCard ? m_editor.Insert(card, m_custom, id) : m_editor.Update(m_cardId, card, m_custom);
    if (result == CCardEditor::Result::InvalidPhone) {
        m_prompter.information(this, qs(std::string(CCardEditor::kInvalidPhone)));
        return;
    }
    if (result == CCardEditor::Result::Failed) {
        m_prompter.information(
            this, qs(std::string(m_newCard ? CCardEditor::kInsertFailed : CCardEditor::kUpdateFailed)));
        return;
    }
    m_saved = true;
    copyToAdditionalFolders(id);
    if (m_newCard && m_repeat->isChecked()) {
        clearForNext();
        return;
    }
    accept();
}

void CEditCardDlg::copyToAdditionalFolders(long cardId)
{
    CCardStore store(m_app.GetDatabase());
    // The card is saved either way; saving again would only meet its own phone number.
    if (!m_extraFolders.empty() && !store.CopyToFolders({cardId}, m_extraFolders))
        m_prompter.error(this, qs(store.GetLastError()));
}

void CEditCardDlg::clearForNext()
{
    // Birthday, lunar flag, sex and custom dates stay for the next card.
    m_phone->clear();
    m_name->clear();
    m_title->clear();
    m_memos->clear();
    for (QLineEdit* edit : std::as_const(m_texts))
        edit->clear();
    for (const QString& key : m_customGrid->keys()) {
        if (!m_customGrid->isDateItem(key))
            m_customGrid->setText(key, QString());
    }
    m_status->setCurrentIndex(0);
    m_phone->setFocus();
}

} // namespace telvora
