#include "platform/host/PropertyBag.h"
#include "platform/host/StdFont.h"
#include "platform/host/Variant.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace sorrel::host;

TEST(Variant, KeepsTheTypeItWasGivenIn)
{
    EXPECT_EQ(Variant(int16_t(5)).type(), VariantType::Integer);
    EXPECT_EQ(Variant(5).type(), VariantType::Long);
    EXPECT_EQ(Variant(2.5f).type(), VariantType::Single);
    EXPECT_EQ(Variant(2.5).type(), VariantType::Double);
    EXPECT_EQ(Variant(true).type(), VariantType::Boolean);
    EXPECT_EQ(Variant("x").type(), VariantType::String);
    EXPECT_EQ(Variant().type(), VariantType::Empty);
    EXPECT_TRUE(Variant(0x00FF00FFu).is_color());
    EXPECT_EQ(Variant(0x8000000Fu).to_color(), 0x8000000Fu);
}

TEST(Variant, ConvertsAsTheBasicRuntime)
{
    // Rounding half to even.
    EXPECT_EQ(Variant(2.5).to_long(), 2);
    EXPECT_EQ(Variant(3.5).to_long(), 4);
    EXPECT_EQ(Variant(-2.5).to_integer(), -2);
    EXPECT_EQ(Variant(0.5f).to_integer(), 0);
    // Booleans are -1 / 0.
    EXPECT_EQ(Variant(true).to_long(), -1);
    EXPECT_EQ(Variant(true).to_boolean16(), -1);
    EXPECT_EQ(Variant(false).to_integer(), 0);
    EXPECT_TRUE(Variant(7).to_bool());
    EXPECT_EQ(Variant(true).to_string(), "True");
    // Strings.
    EXPECT_EQ(Variant("12").to_long(), 12);
    EXPECT_EQ(Variant(" 3.5 ").to_double(), 3.5);
    EXPECT_EQ(Variant("&H80").to_long(), 128);
    EXPECT_EQ(Variant("&HFFFF").to_integer(), -1);
    EXPECT_EQ(Variant("&HFF0000").to_long(), 0xFF0000);
    EXPECT_TRUE(Variant("True").to_bool());
    EXPECT_EQ(Variant(42).to_string(), "42");
    EXPECT_EQ(Variant(8.25).to_string(), "8.25");
    // Empty is 0 and "".
    EXPECT_EQ(Variant().to_long(), 0);
    EXPECT_EQ(Variant().to_string(), "");
}

// Sizes round halves to even; twips become pixels with halves away from zero. Values no
// measure can have saturate instead of overflowing.
TEST(Rounding, HalvesGoWhereTheRuntimeSendsThem)
{
    EXPECT_EQ(round_half_even(2.5), 2.0);
    EXPECT_EQ(round_half_even(-3.5), -4.0);
    EXPECT_EQ(round_half_even(1e300), 1e300);
    EXPECT_TRUE(std::isnan(round_half_even(NAN)));
    EXPECT_EQ(to_int_half_even(32.5), 32);
    EXPECT_EQ(to_int_half_even(33.5), 34);
    EXPECT_EQ(to_int_half_even(3e10), INT32_MAX);
    EXPECT_EQ(to_int_half_even(-3e10), INT32_MIN);
    EXPECT_EQ(to_int_half_even(NAN), 0);
    EXPECT_EQ(to_int_half_away(22.5), 23);
    EXPECT_EQ(to_int_half_away(-22.5), -23);
    EXPECT_EQ(to_int_half_away(0.49999999999999994), 0);
    EXPECT_EQ(to_int_half_away(-0.49999999999999994), 0);
    EXPECT_EQ(to_int_half_away(2147483646.6), INT32_MAX);
    EXPECT_EQ(to_int_half_away(1e20), INT32_MAX);
    EXPECT_EQ(to_int_half_away(-1e20), INT32_MIN);
    EXPECT_EQ(to_int_half_away(NAN), 0);
}

TEST(Variant, ConversionFaultsAreCatchableErrors)
{
    EXPECT_THROW(Variant(40000).to_integer(), VariantError);
    EXPECT_THROW(Variant(3e9).to_long(), VariantError);
    EXPECT_THROW(Variant("twelve").to_long(), VariantError);
    EXPECT_THROW(Variant("").to_long(), VariantError);
    EXPECT_THROW(Variant("0x10").to_long(), VariantError);
    EXPECT_THROW(Variant("nan").to_double(), VariantError);
    EXPECT_THROW(Variant(StdFont::create()).to_long(), VariantError);
    EXPECT_THROW(Variant(5).to_font(), VariantError);
    EXPECT_EQ(Variant(32767).to_integer(), 32767);
    EXPECT_EQ(Variant(-32768.4).to_integer(), -32768);
}

