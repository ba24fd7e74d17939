#include "engine/kernel/complex.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

Complex operator/(Complex a, Complex b)
{
    const double d = b.re * b.re + b.im * b.im;
    if (d <= 1e-12)
        throw ConversionError("Division by zero");
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

Complex complexSqrt(Complex z)
{
    if (std::fabs(z.re) <= 1e-12 && std::fabs(z.im) <= 1e-12)
        return z;
    return principalSqrt(z);
}

Complex principalSqrt(Complex z)
{
    if (z.re == 0.0 && z.im == 0.0)
        return {};
    const double m = modulus(z);
    if (z.re > 0) {
        const double t = m + z.re;
        return {std::sqrt(t / 2.0), z.im / std::sqrt(2.0 * t)};
    }
    const double t = m - z.re;
    const double a = std::sqrt(t / 2.0);
    return {std::fabs(z.im) / std::sqrt(2.0 * t), z.im >= 0 ? a : -a};
}

static bool nearlyEqual(double x, double y)
{
    const double eps = std::max(1e-12, 1e-12 * std::min(std::fabs(x), std::fabs(y)));
    return std::fabs(x - y) <= eps;
}

bool fuzzyEqual(Complex a, Complex b)
{
    return nearlyEqual(a.re, b.re) && nearlyEqual(a.im, b.im);
}

namespace {

// Reads the text of one complex number, keeping the position for messages.
class ComplexParser {
public:
    explicit ComplexParser(std::string_view text) : text_(text) {}

    Complex parse()
    {
        skipBlanks();
        const double re = number(true, "Could not parse real portion");
        skipBlanks();
        if (atEnd())
            return {re, 0.0};
        const char sign = text_[pos_];
        if (sign != '+' && sign != '-')
            fail("Could not parse required '+' (or '-') symbol");
        ++pos_;
        skipBlanks();
        double im = number(false, "Could not parse imaginary portion");
        if (sign == '-')
            im = -im;
        skipBlanks();
        if (atEnd() || (text_[pos_] != 'i' && text_[pos_] != 'I'))
            fail("Could not parse required 'i' symbol");
        ++pos_;
        skipBlanks();
        if (!atEnd())
            fail("Unexpected characters");
        return {re, im};
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;

    bool atEnd() const { return pos_ >= text_.size(); }
    void skipBlanks()
    {
        while (!atEnd() && text_[pos_] == ' ')
            ++pos_;
    }
    bool digitAt(std::size_t p) const { return p < text_.size() && text_[p] >= '0' && text_[p] <= '9'; }

    [[noreturn]] void fail(const char* what) const
    {
        throw ConversionError(std::string(what) + " [" + std::string(text_.substr(0, pos_)) + "<?>" +
                              std::string(text_.substr(pos_)) + "]");
    }

    // For an out-of-range number text: true when its magnitude is below 1
    // (an underflow), false when above (an overflow).
    static bool belowSmallestDouble(std::string_view digits)
    {
        const std::size_t e = digits.find_first_of("eE");
        const std::string_view mantissa = digits.substr(0, e);
        // Decimal exponent of the first nonzero mantissa digit plus the written exponent.
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const std::size_t first = mantissa.find_first_of("123456789");
        if (first == std::string_view::npos)
            return true;
        long long magnitude = first < point ? static_cast<long long>(point - first) - 1
                                            : -static_cast<long long>(first - point);
        if (e != std::string_view::npos) {
            std::size_t d = e + 1;
            const bool negative = d < digits.size() && digits[d] == '-';
            if (d < digits.size() && (digits[d] == '-' || digits[d] == '+'))
                ++d;
            long long exponent = 0;
            for (; d < digits.size() && exponent < 100000000; ++d)
                exponent = exponent * 10 + (digits[d] - '0');
            magnitude += negative ? -exponent : exponent;
        }
        return magnitude < 0;
    }

    // [sign] digits [. digits] [(E|e) [sign] digits], at least one mantissa digit.
    // Values that are not finite are refused: they would pass every tolerance test.
    double number(bool signAllowed, const char* failure)
    {
        std::size_t p = pos_;
        bool negative = false;
        if (signAllowed && p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
            negative = text_[p] == '-';
            ++p;
        }
        const std::size_t start = p;
        std::size_t mantissaDigits = 0;
        while (digitAt(p)) {
            ++p;
            ++mantissaDigits;
        }
        if (p < text_.size() && text_[p] == '.') {
            ++p;
            while (digitAt(p)) {
                ++p;
                ++mantissaDigits;
            }
        }
        if (mantissaDigits == 0)
            fail(failure);
        if (p < text_.size() && (text_[p] == 'e' || text_[p] == 'E')) {
            std::size_t e = p + 1;
            if (e < text_.size() && (text_[e] == '+' || text_[e] == '-'))
                ++e;
            if (!digitAt(e))
                fail(failure);
            while (digitAt(e))
                ++e;
            p = e;
        }
        double value = 0.0;
        const auto result = std::from_chars(text_.data() + start, text_.data() + p, value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small to represent reads as zero, a finite value; too large is refused.
            if (!belowSmallestDouble(text_.substr(start, p - start)))
                fail(failure);
            value = 0.0;
        } else if (result.ec != std::errc() || result.ptr != text_.data() + p) {
            fail(failure);
        }
        if (!std::isfinite(value))
            fail(failure);
        pos_ = p;
        return negative ? -value : value;
    }
};

}  // namespace

Complex toComplex(std::string_view text)
{
    return ComplexParser(text).parse();
}

std::string generalNumberText(double x)
{
    if (x == 0.0 || !std::isfinite(x)) {
        if (std::isnan(x))
            return "NAN";
        if (std::isinf(x))
            return x > 0 ? "INF" : "-INF";
        return "0";
    }
    // Round to 15 significant digits first; the exponent after rounding decides the layout.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const bool negative = scientific[0] == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t ePos = scientific.find('e');
    std::string digits = scientific.substr(mantissaStart, 1) + scientific.substr(mantissaStart + 2, ePos - mantissaStart - 2);
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = negative ? "-" : "";
    if (std::fabs(x) < 0.00001 || exponent >= 15) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += "E";
        if (exponent < 0)
            text += "-";
        text += std::to_string(std::abs(exponent));
        return text;
    }
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        return text;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        text += digits + std::string(integerDigits - digits.size(), '0');
        return text;
    }
    text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    return text;
}

