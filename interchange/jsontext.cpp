#include "interchange/jsontext.h"

#include <cmath>
#include <cstdio>

std::string jsonNumber(double x, const char* format)
{
    if (!std::isfinite(x))
        return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (static_cast<unsigned char>(ch) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(ch));
            out += buffer;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string jsonSeconds(double seconds) { return jsonNumber(std::round(seconds * 1e6) / 1e6, "%.9g"); }
