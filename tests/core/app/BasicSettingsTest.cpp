#include "app/BasicSettings.h"

#include "app/ParameterStore.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(BasicSettingsTest, KeepDaysFromFifteen)
{
    BasicSettings settings;
    settings.keepDays = 14;
    EXPECT_EQ(settings.Validate(), BasicSettings::kKeepTooShort);
    settings.keepDays = 15;
    EXPECT_EQ(settings.Validate(), "");
    settings.addSignature = true;
    settings.signature = "【】";
    EXPECT_EQ(settings.Validate(), BasicSettings::kEmptySignature);
    settings.addSignature = false;
    EXPECT_EQ(settings.Validate(), "");
}

struct TailCase
{
    const char* name;
    const char* stored;
    const char* shown;
};

class SignatureTest : public testing::TestWithParam<TailCase>
{
};

TEST_P(SignatureTest, ShownBetweenBrackets)
{
    CParameterStore parameters;
    parameters.Set("SMSTail", GetParam().stored);
    EXPECT_EQ(BasicSettings::Load(parameters, "", 0).signature, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Tails, SignatureTest,
    testing::Values(TailCase {"Plain", "abc", "【abc】"}, TailCase {"Bracketed", "【abc】", "【abc】"},
        TailCase {"OpenOnly", "【abc", "【【abc】"}, TailCase {"Empty", "", "【】"},
        TailCase {"JustTheBrackets", "【】", "【】"}),
    [](const testing::TestParamInfo<TailCase>& info) { return info.param.name; });

TEST(BasicSettingsTest, ServiceSignatureWinsWithStatusOne)
{
    CParameterStore parameters;
    parameters.Set("SMSTail", "mine");
    const BasicSettings fixed = BasicSettings::Load(parameters, "【Service】", 1);
    EXPECT_TRUE(fixed.signatureFixed);
    EXPECT_TRUE(fixed.addSignature);
    EXPECT_EQ(fixed.signature, "【Service】");
    EXPECT_FALSE(BasicSettings::Load(parameters, "【Service】", 0).signatureFixed);
    fixed.Store(parameters);
    EXPECT_EQ(parameters.Get("SMSTail"), "【Service】");
}

// Stored under the keys the rest of the program reads; storing always hides the tray.
TEST(BasicSettingsTest, StoresEveryValueAndTheTray)
{
    CParameterStore parameters;
    parameters.Set("HideTray", "0");
    BasicSettings settings;
    settings.keepDays = 30;
    settings.stockWarning = true;
    settings.stockWarningAmount = 500;
    settings.incomingSound = true;
    settings.skipUnsubscribed = false;
    settings.Store(parameters);
    std::string stored;
    for (const char* key :
        {"HideTray", "SaveMaxDay", "IsRemainStock", "RemainAmount", "SoundIncome", "SkipUnsubscribed"}) {
        stored += parameters.Get(key) + " ";
    }
    EXPECT_EQ(stored, "1 30 1 500 1 0 ");
    EXPECT_FALSE(BasicSettings::Load(parameters, "", 0).skipUnsubscribed);
}

} // namespace
} // namespace telvora
