#include "engine/kernel/complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>

namespace {

constexpr double pi = std::numbers::pi;
const double notANumber = std::numeric_limits<double>::quiet_NaN();

// The message of the ConversionError that toComplex raises, or "accepted".
std::string refusal(const std::string& text)
{
    try {
        toComplex(text);
    } catch (const ConversionError& error) {
        return error.what();
    }
    return "accepted";
}

}  // namespace

TEST(FuzzyEqual, UsesAnAbsoluteBoundNearZeroAndARelativeBoundForLargeValues)
{
    EXPECT_TRUE(fuzzyEqual({1e-13, 0.0}, {0.0, 0.0}));
    EXPECT_FALSE(fuzzyEqual({1e-11, 0.0}, {0.0, 0.0}));
    EXPECT_TRUE(fuzzyEqual({0.0, 1e-12}, {0.0, 0.0}));
    EXPECT_FALSE(fuzzyEqual({0.0, 3e-12}, {0.0, 0.0}));
    EXPECT_TRUE(fuzzyEqual({1e6, 0.0}, {1e6 + 5e-7, 0.0}));
    EXPECT_FALSE(fuzzyEqual({1e6, 0.0}, {1e6 + 2e-6, 0.0}));
    EXPECT_TRUE(fuzzyEqual({0.0, -1e6}, {0.0, -1e6 - 5e-7}));
    // The relative bound uses the smaller magnitude: 1 against 1 + 2e-12 is not equal.
    EXPECT_FALSE(fuzzyEqual({1.0, 0.0}, {1.0 + 2e-12, 0.0}));
    // Both parts must agree.
    EXPECT_FALSE(fuzzyEqual({1.0, 1.0}, {1.0, -1.0}));
}

TEST(FuzzyEqual, NeverHoldsForNotANumber)
{
    EXPECT_FALSE(fuzzyEqual({notANumber, 0.0}, {notANumber, 0.0}));
    EXPECT_FALSE(fuzzyEqual({0.0, notANumber}, {0.0, 0.0}));
}

TEST(ComplexArithmetic, MultipliesAndDividesWithTheTextbookFormulas)
{
    const Complex a{3.0, -2.0};
    const Complex b{0.5, 4.0};
    const Complex product = a * b;
    EXPECT_EQ(product.re, 3.0 * 0.5 - (-2.0) * 4.0);
    EXPECT_EQ(product.im, 3.0 * 4.0 + (-2.0) * 0.5);
    EXPECT_TRUE(fuzzyEqual(product / b, a));
    const Complex q = Complex{1.0, 0.0} / Complex{0.0, 1.0};
    EXPECT_TRUE(fuzzyEqual(q, {0.0, -1.0}));
    EXPECT_TRUE(fuzzyEqual(timesI(a), Complex{0.0, 1.0} * a));
    EXPECT_TRUE(fuzzyEqual(timesMinusI(a), Complex{0.0, -1.0} * a));
    EXPECT_TRUE(fuzzyEqual(complexSqr(b), b * b));
    EXPECT_TRUE(fuzzyEqual(timesReal(a, -0.5), {-1.5, 1.0}));
    EXPECT_EQ(absSqr(a), 13.0);
    EXPECT_EQ(modulus({3.0, 4.0}), 5.0);
    EXPECT_EQ(absImag(a), 2.0);
}

TEST(ComplexArithmetic, DivisionByANearZeroDivisorIsAnError)
{
    // |b|^2 = 1e-12 exactly at the bound, and below it.
    const Complex one{1.0, 0.0};
    const Complex atBound{1e-6, 0.0};
    const Complex zero{0.0, 0.0};
    const Complex small{5e-7, 5e-7};
    const Complex justAbove{2e-6, 0.0};
    EXPECT_THROW(one / atBound, ConversionError);
    EXPECT_THROW(one / zero, ConversionError);
    EXPECT_THROW(one / small, ConversionError);
    EXPECT_EQ((one / justAbove).re, 500000.0);
}

