#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One line of the statistics: a day ("YYYY-MM-DD") or a month ("YYYY-MM").
struct StatisticsRow
{
    std::string period;
    long total = 0; // success + fail
    long success = 0;
    long fail = 0;
};

/// Sums the send records' counters per day of a month or per month of a year. A
/// scheduled send counts where its scheduled time falls.
class CSendStatistics final
{
public:
    static constexpr int kFirstYear = 2008;

    explicit CSendStatistics(CADODataBase& database);

    /// Newest period first. Empty with the error text when the table cannot be read.
    std::vector<StatisticsRow> ByDay(int year, int month);
    std::vector<StatisticsRow> ByMonth(int year);

    /// The years the lists offer: kFirstYear to the year after currentYear.
    static std::vector<int> Years(int currentYear);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<StatisticsRow> sum(int keyLength, const std::string& from, const std::string& until);

    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
