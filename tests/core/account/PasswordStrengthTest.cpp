#include "account/PasswordStrength.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct StrengthCase
{
    const char* name;
    const char* password;
    int points;
    int score;
};

class PasswordStrengthTest : public testing::TestWithParam<StrengthCase>
{
};

TEST_P(PasswordStrengthTest, ScoresAsTheRulesSay)
{
    EXPECT_EQ(PasswordStrengthPoints(GetParam().password), GetParam().points);
    EXPECT_EQ(PasswordStrengthScore(GetParam().password), GetParam().score);
}

INSTANTIATE_TEST_SUITE_P(Examples, PasswordStrengthTest,
    testing::Values(StrengthCase {"eight_lower_letters_too_simple", "abcdefgh", 35, 11},
        StrengthCase {"four_letters_four_digits", "abcd1234", 57, 21},
        StrengthCase {"mixed_case_digits_symbols", "AbCd1234!@", 92, 31}, StrengthCase {"empty", "", 0, 11},
        StrengthCase {"length_four", "abcd", 15, 11}, StrengthCase {"length_five", "abcde", 20, 11},
        StrengthCase {"length_seven", "abcdefg", 20, 11}, StrengthCase {"two_digits_add_ten", "12", 15, 11},
        StrengthCase {"three_digits_add_twenty", "123", 25, 11},
        StrengthCase {"fourth_digit_adds_nothing", "1234", 25, 11},
        StrengthCase {"two_symbols_add_twenty_five", "!@", 30, 11},
        StrengthCase {"third_symbol_adds_nothing", "!@#", 30, 11},
        StrengthCase {"digits_and_letters_bonus", "a1", 27, 11}, StrengthCase {"upper_only", "ABCDEFGH", 35, 11},
        StrengthCase {"score_21_at_50", "abcdefg!@", 60, 21},
        StrengthCase {"chinese_counts_as_symbols", "密码abcdef", 60, 21},
        StrengthCase {"score_31_at_80", "Abcdefg1!@", 82, 31}),
    [](const testing::TestParamInfo<StrengthCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace telvora