TEST(ComplexAngle, LiesInTheHalfOpenIntervalUpToPi)
{
    EXPECT_EQ(angle({-1.0, 0.0}), pi);
    // Negating 1 leaves a negative zero imaginary part; still pi, not -pi.
    EXPECT_EQ(angle(-Complex{1.0, 0.0}), pi);
    EXPECT_EQ(angle({-2.0, -0.0}), pi);
    EXPECT_EQ(angle({0.0, 0.0}), 0.0);
    EXPECT_EQ(angle({-0.0, -0.0}), 0.0);
    EXPECT_EQ(angle({-0.0, 0.0}), 0.0);
    EXPECT_DOUBLE_EQ(angle({0.0, -3.0}), -pi / 2);
    EXPECT_DOUBLE_EQ(angle({-1.0, -1e-9}), -pi + 1e-9);
    EXPECT_DOUBLE_EQ(angle(fromPolar(2.0, 2.5)), 2.5);
    EXPECT_DOUBLE_EQ(angle(conjugate(fromPolar(2.0, 2.5))), -2.5);
}

TEST(ComplexSqrt, IsThePrincipalRoot)
{
    const Complex minusFour = complexSqrt({-4.0, 0.0});
    EXPECT_EQ(minusFour.re, 0.0);
    EXPECT_EQ(minusFour.im, 2.0);
    const Complex rootI = complexSqrt({0.0, 1.0});
    EXPECT_TRUE(fuzzyEqual(rootI, {std::sqrt(0.5), std::sqrt(0.5)}));
    const Complex rootMinusI = complexSqrt({0.0, -1.0});
    EXPECT_TRUE(fuzzyEqual(rootMinusI, {std::sqrt(0.5), -std::sqrt(0.5)}));
    EXPECT_TRUE(fuzzyEqual(complexSqrt({-4.0, -0.0}), {0.0, 2.0}));
    // Within 1e-12 of zero the value comes back unchanged.
    const Complex tiny{1e-13, -5e-13};
    EXPECT_EQ(complexSqrt(tiny).re, tiny.re);
    EXPECT_EQ(complexSqrt(tiny).im, tiny.im);

    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> part(-10.0, 10.0);
    for (int i = 0; i < 1000; ++i) {
        const Complex z{part(rng), part(rng)};
        const Complex r = complexSqrt(z);
        EXPECT_GE(r.re, 0.0);
        EXPECT_LT(modulus(complexSqr(r) - z), 1e-13 * (1.0 + modulus(z)));
    }
}

TEST(ToComplex, ReadsTheConstantsAndTheSpacedForms)
{
    struct Case {
        const char* text;
        Complex value;
    };
    const Case cases[] = {
        {"0", {0.0, 0.0}},          {"0+0i", {0.0, 0.0}},        {"1+0i", {1.0, 0.0}},
        {"-1+0i", {-1.0, 0.0}},     {"0-1i", {0.0, -1.0}},       {"0+1i", {0.0, 1.0}},
        {"0+1I", {0.0, 1.0}},       {"1 + 0i", {1.0, 0.0}},      {"0 + 1i", {0.0, 1.0}},
        {"0.5 - 0.25i", {0.5, -0.25}}, {"1E-17 + 0i", {1e-17, 0.0}}, {"  -2.5e+2  ", {-250.0, 0.0}},
        {"+3", {3.0, 0.0}},         {".5-.5i", {0.5, -0.5}},     {"2.-3.i", {2.0, -3.0}},
        {"1e-400", {0.0, 0.0}}, {"-0.0000000000000000000000000001e-300", {-0.0, 0.0}},     {"0 - 1e-330 i", {0.0, -0.0}}, {"1.5E3+2e-3i  ", {1500.0, 0.002}},
    };
    for (const Case& c : cases) {
        const Complex z = toComplex(c.text);
        EXPECT_EQ(z.re, c.value.re) << c.text;
        EXPECT_EQ(z.im, c.value.im) << c.text;
    }
}

