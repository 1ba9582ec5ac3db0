#include "platform/base/Cp1252.h"

#include <gtest/gtest.h>

using namespace sorrel::base;

TEST(Cp1252, EveryByteRoundTripsThroughUtf8)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
    EXPECT_EQ(cp1252_to_utf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(Cp1252, WhatTheCodePageLacksBecomesAQuestionMark)
{
    EXPECT_EQ(utf8_to_cp1252("caf\xC3\xA9.txt"), "caf\xE9.txt");
    EXPECT_EQ(utf8_to_cp1252("\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"), "\x80 \x93q\x94");
    // Cyrillic, an emoji, a lone continuation byte, a cut sequence, an overlong slash, a surrogate.
    EXPECT_EQ(utf8_to_cp1252("\xD0\x96"), "?");
    EXPECT_EQ(utf8_to_cp1252("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(utf8_to_cp1252("a\x80z"), "a?z");
    EXPECT_EQ(utf8_to_cp1252("a\xC3"), "a?");
    EXPECT_EQ(utf8_to_cp1252("\xC0\xAF"), "??");
    EXPECT_EQ(utf8_to_cp1252("\xED\xA0\x80"), "???");
}

TEST(Cp1252, Utf8DecodingStepsOverIllFormedBytesOneAtATime)
{
    EXPECT_EQ(decode_utf8("\xF4\x8F\xBF\xBF").character, char32_t(0x10FFFF));
    EXPECT_EQ(decode_utf8("\xF4\x8F\xBF\xBF").length, 4u);
    EXPECT_FALSE(decode_utf8("\xF4\x90\x80\x80").character);
    EXPECT_EQ(decode_utf8("\xF4\x90\x80\x80").length, 1u);
    EXPECT_EQ(decode_utf8("").length, 0u);
}
