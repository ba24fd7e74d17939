#pragma once
// Writing files so that a failed write never destroys the old file.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

class Presentation;

// Replaces the file with what `write` puts into the stream: written beside it
// as <fileName>.saving and renamed over it only when complete (keeping the old
// file's permissions). Throws FileError with the reason; the old file stays.
void replaceFile(const std::string& fileName, const std::function<void(std::ostream&)>& write);

// replaceFile with a ready text; on failure shows "Cannot write the file <fileName>"
// in an error box and returns false.
bool writeTextFile(const std::string& fileName, std::string_view text, Presentation& ui);