TEST(ToComplex, RefusalsNameThePartAndMarkWhereReadingStopped)
{
    EXPECT_EQ(refusal("2i"), "Could not parse required '+' (or '-') symbol [2<?>i]");
    EXPECT_EQ(refusal("i"), "Could not parse real portion [<?>i]");
    EXPECT_EQ(refusal(""), "Could not parse real portion [<?>]");
    EXPECT_EQ(refusal("  "), "Could not parse real portion [  <?>]");
    EXPECT_EQ(refusal("1,5"), "Could not parse required '+' (or '-') symbol [1<?>,5]");
    EXPECT_EQ(refusal(" 1 + xi"), "Could not parse imaginary portion [ 1 + <?>xi]");
    EXPECT_EQ(refusal("1 + -2i"), "Could not parse imaginary portion [1 + <?>-2i]");
    EXPECT_EQ(refusal("1+"), "Could not parse imaginary portion [1+<?>]");
    EXPECT_EQ(refusal("1 + 2"), "Could not parse required 'i' symbol [1 + 2<?>]");
    EXPECT_EQ(refusal("1 + 2j"), "Could not parse required 'i' symbol [1 + 2<?>j]");
    EXPECT_EQ(refusal("1+2i x"), "Unexpected characters [1+2i <?>x]");
    EXPECT_EQ(refusal("1+2ii"), "Unexpected characters [1+2i<?>i]");
    EXPECT_EQ(refusal("1e+"), "Could not parse real portion [<?>1e+]");
    EXPECT_EQ(refusal("-"), "Could not parse real portion [<?>-]");
    EXPECT_EQ(refusal("\t1"), "Could not parse real portion [<?>\t1]");
}

TEST(ToComplex, RefusesValuesThatAreNotFinite)
{
    // They would pass every tolerance test and make garbage look unitary.
    EXPECT_EQ(refusal("nan"), "Could not parse real portion [<?>nan]");
    EXPECT_EQ(refusal("inf"), "Could not parse real portion [<?>inf]");
    EXPECT_EQ(refusal("-INF"), "Could not parse real portion [<?>-INF]");
    EXPECT_EQ(refusal("1e999"), "Could not parse real portion [<?>1e999]");
    EXPECT_EQ(refusal(" 1.8e308+0i"), "Could not parse real portion [ <?>1.8e308+0i]");
    EXPECT_EQ(refusal("0.00001e99999999999999999999"),
              "Could not parse real portion [<?>0.00001e99999999999999999999]");
    EXPECT_EQ(refusal("0+1e999i"), "Could not parse imaginary portion [0+<?>1e999i]");
    EXPECT_EQ(refusal("0 - nani"), "Could not parse imaginary portion [0 - <?>nani]");
    EXPECT_EQ(refusal("1 + infinityi"), "Could not parse imaginary portion [1 + <?>infinityi]");
    // The largest finite values are still numbers.
    EXPECT_EQ(toComplex("1.7976931348623157e308").re, std::numeric_limits<double>::max());
    EXPECT_EQ(toComplex("1000e-326").re, 1e-323);
}

TEST(ToComplex, ReadsBackEveryGeneralText)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 2000; ++i) {
        const Complex z{mantissa(rng) * std::pow(10.0, exponent(rng)), mantissa(rng) * std::pow(10.0, exponent(rng))};
        const std::string text = complexText(z);
        const Complex back = toComplex(text);
        EXPECT_NEAR(back.re, z.re, std::fabs(z.re) * 1e-14) << text;
        EXPECT_NEAR(back.im, z.im, std::fabs(z.im) * 1e-14) << text;
    }
}

