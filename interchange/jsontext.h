#pragma once
// JSON values written by hand: strings escaped, numbers finite or null.

#include <string>
#include <string_view>

// x printed with `format` (printf), or null when it is not finite.
std::string jsonNumber(double x, const char* format);
// text in double quotes, with quotes, backslashes and control characters escaped.
std::string jsonString(std::string_view text);
// Seconds to the microsecond: finer digits are timer noise.
std::string jsonSeconds(double seconds);
