#pragma once
// Imports that put the matrix of a file of another format into matrixA.

#include <string>

class Presentation;
struct Workspace;

// Reads a .npy file into matrixA with the qubit-count change of a matrix file.
// Throws FileError (the workspace is then unchanged).
void importNpyFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// Reads an OpenQASM file and puts its circuit's unitary into matrixA with the qubit-count
// change of a matrix file. Throws FileError with the reason (the workspace is then unchanged).
void importQasmFile(Workspace& ws, Presentation& ui, const std::string& fileName);
