#pragma once
// The whole content of a file that is read before anything changes.

#include <cstddef>
#include <string>

// The bytes of the file; throws FileError when it cannot be read or holds more than maxBytes.
std::string readFileBytes(const std::string& fileName, std::size_t maxBytes);
