#include "interchange/wholenumber.h"

void addDigit(DigitRun& run, char digit, std::uint64_t ceiling)
{
    const auto d = static_cast<std::uint64_t>(digit - '0');
    ++run.length;
    if (run.overflow || d > ceiling || run.value > (ceiling - d) / 10) {
        run.value = ceiling;
        run.overflow = true;
        return;
    }
    run.value = run.value * 10 + d;
}

DigitRun readDigits(std::string_view text, std::uint64_t ceiling)
{
    DigitRun run;
    while (run.length < text.size() && isDecimalDigit(text[run.length]))
        addDigit(run, text[run.length], ceiling);
    return run;
}

std::optional<std::uint64_t> wholeNumber(std::string_view text, std::uint64_t largest)
{
    const DigitRun run = readDigits(text, largest);
    if (run.length == 0 || run.length != text.size() || run.overflow)
        return std::nullopt;
    return run.value;
}