TEST(GeneralNumberText, KeepsFifteenDigitsAndSwitchesToScientificAtItsLimits)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {2.0, "2"},
        {-1.0, "-1"},
        {0.5, "0.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456.789, "123456.789"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {-0.00001, "-0.00001"},
        {0.0000099, "9.9E-6"},
        // Below the boundary even when fifteen digits round it up to it.
        {std::nextafter(0.00001, 0.0), "1E-5"},
        {1e-17, "1E-17"},
        {-2.5e-100, "-2.5E-100"},
        {1.0 / 3.0 * 1e-6, "3.33333333333333E-7"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {-1e300, "-1E300"},
        {100.0, "100"},
        {1e14, "100000000000000"},
        {0.1, "0.1"},
        {1.0000000000000002, "1"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(generalNumberText(c.value), c.text) << c.value;
}

TEST(ComplexText, WritesBothPartsWithTheSignOfTheImaginaryPart)
{
    EXPECT_EQ(complexText({0.0, 0.0}), "0 + 0i");
    EXPECT_EQ(complexText({-1.0, 0.0}), "-1 + 0i");
    EXPECT_EQ(complexText({0.0, -1.0}), "0 - 1i");
    EXPECT_EQ(complexText({0.5, 0.25}), "0.5 + 0.25i");
    EXPECT_EQ(complexText({0.0, -0.5}), "0 - 0.5i");
    EXPECT_EQ(complexText({2.0, 0.0}), "2 + 0i");
    EXPECT_EQ(complexText({1e-17, -3e-9}), "1E-17 - 3E-9i");
    // Negative zero is written as zero with a "+".
    EXPECT_EQ(complexText(-Complex{0.0, 0.0}), "0 + 0i");
    EXPECT_EQ(complexText({-0.0, -0.0}), "0 + 0i");
}

TEST(ComplexToText, LeavesOutPartsAtOrBelowTheThreshold)
{
    struct Case {
        Complex value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {{1.0, 0.0}, 2, "1.00"},
        {{0.5, 0.25}, 2, "0.50+0.25i"},
        {{-0.5, -0.25}, 2, "-0.50-0.25i"},
        {{0.005, 0.5}, 2, "0.50i"},
        {{0.0, -1.0}, 2, "-1.00i"},
        {{0.5, -0.25}, 2, "0.50-0.25i"},
        {{1e-3, 0.0}, 2, ""},
        {{0.01, 0.0}, 2, ""},
        {{0.01, -0.01}, 2, ""},
        {{0.011, 0.0}, 2, "0.01"},
        {{std::nextafter(0.01, 1.0), 0.0}, 2, "0.01"},
        {{0.0, -std::nextafter(0.0001, 1.0)}, 4, "-0.0001i"},
        {{-0.011, 0.0}, 2, "-0.01"},
        {{0.0, 0.0100001}, 2, "0.01i"},
        {{-0.0, -0.0}, 2, ""},
        {{0.0001, 0.0}, 4, ""},
        {{0.00011, -0.70710678}, 4, "0.0001-0.7071i"},
        {{12.345678, 3.0}, 4, "12.3457+3.0000i"},
        {{0.7, 0.0}, 0, ""},
        {{1.4, -1.5}, 0, "1-2i"},
        {{-123.456, 0.0}, 1, "-123.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(complexToText(c.value, c.digits), c.text) << c.value.re << " " << c.value.im << " " << c.digits;
}

TEST(ComplexToText, RoundsHalvesAwayFromZero)
{
    // Exact binary halves: the display must not depend on ties-to-even.
    EXPECT_EQ(complexToText({0.125, 0.0}, 2), "0.13");
    EXPECT_EQ(complexToText({0.375, -0.625}, 2), "0.38-0.63i");
    EXPECT_EQ(complexToText({-0.875, 0.0}, 2), "-0.88");
    EXPECT_EQ(complexToText({2.5, 0.0}, 0), "3");
    EXPECT_EQ(complexToText({0.03125, 0.0}, 4), "0.0313");
    // Carries run through every digit.
    EXPECT_EQ(complexToText({9.995, 0.0}, 2), "9.99");  // 9.995 is 9.99499... in binary
    EXPECT_EQ(complexToText({9.9951, 0.0}, 2), "10.00");
    EXPECT_EQ(complexToText({-99.9999, 0.0}, 2), "-100.00");
    // Not a tie: the binary value of 0.015 is just below it.
    EXPECT_EQ(complexToText({0.015, 0.0}, 2), "0.01");
    EXPECT_EQ(complexToText({1e300, 0.0}, 2).size(), 301u + 3u);
}

TEST(ComplexSqrt, SnapsTinyArgumentsWhilePrincipalSqrtDoesNot)
{
    const Complex tiny{1e-20, 0.0};
    EXPECT_EQ(complexSqrt(tiny).re, 1e-20);
    EXPECT_DOUBLE_EQ(principalSqrt(tiny).re, 1e-10);
    const Complex negativeTiny{-4e-20, 0.0};
    EXPECT_DOUBLE_EQ(principalSqrt(negativeTiny).im, 2e-10);
    EXPECT_EQ(principalSqrt(negativeTiny).re, 0.0);
    EXPECT_EQ(principalSqrt(Complex{}).re, 0.0);
    EXPECT_EQ(principalSqrt(Complex{}).im, 0.0);
}
