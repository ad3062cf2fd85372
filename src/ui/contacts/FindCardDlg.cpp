#include "contacts/FindCardDlg.h"

#include "app/Prompter.h"
#include "contacts/CardSearch.h"
#include "contacts/FieldCatalogue.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace telvora {

namespace {

const QDate kNoDate(1900, 1, 1);

DateTime dateOf(const QDateEdit* edit)
{
    const QDate date = edit->date();
    return date == kNoDate ? DateTime() : DateTime::fromFields(date.year(), date.month(), date.day());
}

QDateEdit* dateEdit(QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setMinimumDate(kNoDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-d"));
    edit->setCalendarPopup(true);
    edit->setDate(kNoDate);
    return edit;
}

// The visible text fields of the form, in the order the clause takes them.
constexpr std::pair<const char*, const char*> kTextFields[]
    = {{"name", "姓  名"}, {"phone", "手  机"}, {"memos", "备  注"}, {"title", "称  呼"}, {"tel", "电  话"},
        {"email", "EMAIL"}, {"company", "单  位"}, {"addr", "地  址"}};

} // namespace

CFindCardDlg::CFindCardDlg(
    CADODataBase& database, Prompter& prompter, long folderId, const QString& folderName, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_folderId(folderId)
    , m_sex(new QButtonGroup(this))
    , m_from(dateEdit(this))
    , m_to(dateEdit(this))
    , m_range(new QCheckBox(QStringLiteral("到"), this))
    , m_monthDay(new QCheckBox(QStringLiteral("按[月/日]查询"), this))
    , m_month(new QCheckBox(QStringLiteral("按[月]查询"), this))
    , m_any(new QRadioButton(QStringLiteral("满足任意条件"), this))
    , m_allFolders(new QRadioButton(QStringLiteral("查询所有目录"), this))
{
    setWindowTitle(QStringLiteral("客户搜索：") + (folderId >= 1 ? folderName : QStringLiteral("所有目录")));
    auto* form = new QFormLayout;
    for (const auto& [column, caption] : kTextFields) {
        auto* edit = new QLineEdit(this);
        m_texts.insert(QString::fromLatin1(column), edit);
        form->addRow(QString::fromUtf8(caption), edit);
    }
    auto* male = new QRadioButton(QStringLiteral("男"), this);
    auto* female = new QRadioButton(QStringLiteral("女"), this);
    m_sex->addButton(male);
    m_sex->addButton(female);
    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(male);
    sexRow->addWidget(female);
    form->addRow(QStringLiteral("性  别"), sexRow);
    auto* birthdayRow = new QHBoxLayout;
    birthdayRow->addWidget(m_from);
    birthdayRow->addWidget(m_range);
    birthdayRow->addWidget(m_to);
    form->addRow(QStringLiteral("生  日"), birthdayRow);
    auto* birthdayOptions = new QHBoxLayout;
    birthdayOptions->addWidget(m_monthDay);
    birthdayOptions->addWidget(m_month);
    form->addRow(QString(), birthdayOptions);
    for (const CardField& field : CFieldCatalogue(database).Load(true)) {
        if (field.type != 2)
            continue;
        auto* edit = new QLineEdit(this);
        m_custom.insert(QString::fromStdString(field.fieldName), edit);
        form->addRow(QString::fromStdString(field.caption), edit);
    }
    auto* all = new QRadioButton(QStringLiteral("满足所有条件"), this);
    all->setChecked(true);
    auto* joins = new QButtonGroup(this);
    joins->addButton(all);
    joins->addButton(m_any);
    auto* current = new QRadioButton(QStringLiteral("查询当前目录"), this);
    auto* scopes = new QButtonGroup(this);
    scopes->addButton(current);
    scopes->addButton(m_allFolders);
    current->setChecked(folderId >= 1);
    current->setEnabled(folderId >= 1);
    m_allFolders->setChecked(folderId < 1);
    auto* options = new QHBoxLayout;
    for (QRadioButton* button : {all, m_any, current, m_allFolders})
        options->addWidget(button);

    m_to->setEnabled(false);
    connect(m_range, &QCheckBox::toggled, m_to, &QWidget::setEnabled);
    connect(m_monthDay, &QCheckBox::toggled, this, [this](bool on) {
        m_month->setEnabled(!on);
        const QString format = on ? QStringLiteral("MM-d") : QStringLiteral("yyyy-MM-d");
        m_from->setDisplayFormat(format);
        m_to->setDisplayFormat(format);
    });
    connect(m_month, &QCheckBox::toggled, this, [this](bool on) {
        m_monthDay->setEnabled(!on);
        const QString format = on ? QStringLiteral("MM") : QStringLiteral("yyyy-MM-d");
        m_from->setDisplayFormat(format);
        m_to->setDisplayFormat(format);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindCardDlg::search);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addWidget(buttons);
}

CardSearchCriteria CFindCardDlg::criteria() const
{
    CardSearchCriteria criteria;
    const std::pair<const char*, std::string*> targets[] = {{"name", &criteria.name}, {"phone", &criteria.phone},
        {"memos", &criteria.memos}, {"title", &criteria.title}, {"tel", &criteria.tel}, {"email", &criteria.email},
        {"company", &criteria.company}, {"addr", &criteria.addr}};
    for (const auto& [column, target] : targets)
        *target = m_texts.value(QString::fromLatin1(column))->text().toStdString();
    if (QAbstractButton* sex = m_sex->checkedButton())
        criteria.sex = sex->text().toStdString();
    criteria.birthdayFrom = dateOf(m_from);
    criteria.birthdayTo = dateOf(m_to);
    criteria.birthdayRange = m_range->isChecked();
    criteria.birthdayMatch = m_monthDay->isChecked() ? CardSearchCriteria::BirthdayMatch::MonthDay
        : m_month->isChecked()                       ? CardSearchCriteria::BirthdayMatch::Month
                                                     : CardSearchCriteria::BirthdayMatch::Date;
    for (auto it = m_custom.begin(); it != m_custom.end(); ++it)
        criteria.custom.emplace_back(it.key().toStdString(), it.value()->text().toStdString());
    criteria.matchAll = !m_any->isChecked();
    criteria.folderId = m_allFolders->isChecked() ? 0 : m_folderId;
    return criteria;
}

void CFindCardDlg::search()
{
    m_clause = BuildCardSearchClause(criteria());
    if (m_clause.empty()) {
        m_prompter.information(this, QString::fromUtf8(kNoSearchCondition));
        return;
    }
    accept();
}

} // namespace telvora
