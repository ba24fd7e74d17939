#pragma once
// Imports that put the matrix of a file of another format into matrixA.

#include <string>

#include "interchange/matrixcontent.h"

class Presentation;
struct Workspace;

// Reads a .npy file into matrixA with the qubit-count change of a matrix file.
// Throws FileError (the workspace is then unchanged).
void importNpyFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// The matrix of a .npy file of size up to mostSize (at most 1024). Throws FileError.
MatrixFileContent readNpyMatrix(const std::string& fileName, int mostSize);

// Puts a matrix read from a .npy file (at most 32 x 32) into matrixA as importNpyFile does.
void applyNpyMatrix(Workspace& ws, Presentation& ui, const MatrixFileContent& content);

// The unitary of an OpenQASM file of up to mostQubits qubits (at most 10). Throws
// FileError with the reason.
MatrixFileContent readQasmMatrix(const std::string& fileName, int mostQubits, Presentation& ui);

// Puts the unitary of an OpenQASM file (at most five qubits) into matrixA as importQasmFile does.
void applyQasmMatrix(Workspace& ws, Presentation& ui, const MatrixFileContent& content);

// Reads an OpenQASM file and puts its circuit's unitary into matrixA with the qubit-count
// change of a matrix file. Throws FileError with the reason (the workspace is then unchanged).
void importQasmFile(Workspace& ws, Presentation& ui, const std::string& fileName);
