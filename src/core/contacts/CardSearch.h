#pragma once

#include "db/DateTime.h"

#include <string>
#include <utility>
#include <vector>

namespace telvora {

/// What the search dialog was given. Empty texts and null dates give no condition.
struct CardSearchCriteria
{
    std::string name;
    std::string phone;
    std::string status;
    std::string memos;
    std::string title;
    std::string fax;
    std::string tel;
    std::string email;
    std::string qq;
    std::string company;
    std::string post;
    std::string addr;
    std::string sex; // "男", "女" or empty
    DateTime createDate;

    enum class BirthdayMatch { Date, MonthDay, Month };
    DateTime birthdayFrom;
    DateTime birthdayTo; // used only with birthdayRange
    bool birthdayRange = false;
    BirthdayMatch birthdayMatch = BirthdayMatch::Date;

    /// Custom text fields: column name and text.
    std::vector<std::pair<std::string, std::string>> custom;

    bool matchAll = true; // "满足所有条件"; false: "满足任意条件"
    long folderId = 0; // "查询当前目录" with this folder when above 0
};

/// The WHERE clause of the card search, beginning with " WHERE ", or empty when the
/// criteria hold no condition ("请先选择一个查询条件再搜索!"). Texts match anywhere in the
/// column, taken literally ("%" and "_" are no wildcards). A folder scope encloses every
/// condition and takes in the folder's copies; birthday ranges include both ends, and a
/// month/day range whose end comes before its start runs over the new year.
std::string BuildCardSearchClause(const CardSearchCriteria& criteria);

inline constexpr const char* kNoSearchCondition = "请先选择一个查询条件再搜索!";

} // namespace telvora
