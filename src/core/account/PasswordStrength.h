#pragma once

#include <string>

namespace telvora {

/// The points of a password (UTF-8): length 5 for 1 to 4 characters, 10 for 5 to 7, 25 for
/// 8 or more; digits 10 for the first and 10 more for the third; symbols 10 for the first
/// and 15 more for the second; letters 10 of one case, 20 of both; 2 for digits with
/// letters. Characters are UTF-16 units; one outside ASCII counts as a symbol.
int PasswordStrengthPoints(const std::string& password);

/// The score shown and checked: 31 from 80 points, 21 from 50, else 11.
int PasswordStrengthScore(const std::string& password);

/// The lowest score a new password may have.
inline constexpr int kStrongPasswordScore = 21;

} // namespace telvora
