#pragma once
// The *.mat file: the matrix and a report of the last decomposition.

#include <string>

class Presentation;
struct Workspace;

// Reads the matrix of a file into matrixA; true when a matrix was read.
// Throws FileError or ConversionError (the workspace is then unchanged).
bool loadMatrixFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// Writes matrixA and the report; throws FileError (the old file is then intact).
void saveMatrixFile(const Workspace& ws, Presentation& ui, const std::string& fileName);
