#pragma once

#include "contacts/FieldCatalogue.h"
#include "db/DateTime.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CADODataBase;
class CNextCardId;

/// The columns of one card as the editor shows them.
struct CardData
{
    std::string phone;
    std::string name;
    std::string title;
    std::string sex = "男";
    std::string status = "订阅";
    std::string memos;
    DateTime birthday; // the null date: no birthday
    bool lunarBirthday = false;
    std::string fax;
    std::string tel;
    std::string email;
    std::string qq;
    std::string company;
    std::string post;
    std::string addr;
    DateTime createDate; // shown only; set by the insert
    long folderId = 0;
    /// Custom field values by column name: texts, and dates as "YYYY-MM-DD" where empty or
    /// "1900-01-01" mean no date.
    std::map<std::string, std::string> custom;
};

/// The editor's statements: reading a card, inserting a new one and updating one. Every
/// text goes into the database as typed (bound, never spliced into the SQL).
class CCardEditor final
{
public:
    enum class Result { Saved, InvalidPhone, Failed };

    static constexpr std::string_view kInvalidPhone
        = "手机号码格式不正确(小灵通为11或12位0开头,移动/联通为11位13开头)，请重新输入!";
    static constexpr std::string_view kInsertFailed = "添加客户资料失败，手机号码不能重复!";
    static constexpr std::string_view kUpdateFailed = "更新客户资料失败，手机号码不能重复!";
    /// The value of an empty custom date item.
    static constexpr std::string_view kEmptyDate = "1900-01-01";

    CCardEditor(CADODataBase& database, CNextCardId& nextCardId);

    /// False when there is no such card.
    bool Load(long cardId, const std::vector<CardField>& customFields, CardData& card);
    /// A new card in card.folderId with the values of customFields; newId is its id. The
    /// next card id is used up even when the insert fails.
    Result Insert(const CardData& card, const std::vector<CardField>& customFields, long& newId);
    /// Changes everything but the folder.
    Result Update(long cardId, const CardData& card, const std::vector<CardField>& customFields);

    /// The automatic form of address: the first character of the name followed by "先生"
    /// for "男" and "小姐" otherwise; empty for an empty name.
    static std::string AutoTitle(std::string_view name, std::string_view sex);

    const std::string& GetLastError() const { return m_lastError; }

private:
    Result save(
        const std::string& sql, const CardData& card, const std::vector<CardField>& customFields, long id, bool insert);

    CADODataBase& m_database;
    CNextCardId& m_nextCardId;
    std::string m_lastError;
};

} // namespace telvora
