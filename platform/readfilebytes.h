#pragma once
// Opening a file to read, with the one wording of why it cannot be, and the whole
// content of a file that is read before anything changes.

#include <cstddef>
#include <fstream>
#include <string>

// Opens the file for reading in binary; throws FileError "Cannot read "<name>": it is
// a directory" (or a named pipe, a device, a socket: anything but a regular
// file, which could block the reader) or "Cannot open "<name>": <the system's reason>".
void openForReading(std::filebuf& file, const std::string& fileName);

// The bytes of the file; throws FileError when it cannot be read or holds more than maxBytes.
std::string readFileBytes(const std::string& fileName, std::size_t maxBytes);
