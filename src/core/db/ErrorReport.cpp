#include "db/ErrorReport.h"

#include <cstdio>
#include <sqlite3.h>

namespace telvora {

std::string BuildErrorReport(std::string_view who, int code, std::string_view source, std::string_view description)
{
    char number[32];
    std::snprintf(number, sizeof number, "%08lx", static_cast<unsigned long>(static_cast<unsigned int>(code)));
    const char* meaning = sqlite3_errstr(code);
    std::string report;
    report.append(who).append(" Error\n\tCode = ").append(number);
    report.append("\n\tCode meaning = ").append(meaning ? meaning : "unknown error");
    report.append("\n\tSource = ").append(source);
    report.append("\n\tDescription = ").append(description).append("\n");
    return report;
}

} // namespace telvora