std::string complexText(Complex z)
{
    return generalNumberText(z.re) + (z.im >= 0 ? " + " : " - ") + generalNumberText(std::fabs(z.im)) + "i";
}

// Fixed notation with `digits` decimals, halves rounded away from zero
// (0.125 gives "0.13"); the rounding works on the exact decimal digits of x.
static std::string fixedText(double x, int digits)
{
    // Enough digits that the one after the last kept digit is exact for every
    // x that the display threshold lets through.
    const int exactDigits = 2 * digits + 40;
    std::string text(330 + static_cast<std::size_t>(exactDigits), '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), std::fabs(x),
                                      std::chars_format::fixed, exactDigits);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    const std::size_t point = text.find('.');
    const bool roundUp = text[point + 1 + static_cast<std::size_t>(digits)] >= '5';
    text.resize(digits == 0 ? point : point + 1 + static_cast<std::size_t>(digits));
    if (roundUp) {
        std::size_t i = text.size();
        while (i > 0) {
            --i;
            if (text[i] == '.')
                continue;
            if (text[i] != '9') {
                ++text[i];
                break;
            }
            text[i] = '0';
            if (i == 0)
                text = "1" + text;
        }
    }
    return x < 0 ? "-" + text : text;
}

std::string complexToText(Complex z, int digits)
{
    digits = std::max(digits, 0);
    const double threshold = std::pow(10.0, -digits);
    std::string realText;
    if (std::fabs(z.re) > threshold)
        realText = fixedText(z.re, digits);
    std::string imaginaryText;
    if (std::fabs(z.im) > threshold) {
        imaginaryText = fixedText(z.im, digits) + "i";
        if (!realText.empty() && z.im > 0)
            imaginaryText = "+" + imaginaryText;
    }
    return realText + imaginaryText;
}
