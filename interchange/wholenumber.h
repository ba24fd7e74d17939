#pragma once
// The one reader of decimal whole numbers for every format and the command line.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Digits read so far. The value stops at the reader's ceiling, so a number of any
// length still reads as too big instead of wrapping around.
struct DigitRun {
    std::uint64_t value = 0;
    std::size_t length = 0;  // digits read
    bool overflow = false;   // the digits spell more than the ceiling
};

inline bool isDecimalDigit(int c) { return c >= '0' && c <= '9'; }

// Adds one digit ('0'..'9') to the run.
void addDigit(DigitRun& run, char digit, std::uint64_t ceiling = UINT64_MAX);

// The digits at the start of `text`.
DigitRun readDigits(std::string_view text, std::uint64_t ceiling = UINT64_MAX);

// `text` as a whole number no larger than `largest`: digits only, no sign, no blanks.
std::optional<std::uint64_t> wholeNumber(std::string_view text, std::uint64_t largest = UINT64_MAX);
