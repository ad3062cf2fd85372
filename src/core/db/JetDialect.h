#pragma once

#include "db/DateTime.h"

#include <string>
#include <string_view>

struct sqlite3;

namespace telvora {

/// Registers on a connection the Jet functions our SQL texts use: CDATE (CDate), NOW,
/// FORMAT(date, pattern), YEAR, MONTH, DAY, HOUR, MINUTE, SECOND, SWITCH, ISDATE, and the
/// two the schema's triggers use: NORMDATE (the stored form of a date text; NULL stays
/// NULL; anything else is an error) and YESNO (1 or 0; an error for a text that names
/// neither). Returns false when SQLite refuses a registration.
bool RegisterJetFunctions(sqlite3* db);

/// Rewrites the Jet syntax SQLite lacks: "SELECT [DISTINCT] TOP n ..." becomes
/// "SELECT [DISTINCT] ... LIMIT n", also inside parenthesised sub-selects. Texts between
/// quotes, brackets and comments are left alone.
std::string RewriteJetSql(std::string_view sql);

/// Jet's Format() of a date: y/yy/yyyy, m/mm/mmm/mmmm, d/dd/ddd/dddd, h/hh, n/nn, s/ss,
/// w, ww, q; an m-run right after an hour token is minutes, anywhere else it is the month
/// (so "yyyy-mm-dd hh:nn:mm" ends in the month, as Jet writes it). A backslash quotes one
/// character, double quotes quote a run; everything else is copied.
std::string FormatJetDate(const DateTime& value, std::string_view pattern);

} // namespace telvora
