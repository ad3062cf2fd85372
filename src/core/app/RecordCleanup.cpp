#include "app/RecordCleanup.h"

#include "db/ADODataBase.h"
#include "db/SqlText.h"

#include <cctype>
#include <cstdio>

namespace telvora {

int CRecordCleanup::KeptDays(const std::string& saveMaxDay)
{
    std::size_t i = 0;
    while (i < saveMaxDay.size() && std::isspace(static_cast<unsigned char>(saveMaxDay[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < saveMaxDay.size() && (saveMaxDay[i] == '+' || saveMaxDay[i] == '-')) {
        negative = saveMaxDay[i] == '-';
        ++i;
    }
    long long days = 0;
    for (; i < saveMaxDay.size() && std::isdigit(static_cast<unsigned char>(saveMaxDay[i])); ++i) {
        days = days * 10 + (saveMaxDay[i] - '0');
        if (days > kMaximumDays) {
            days = kMaximumDays;
        }
    }
    if (negative || days < kMinimumDays) {
        return kMinimumDays;
    }
    return static_cast<int>(days);
}

std::string CRecordCleanup::CutOffDay(const DateTime& now, int days)
{
    const DateTime day = now.addDays(-days);
    char text[32];
    std::snprintf(text, sizeof text, "%d-%d-%d", day.year, day.month, day.day);
    return text;
}

bool CRecordCleanup::Run(CADODataBase& database, const std::string& saveMaxDay, const DateTime& now)
{
    const std::string day = SqlQuote(CutOffDay(now, KeptDays(saveMaxDay)));
    for (const char* table : {"tbl_sendsms", "tbl_sendsms_detail"}) {
        const std::string sql = std::string("DELETE FROM ") + table + " WHERE send_time <= CDATE(" + day + ")";
        if (!database.Execute(sql)) {
            m_lastError = database.GetLastError();
            return false;
        }
    }
    return true;
}

} // namespace telvora
