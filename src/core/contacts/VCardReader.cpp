#include "contacts/VCardReader.h"

#include "send/TextFileDecoder.h"
#include "session/TextUtil.h"

#include <algorithm>

namespace telvora {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string decodeQuotedPrintable(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 && hexValue(value[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
            i += 2;
        } else if (value[i] != '=' || i + 1 < value.size()) {
            out += value[i];
        }
    }
    return out;
}

// Splits a structured value at the separators that are not escaped, and unescapes the parts.
std::vector<std::string> splitValue(std::string_view value, char separator)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            parts.back() += next == 'n' || next == 'N' ? '\n' : next;
        } else if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string joinParts(const std::vector<std::string>& parts, std::string_view glue)
{
    std::string out;
    for (const std::string& part : parts) {
        const std::string_view trimmed = TrimAscii(part);
        if (trimmed.empty())
            continue;
        if (!out.empty())
            out += glue;
        out += trimmed;
    }
    return out;
}

struct Property
{
    std::string name; // upper case, without a group prefix
    std::string parameters; // upper case
    std::string value; // decoded, still escaped
};

bool quotedPrintable(const std::string& parameters)
{
    return parameters.find("QUOTED-PRINTABLE") != std::string::npos;
}

Property parseLine(std::string_view line)
{
    Property property;
    bool quoted = false;
    std::size_t colon = std::string_view::npos;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon == std::string_view::npos)
        return property;
    const std::string head = AsciiUpper(line.substr(0, colon));
    const auto semicolon = head.find(';');
    property.name = head.substr(0, semicolon);
    if (const auto dot = property.name.rfind('.'); dot != std::string::npos)
        property.name.erase(0, dot + 1);
    property.parameters = semicolon == std::string::npos ? std::string() : head.substr(semicolon);
    std::string value(line.substr(colon + 1));
    if (quotedPrintable(property.parameters)) {
        value = decodeQuotedPrintable(value);
        const bool gbk = property.parameters.find("CHARSET=GB") != std::string::npos;
        if (gbk) {
            std::string converted;
            CTextFileDecoder decoder(TextEncoding::Gbk);
            decoder.feed(value, converted);
            decoder.finish(converted);
            value = std::move(converted);
        }
    }
    property.value = std::move(value);
    return property;
}

// Physical lines to logical ones: folded lines continue with a blank or tab, and
// quoted-printable values continue after a "=" at the end of a line.
std::vector<std::string> logicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    bool softBreak = false;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        if (softBreak && !lines.empty()) {
            lines.back().pop_back(); // the "="
            lines.back() += line;
        } else if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.push_back(std::move(line));
        }
        const std::string& last = lines.back();
        softBreak = !last.empty() && last.back() == '=' && quotedPrintable(AsciiUpper(last.substr(0, last.find(':'))));
        if (end == text.size())
            break;
    }
    return lines;
}

} // namespace

std::vector<VCardContact> ParseVCards(std::string_view bytes)
{
    std::vector<VCardContact> contacts;
    const std::string text = CTextFileDecoder::decode(bytes);
    bool inside = false;
    VCardContact contact;
    std::string structuredName;
    for (const std::string& line : logicalLines(text)) {
        const Property property = parseLine(line);
        const std::string value = AsciiUpper(TrimAscii(property.value));
        if (property.name == "BEGIN" && value == "VCARD") {
            inside = true;
            contact = {};
            structuredName.clear();
        } else if (property.name == "END" && value == "VCARD" && inside) {
            inside = false;
            if (contact.name.empty())
                contact.name = structuredName;
            contacts.push_back(std::move(contact));
        } else if (!inside) {
            continue;
        } else if (property.name == "FN") {
            contact.name = joinParts(splitValue(property.value, '\0'), " ");
        } else if (property.name == "N") {
            // Family name first, as Chinese names are written.
            const auto parts = splitValue(property.value, ';');
            structuredName = joinParts({parts.size() > 0 ? parts[0] : "", parts.size() > 1 ? parts[1] : ""}, "");
        } else if (property.name == "TEL") {
            const std::string phone = joinParts(splitValue(property.value, '\0'), "");
            if (!phone.empty())
                contact.phones.push_back(phone);
        } else if (property.name == "EMAIL" && contact.email.empty()) {
            contact.email = joinParts(splitValue(property.value, '\0'), "");
        } else if (property.name == "ORG") {
            contact.organisation = joinParts(splitValue(property.value, ';'), " ");
        } else if (property.name == "BDAY") {
            contact.birthday = joinParts(splitValue(property.value, '\0'), "");
        }
    }
    return contacts;
}

std::string VCardPhoneNumber(std::string_view value)
{
    std::string digits;
    for (const char c : value) {
        if (c != ' ' && c != '-' && c != '(' && c != ')')
            digits += c;
    }
    if (value.starts_with("tel:") || value.starts_with("TEL:"))
        digits.erase(0, 4);
    for (const std::string_view prefix : {"+86", "0086"}) {
        if (digits.starts_with(prefix) && digits.size() == prefix.size() + 11)
            return digits.substr(prefix.size());
    }
    return digits;
}

} // namespace telvora
