#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// One contact of a vCard file, as far as cards use it.
struct VCardContact
{
    std::string name;
    std::vector<std::string> phones; // every TEL value, as written
    std::string email; // the first EMAIL
    std::string organisation; // ORG, its parts joined by blanks
    std::string birthday; // BDAY as written ("1990-05-03", "19900503", "--0503" ...)
};

/// Reads vCard 2.1, 3.0 and 4.0 files as phones and mail programs export them: folded
/// lines, quoted-printable values with their charset (UTF-8 or GBK), escaped commas and
/// semicolons. Text in UTF-8 or GBK. Anything else in the file is passed over.
std::vector<VCardContact> ParseVCards(std::string_view bytes);

/// The 11-digit mobile number in a TEL value ("+86 138-0013-8000" gives "13800138000"),
/// or the value without blanks and dashes when it is no such number.
std::string VCardPhoneNumber(std::string_view value);

} // namespace telvora
