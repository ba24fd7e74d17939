#pragma once
// An input or a request the program refuses, with the program's own text.
// Python sees it as ValueError; a FileError becomes OSError.

#include <stdexcept>
#include <string>

struct Refusal : std::runtime_error {
    explicit Refusal(const std::string& text) : std::runtime_error(text) {}
};
