#include "contacts/CardSearch.h"

#include "db/SqlText.h"
#include "session/TextUtil.h"

#include <cstdio>

namespace telvora {

namespace {

// A LIKE pattern that finds text anywhere, with the wildcards in text taken literally.
std::string containsPattern(std::string_view text)
{
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return SqlQuote(pattern + "%") + " ESCAPE '\\'";
}

std::string twoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.2d", value);
    return text;
}

std::string dateLiteral(const DateTime& date)
{
    return "CDATE('" + std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day)
        + "')";
}

// The whole day of date, whatever time of day the column holds.
std::string onDay(const std::string& column, const DateTime& date)
{
    return "(" + column + " >= " + dateLiteral(date) + " AND " + column + " < " + dateLiteral(date.addDays(1)) + ")";
}

std::string birthdayCondition(const CardSearchCriteria& criteria)
{
    const DateTime& from = criteria.birthdayFrom;
    const bool range = criteria.birthdayRange && criteria.birthdayTo.valid;
    const DateTime& to = criteria.birthdayTo;
    using Match = CardSearchCriteria::BirthdayMatch;
    if (criteria.birthdayMatch == Match::Date) {
        if (!range)
            return onDay("birtyday", from);
        return "(birtyday >= " + dateLiteral(from) + " AND birtyday < " + dateLiteral(to.addDays(1)) + ")";
    }
    const bool monthDay = criteria.birthdayMatch == Match::MonthDay;
    const std::string expression = monthDay ? "FORMAT(birtyday, 'mmdd')" : "FORMAT(birtyday, 'mm')";
    const auto key = [monthDay](const DateTime& date) {
        std::string text = "'";
        text += twoDigits(date.month) + (monthDay ? twoDigits(date.day) : std::string()) + "'";
        return text;
    };
    if (!range)
        return expression + " = " + key(from);
    const bool wraps = key(to) < key(from);
    return "(" + expression + " >= " + key(from) + (wraps ? " OR " : " AND ") + expression + " <= " + key(to) + ")";
}

} // namespace

std::string BuildCardSearchClause(const CardSearchCriteria& criteria)
{
    std::vector<std::string> conditions;
    const std::pair<const char*, const std::string*> texts[] = {{"name", &criteria.name}, {"phone", &criteria.phone},
        {"status", &criteria.status}, {"memos", &criteria.memos}, {"title", &criteria.title}, {"fax", &criteria.fax},
        {"tel", &criteria.tel}, {"email", &criteria.email}, {"qq", &criteria.qq}, {"company", &criteria.company},
        {"post", &criteria.post}, {"addr", &criteria.addr}, {"sex", &criteria.sex}};
    for (const auto& [column, text] : texts) {
        if (!text->empty())
            conditions.push_back(std::string(column) + " LIKE " + containsPattern(*text));
    }
    if (criteria.createDate.valid)
        conditions.push_back(onDay("create_date", criteria.createDate));
    if (criteria.birthdayFrom.valid)
        conditions.push_back(birthdayCondition(criteria));
    for (const auto& [column, text] : criteria.custom) {
        const std::string_view trimmed = TrimAscii(text);
        if (!trimmed.empty())
            conditions.push_back(column + " LIKE " + containsPattern(trimmed));
    }
    if (conditions.empty())
        return {};

    std::string joined;
    for (const std::string& condition : conditions) {
        if (!joined.empty())
            joined += criteria.matchAll ? " AND " : " OR ";
        joined += condition;
    }
    if (criteria.folderId < 1)
        return " WHERE " + joined;
    const std::string folder = std::to_string(criteria.folderId);
    return " WHERE (" + joined + ") AND (folder_id = " + folder
        + " OR id IN (SELECT card_id FROM tbl_card_copy WHERE folder_id=" + folder + "))";
}

} // namespace telvora
