#pragma once
// The one writer of every save and export: a failed or concurrent write never
// destroys, truncates or mixes the user's file.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

class Presentation;

// Writes what `write` puts into the stream to fileName:
// - a regular file (new or old) is written as a temporary file of a unique name
//   in its own folder and renamed over it only when complete, keeping the old
//   file's permissions; two writers at once leave one of the two whole files;
// - a link is written through: the file it finally points to is replaced and
//   the link stays;
// - the program's own standard output or error is written through its
//   descriptor, where the stream stands (flush what is buffered for it first);
// - anything else (a device, a pipe) is written in place;
// - an existing file that the user may not write is refused.
// Throws FileError "Cannot write the file <fileName>: <the system's reason>";
// the old file then stays as it was and no temporary file is left.
void replaceFile(const std::string& fileName, const std::function<void(std::ostream&)>& write);

// replaceFile with a ready text; on failure shows its message in an error box
// and returns false.
bool writeTextFile(const std::string& fileName, std::string_view text, Presentation& ui);
