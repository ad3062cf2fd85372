#include "records/UnsubscribedFilter.h"

#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace telvora {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// Phones type replies with full-width blanks as often as with ASCII ones.
std::string_view TrimReply(std::string_view text)
{
    for (;;) {
        const std::string_view before = text;
        text = TrimAscii(text);
        while (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        }
        while (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
        }
        if (text.size() == before.size()) {
            return text;
        }
    }
}

} // namespace

CUnsubscribedFilter::CUnsubscribedFilter(CADODataBase& database, const CParameterStore& parameters)
    : m_database(database)
    , m_active(std::string(TrimAscii(parameters.Get("SkipUnsubscribed"))) != "0")
{ }

std::size_t CUnsubscribedFilter::Apply(std::vector<std::string>& numbers)
{
    if (!m_active || numbers.empty()) {
        return 0;
    }
    CADORecordset cards(&m_database);
    if (!cards.Open("SELECT DISTINCT phone FROM tbl_card WHERE status = " + SqlQuote(kStatus))) {
        return 0;
    }
    std::unordered_set<std::string> unsubscribed;
    for (; !cards.IsEOF(); cards.MoveNext()) {
        std::string phone;
        cards.GetFieldValue(0, phone);
        unsubscribed.emplace(TrimAscii(phone));
    }
    if (unsubscribed.empty()) {
        return 0;
    }
    const auto kept = std::remove_if(numbers.begin(), numbers.end(),
        [&](const std::string& number) { return unsubscribed.contains(std::string(TrimAscii(number))); });
    const auto removed = static_cast<std::size_t>(numbers.end() - kept);
    numbers.erase(kept, numbers.end());
    return removed;
}

std::string CUnsubscribedFilter::ExcludedMessage(std::size_t count)
{
    return "已排除" + std::to_string(count) + "个退订号码";
}

bool CUnsubscribedFilter::IsOptOutReply(std::string_view text)
{
    static constexpr std::array<std::string_view, 6> kKeywords {"TD", "T", "N", "退订", "取消", "0000"};
    const std::string reply = AsciiUpper(TrimReply(text));
    return std::find(kKeywords.begin(), kKeywords.end(), reply) != kKeywords.end();
}

bool CUnsubscribedFilter::MarkUnsubscribed(CADODataBase& database, const std::string& phone)
{
    return database.Execute(
        "UPDATE tbl_card SET status = " + SqlQuote(kStatus) + " WHERE phone = " + SqlQuote(TrimAscii(phone)));
}

} // namespace telvora
