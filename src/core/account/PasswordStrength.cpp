#include "account/PasswordStrength.h"

#include "service/TextCodec.h"

namespace telvora {

int PasswordStrengthPoints(const std::string& password)
{
    // Only counts matter, never the order: the length marks fall at the 1st, 5th and 8th
    // unit, digits score at their 1st and 3rd, symbols at their 1st and 2nd.
    const int length = static_cast<int>(Utf16Length(password));
    int digits = 0;
    int ascii = 0;
    int asciiSymbols = 0;
    bool upper = false;
    bool lower = false;
    for (const char c : password) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            continue;
        }
        ++ascii;
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c >= 'A' && c <= 'Z') {
            upper = true;
        } else if (c >= 'a' && c <= 'z') {
            lower = true;
        } else {
            ++asciiSymbols;
        }
    }
    const int symbols = asciiSymbols + (length - ascii); // every other unit is a symbol

    int points = (length >= 1 ? 5 : 0) + (length >= 5 ? 5 : 0) + (length >= 8 ? 15 : 0);
    points += (digits >= 1 ? 10 : 0) + (digits >= 3 ? 10 : 0);
    points += (symbols >= 1 ? 10 : 0) + (symbols >= 2 ? 15 : 0);
    if (upper || lower) {
        points += upper && lower ? 20 : 10;
        points += digits > 0 ? 2 : 0;
    }
    return points;
}

int PasswordStrengthScore(const std::string& password)
{
    const int points = PasswordStrengthPoints(password);
    return points >= 80 ? 31 : points >= 50 ? 21 : 11;
}

} // namespace telvora
