#pragma once
// The only two errors that end a command early: a text that is not a complex
// number (division by a near-zero divisor counts as one too) and a file
// input/output error. Everything else is reported through the presentation.

#include <stdexcept>
#include <string>
#include <utility>

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& message, std::string detail = {})
        : std::runtime_error(message), detail_(std::move(detail))
    {
    }
    // Where the text stood (a file's row and column), shown apart from the message; may be empty.
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message) : std::runtime_error(message) {}
    // With the system's error number and the file, for callers that report them apart (Python's OSError).
    FileError(const std::string& message, int errorNumber, std::string fileName)
        : std::runtime_error(message), errorNumber_(errorNumber), fileName_(std::move(fileName))
    {
    }
    int errorNumber() const { return errorNumber_; }  // 0 when unknown
    const std::string& fileName() const { return fileName_; }

private:
    int errorNumber_ = 0;
    std::string fileName_;
};
