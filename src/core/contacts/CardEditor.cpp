#include "contacts/CardEditor.h"

#include "app/NextCardId.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "send/SmsRules.h"
#include "session/TextUtil.h"

namespace telvora {

namespace {

// The basic columns in the order both statements bind them.
constexpr const char* kBasicColumns[]
    = {"phone", "name", "title", "sex", "status", "memos", "fax", "tel", "email", "qq", "company", "post", "addr"};

std::vector<std::string> basicValues(const CardData& card)
{
    return {std::string(TrimAscii(card.phone)), card.name, card.title, card.sex, card.status, card.memos, card.fax,
        card.tel, card.email, card.qq, card.company, card.post, card.addr};
}

bool bindDate(CPreparedStatement& statement, int index, const DateTime& date)
{
    return date.valid ? statement.BindText(index, date.toString()) : statement.BindNull(index);
}

std::size_t utf8CharLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

CCardEditor::CCardEditor(CADODataBase& database, CNextCardId& nextCardId)
    : m_database(database)
    , m_nextCardId(nextCardId)
{ }

bool CCardEditor::Load(long cardId, const std::vector<CardField>& customFields, CardData& card)
{
    card = {};
    CADORecordset recordset(&m_database);
    if (!recordset.Open("SELECT * FROM tbl_card where id=" + std::to_string(cardId)) || recordset.IsEOF()) {
        m_lastError = recordset.GetLastError();
        return false;
    }
    std::string* texts[] = {&card.phone, &card.name, &card.title, &card.sex, &card.status, &card.memos, &card.fax,
        &card.tel, &card.email, &card.qq, &card.company, &card.post, &card.addr};
    for (std::size_t i = 0; i < std::size(kBasicColumns); ++i)
        recordset.GetFieldValue(kBasicColumns[i], *texts[i]);
    if (card.sex != "女")
        card.sex = "男";
    recordset.GetFieldValue("birtyday", card.birthday);
    recordset.GetFieldValue("isll", card.lunarBirthday);
    recordset.GetFieldValue("create_date", card.createDate);
    recordset.GetFieldValue("folder_id", card.folderId);
    for (const CardField& field : customFields) {
        std::string value;
        recordset.GetFieldValue(field.fieldName, value, "%Y-%m-%d");
        card.custom[field.fieldName] = value;
    }
    return true;
}

CCardEditor::Result CCardEditor::Insert(const CardData& card, const std::vector<CardField>& customFields, long& newId)
{
    newId = 0;
    if (ClassifyMobileNumber(TrimAscii(card.phone)) == Carrier::Invalid)
        return Result::InvalidPhone;
    newId = m_nextCardId.Take(m_database);
    std::string columns = "INSERT INTO tbl_card (id, create_date, folder_id, birtyday, isll";
    std::string values = ") VALUES (?, Now(), ?, ?, ?";
    for (const char* column : kBasicColumns) {
        columns += std::string(", ") + column;
        values += ", ?";
    }
    for (const CardField& field : customFields) {
        columns += ", " + field.fieldName;
        values += ", ?";
    }
    return save(columns + values + ")", card, customFields, newId, true);
}

CCardEditor::Result CCardEditor::Update(long cardId, const CardData& card, const std::vector<CardField>& customFields)
{
    if (ClassifyMobileNumber(TrimAscii(card.phone)) == Carrier::Invalid)
        return Result::InvalidPhone;
    std::string sql = "UPDATE tbl_card SET birtyday=?, isll=?";
    for (const char* column : kBasicColumns)
        sql += std::string(", ") + column + "=?";
    for (const CardField& field : customFields)
        sql += ", " + field.fieldName + "=?";
    return save(sql + " WHERE ID=?", card, customFields, cardId, false);
}

CCardEditor::Result CCardEditor::save(
    const std::string& sql, const CardData& card, const std::vector<CardField>& customFields, long id, bool insert)
{
    CPreparedStatement statement(&m_database);
    int index = 1;
    bool ok = statement.Prepare(sql);
    if (insert)
        ok = ok && statement.BindInt(index++, id) && statement.BindInt(index++, card.folderId);
    ok = ok && bindDate(statement, index++, card.birthday) && statement.BindInt(index++, card.lunarBirthday ? 1 : 0);
    for (const std::string& value : basicValues(card))
        ok = ok && statement.BindText(index++, value);
    for (const CardField& field : customFields) {
        const auto found = card.custom.find(field.fieldName);
        const std::string value = found == card.custom.end() ? std::string() : found->second;
        if (field.isDate())
            ok = ok && bindDate(statement, index++, value == kEmptyDate ? DateTime() : DateTime::parse(value));
        else
            ok = ok && statement.BindText(index++, value);
    }
    if (!insert)
        ok = ok && statement.BindInt(index, id);
    if (!ok || !statement.Execute()) {
        m_lastError = statement.GetLastError();
        return Result::Failed;
    }
    return Result::Saved;
}

std::string CCardEditor::AutoTitle(std::string_view name, std::string_view sex)
{
    if (name.empty())
        return {};
    const std::size_t length = std::min(name.size(), utf8CharLength(static_cast<unsigned char>(name.front())));
    return std::string(name.substr(0, length)) + (sex == "男" ? "先生" : "小姐");
}

} // namespace telvora