TEST(Variant, ComparesAsThePropertyStoreDoes)
{
    EXPECT_EQ(Variant(int16_t(0)), Variant(0));
    EXPECT_EQ(Variant(100), Variant(100.0));
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_EQ(Variant(), Variant(0));
    EXPECT_EQ(Variant(), Variant(""));
    EXPECT_EQ(Variant(), Variant(false));
    EXPECT_NE(Variant("Remove"), Variant("remove"));
    EXPECT_NE(Variant("x"), Variant(0));
    auto a = StdFont::create("Arial", 8.25);
    auto b = StdFont::create("arial", 8.25);
    EXPECT_EQ(Variant(a), Variant(b));
    b->Bold(true);
    EXPECT_NE(Variant(a), Variant(b));
    EXPECT_NE(Variant(a), Variant(0));
}

TEST(PropertyBag, KeysMatchWithoutCaseAndTheFirstEntryWins)
{
    PropertyBag bag;
    bag.add("caption", "Remove");
    bag.add("Caption", "Other");
    bag.add("progresslook", 2);
    EXPECT_EQ(bag.ReadProperty("CAPTION").to_string(), "Remove");
    EXPECT_EQ(bag.ReadProperty("ProgressLook", 0).to_long(), 2);
    EXPECT_EQ(bag.ReadProperty("Missing", 100).to_long(), 100);
    EXPECT_TRUE(bag.ReadProperty("Missing").is_empty());
    EXPECT_EQ(bag.count("caption"), 2u);
}

TEST(PropertyBag, WritesSkipDefaultsAndKeepDuplicates)
{
    PropertyBag bag;
    bag.WriteProperty("Value", 0, 0); // equal to its default: not stored
    bag.WriteProperty("Max", int16_t(100), 100); // equal across numeric types
    bag.WriteProperty("Caption", "Remove", "Check1");
    bag.WriteProperty("Caption", "Remove", "ChkOld"); // a second entry for the same key
    bag.WriteProperty("ForeColor", 0u, Variant()); // an Empty default equals 0
    bag.WriteProperty("Enabled", false, true);
    bag.WriteProperty("BTYPE", 3); // no default: always stored
    bag.WriteProperty("TX", "");
    ASSERT_EQ(bag.size(), 5u);
    EXPECT_EQ(bag.entries()[0].key, "Caption");
    EXPECT_EQ(bag.entries()[1].key, "Caption");
    EXPECT_EQ(bag.entries()[2].value.type(), VariantType::Boolean);
    EXPECT_EQ(bag.entries()[2].value.to_boolean16(), 0);
    EXPECT_EQ(bag.entries()[3].value.type(), VariantType::Long);
    EXPECT_EQ(bag.entries()[4].value.type(), VariantType::String);
}

TEST(StdFont, SettersNotifyWhatChangedAndSubscriptionsEnd)
{
    auto font = StdFont::create("Times New Roman", 8.25);
    std::vector<std::string> seen;
    {
        auto subscription = font->subscribe([&](const std::string& name) { seen.push_back(name); });
        font->Bold(true);
        font->Bold(true); // no change, no notice
        font->Size(12);
        font->Name("Arial");
        font->Italic(true);
        font->Underline(true);
        font->Strikethrough(true);
        font->Charset(2);
        font->Weight(400);
    }
    font->Italic(false);
    EXPECT_EQ(seen,
        (std::vector<std::string> {
            "Bold", "Size", "Name", "Italic", "Underline", "Strikethrough", "Charset", "Weight"}));
    EXPECT_FALSE(font->Bold());
    EXPECT_EQ(font->Size(), 12.0);
}

TEST(StdFont, KeepsSizesAsDecimalsAndClonesIndependently)
{
    auto font = StdFont::create("MS Sans Serif", 8.25);
    EXPECT_EQ(font->Size(), 8.25);
    font->Size(-1); // refused
    EXPECT_EQ(font->Size(), 8.25);
    font->Weight(700);
    EXPECT_TRUE(font->Bold());
    auto copy = font->clone();
    EXPECT_TRUE(copy->same_as(*font));
    copy->Italic(true);
    EXPECT_FALSE(font->Italic());
    auto lf = font->to_logfont(15);
    EXPECT_EQ(lf.lfHeight, -11); // 8.25 pt * 20 / 15 = 11 pixels
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
}

TEST(StdFont, AFontOutlivingItsSubscriberOrTheReverseIsSafe)
{
    StdFont::Subscription outlives;
    {
        auto font = StdFont::create();
        outlives = font->subscribe([](const std::string&) {});
    }
    outlives.reset(); // the font is gone: nothing to undo
    auto font = StdFont::create();
    int calls = 0;
    auto s = std::make_unique<StdFont::Subscription>(font->subscribe([&](const std::string&) { ++calls; }));
    s.reset();
    font->Bold(true);
    EXPECT_EQ(calls, 0);
}
