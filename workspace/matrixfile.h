#pragma once
// The *.mat file: the matrix and a report of the last decomposition.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/matrixcontent.h"

class Presentation;
struct Workspace;

// Reads the matrix of a file into matrixA; true when a matrix was read.
// Throws FileError or ConversionError (the workspace is then unchanged).
bool loadMatrixFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// Writes matrixA and the report; throws FileError (the old file is then intact).
void saveMatrixFile(const Workspace& ws, Presentation& ui, const std::string& fileName);

// Parses the bytes of a matrix file (CR LF or LF line ends; the report after the
// matrix is not read). Throws FileError for a missing size, a missing delimiter or
// a truncated file, ConversionError for an entry that is not a complex number.
MatrixFileContent parseMatrixFile(std::string_view bytes);

// Puts a checked content into matrixA, with the qubit-count change when the size
// differs from the field's; false (and a log line for a wrong size) when it is refused.
bool applyMatrixContent(Workspace& ws, Presentation& ui, const MatrixFileContent& content);

// Writes the file layout of matrixA and the report (CR LF line ends) to `out`.
void writeMatrixFile(const Workspace& ws, std::ostream& out);
