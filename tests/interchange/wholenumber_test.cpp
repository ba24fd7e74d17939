#include "interchange/wholenumber.h"

#include <gtest/gtest.h>

#include <optional>

TEST(WholeNumber, ReadsDigitsOnlyAndRefusesWhatDoesNotFit)
{
    struct Case {
        const char* text;
        std::uint64_t largest;
        std::optional<std::uint64_t> value;
    };
    const Case cases[] = {
        {"0", UINT64_MAX, 0},
        {"007", UINT64_MAX, 7},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, std::nullopt},
        {"99999999999999999999999999", UINT64_MAX, std::nullopt},
        {"5", 5, 5},
        {"6", 5, std::nullopt},
        {"", UINT64_MAX, std::nullopt},
        {"-1", UINT64_MAX, std::nullopt},
        {"+1", UINT64_MAX, std::nullopt},
        {"12a", UINT64_MAX, std::nullopt},
        {" 1", UINT64_MAX, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wholeNumber(c.text, c.largest), c.value) << c.text;
}

TEST(WholeNumber, ALongRunStopsAtTheCeilingAndSaysSo)
{
    const DigitRun huge = readDigits("99999999999999999999999, 4)", 1000000);
    EXPECT_EQ(huge.value, 1000000u);
    EXPECT_EQ(huge.length, 23u);
    EXPECT_TRUE(huge.overflow);
    const DigitRun exact = readDigits("1000000)", 1000000);
    EXPECT_EQ(exact.value, 1000000u);
    EXPECT_EQ(exact.length, 7u);
    EXPECT_FALSE(exact.overflow);
    const DigitRun none = readDigits("x1", 1000000);
    EXPECT_EQ(none.length, 0u);
}
